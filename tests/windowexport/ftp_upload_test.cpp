#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ftp_test_server.hpp"
#include "program_runner.hpp"
#include "windowexport/ftp_upload.hpp"

namespace rill {
namespace {

namespace fs = std::filesystem;
using testing::FtpAccount;
using testing::FtpTestServer;

constexpr const char* kServer = "127.0.0.1";
constexpr const char* kUser = "wren";
constexpr const char* kPassword = "Wr3n-pa55-x9";

// Line ends of both kinds, a lone CR, a NUL and high bytes: any text-mode conversion shows.
const std::string kReport =
    std::string("Station 12\r\nlone LF\nlone CR\r") + '\0' + "\xFF\xFE\x80 end\r\nTHE_END\r\n";

std::size_t Count(const std::vector<std::string>& events, const std::string& event) {
    return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

bool AnyStartsWith(const std::vector<std::string>& events, const std::string& prefix) {
    return std::any_of(events.begin(), events.end(), [&](const std::string& e) {
        return e.rfind(prefix, 0) == 0;
    });
}

// Every regular file below the folder, as paths relative to it.
std::vector<std::string> FilesBelow(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FtpUploadTest : public ::testing::Test {
protected:
    FtpUploadTest() {
        fs::create_directories(home());
        testing::WriteWholeFile(localFile(), kReport);
    }

    fs::path home() const { return dir_ / "home"; }
    fs::path localFile() const { return dir_ / "report.txt"; }
    fs::path eventLog() const { return dir_ / "server-events.txt"; }
    FtpAccount account() const { return {home(), kUser, kPassword}; }

    testing::TempDir dir_;
};

TEST_F(FtpUploadTest, StoresTheFileInBinaryOverAnActiveConnectionAfterChangingDirectory) {
    fs::create_directories(home() / "reports" / "daily");
    FtpTestServer server(account(), eventLog());

    EXPECT_TRUE(
        FtpUpload(kServer, kUser, kPassword, localFile().string(), "now.txt", "reports/daily"));

    server.Stop();
    EXPECT_EQ(testing::ReadWholeFile(home() / "reports" / "daily" / "now.txt"), kReport);
    EXPECT_EQ(FilesBelow(home()), std::vector<std::string>{"reports/daily/now.txt"});
    const auto events = server.Events();
    EXPECT_EQ(Count(events, "CONNECT"), 1u);
    EXPECT_EQ(Count(events, "CWD reports/daily"), 1u);
    EXPECT_EQ(Count(events, "TYPE I"), 1u);
    EXPECT_TRUE(AnyStartsWith(events, "EPRT ") || AnyStartsWith(events, "PORT "));
    EXPECT_FALSE(AnyStartsWith(events, "PASV") || AnyStartsWith(events, "EPSV"));
    EXPECT_EQ(Count(events, "STOR now.txt"), 1u);
}

// The remote name reaches the server as typed: nothing in it is read as URL syntax, an
// escape sequence or a path separator of the server.
TEST_F(FtpUploadTest, RemoteNameReachesTheServerUnchanged) {
    const std::vector<std::string> names = {
        "report 2024.txt",
        "a#b%c?d.txt",
        "100%.txt",
        "%41%20.txt",
        "C:\\data\\x.txt",
        " blanks at both ends ",
        "semi;colon&amp=+@.txt",
    };
    FtpTestServer server(account(), eventLog());
    for (const auto& name : names) {
        EXPECT_TRUE(FtpUpload(kServer, kUser, kPassword, localFile().string(), name, "")) << name;
    }
    server.Stop();

    const auto events = server.Events();
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Count(events, "STOR " + name), 1u);
        ASSERT_TRUE(fs::exists(home() / name));
        EXPECT_EQ(testing::ReadWholeFile(home() / name), kReport);
    }
    EXPECT_EQ(FilesBelow(home()).size(), names.size());
}

TEST_F(FtpUploadTest, DirectoryDecidesWhereTheFileGoesOrThatNothingIsStored) {
    struct Case {
        std::string directory;
        bool stored;
        std::vector<std::string> filesAfter; // below the login directory
        std::string cwdEvent;                // empty: no directory change at all
    };
    const std::vector<Case> cases = {
        {"", true, {"out.txt"}, ""},
        {"reports", true, {"reports/out.txt"}, "CWD reports"},
        {"/reports", true, {"reports/out.txt"}, "CWD /reports"},
        {"missing", false, {}, "CWD missing"},
        {"reports/missing", false, {}, "CWD reports/missing"},
        {"reports ", false, {}, "CWD reports "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("directory '" + c.directory + "'");
        fs::remove_all(home());
        fs::create_directories(home() / "reports");
        fs::remove(eventLog());
        FtpTestServer server(account(), eventLog());

        EXPECT_EQ(
            FtpUpload(kServer, kUser, kPassword, localFile().string(), "out.txt", c.directory),
            c.stored);

        server.Stop();
        EXPECT_EQ(FilesBelow(home()), c.filesAfter);
        const auto events = server.Events();
        EXPECT_EQ(Count(events, "CONNECT"), 1u) << "a refused directory is not retried";
        EXPECT_EQ(AnyStartsWith(events, "CWD"), !c.cwdEvent.empty());
        if (!c.cwdEvent.empty()) {
            EXPECT_EQ(Count(events, c.cwdEvent), 1u);
        }
        EXPECT_EQ(AnyStartsWith(events, "STOR"), c.stored);
    }
}

// A refused login is tried exactly once more; nothing is printed, least of all the password.
TEST_F(FtpUploadTest, RefusedLoginIsRetriedOnceAndFailsQuietly) {
    struct Case {
        std::string user;
        std::string password;
    };
    const std::vector<Case> cases = {
        {kUser, "wrong-password"},
        {"stranger", kPassword},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user + " / " + c.password);
        fs::remove(eventLog());
        FtpTestServer server(account(), eventLog());

        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const bool stored =
            FtpUpload(kServer, c.user, c.password, localFile().string(), "out.txt", "");
        const std::string printed =
            ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();

        EXPECT_FALSE(stored);
        EXPECT_EQ(printed, "");
        server.Stop();
        const auto events = server.Events();
        EXPECT_EQ(Count(events, "CONNECT"), 2u);
        EXPECT_EQ(Count(events, "USER " + c.user), 2u);
        EXPECT_FALSE(AnyStartsWith(events, "STOR"));
        EXPECT_TRUE(FilesBelow(home()).empty());
    }
}

TEST_F(FtpUploadTest, SucceedsWithoutPrintingAnything) {
    FtpTestServer server(account(), eventLog());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const bool stored = FtpUpload(kServer, kUser, kPassword, localFile().string(), "out.txt", "");
    const std::string printed =
        ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(stored);
    EXPECT_EQ(printed, "");
}

// Settings that cannot lead to a login, or would smuggle a command in, fail without connecting.
TEST_F(FtpUploadTest, FailsWithoutConnectingOnUnusableSettings) {
    struct Case {
        std::string server;
        std::string user;
        std::string directory;
    };
    const std::vector<Case> cases = {
        {"", kUser, ""},
        {kServer, "", ""},
        {"", "", ""},
        {"127.0.0.1/evil", kUser, ""},
        {"user@127.0.0.1", kUser, ""},
        {kServer, kUser, "reports\r\nDELE x"},
        {kServer, kUser, "reports\nDELE x"},
    };
    FtpTestServer server(account(), eventLog());
    for (const auto& c : cases) {
        EXPECT_FALSE(
            FtpUpload(c.server, c.user, kPassword, localFile().string(), "out.txt", c.directory))
            << ::testing::PrintToString(c.server) << " " << ::testing::PrintToString(c.user) << " "
            << ::testing::PrintToString(c.directory);
    }
    server.Stop();
    EXPECT_EQ(Count(server.Events(), "CONNECT"), 0u);
    EXPECT_TRUE(FilesBelow(home()).empty());
}

TEST_F(FtpUploadTest, MissingLocalFileIsAFailedUpload) {
    FtpTestServer server(account(), eventLog());
    EXPECT_FALSE(FtpUpload(
        kServer, kUser, kPassword, (dir_ / "no-such-report.txt").string(), "out.txt", ""));
    server.Stop();
    EXPECT_FALSE(AnyStartsWith(server.Events(), "STOR"));
    EXPECT_TRUE(FilesBelow(home()).empty());
}

TEST_F(FtpUploadTest, NothingListeningIsAFailedUpload) {
    EXPECT_FALSE(FtpUpload(kServer, kUser, kPassword, localFile().string(), "out.txt", ""));
}

// The connection is accepted but no greeting ever comes: the response timeout ends the
// attempt, and since the connection itself was made it is not tried again.
TEST_F(FtpUploadTest, SilentServerFailsAfterTheTimeoutWithoutRetry) {
    FtpTestServer server(eventLog());
    const auto start = std::chrono::steady_clock::now();

    EXPECT_FALSE(FtpUpload(kServer, kUser, kPassword, localFile().string(), "out.txt", ""));

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    server.Stop();
    EXPECT_EQ(server.Events(), std::vector<std::string>{"CONNECT"});
}

} // namespace
} // namespace rill
