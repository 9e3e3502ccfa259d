#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "common/text_output.hpp"
#include "ftp_test_server.hpp"
#include "program_runner.hpp"
#include "windowexport/publishing.hpp"

namespace rill {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::FtpAccount;
using testing::FtpTestServer;

constexpr const char* kUser = "wren";
constexpr const char* kPassword = "Wr3n-pa55-x9";
constexpr const char* kRemoteName = "Station NOW #1.txt";

const std::vector<std::string> kReportLines = {"Wellspan export", "12.50", "THE_END"};

TEST(AutowebSettingsFromText, TakesTheFirstThreeLinesAsTheyAre) {
    struct Case {
        std::string content;
        std::optional<AutowebSettings> expected; // nullopt: the text is refused
    };
    const std::vector<Case> cases = {
        {"ftp.example\r\nweb/now\r\nwren\r\n", AutowebSettings{"ftp.example", "web/now", "wren"}},
        {"ftp.example\nweb/now\nwren\n", AutowebSettings{"ftp.example", "web/now", "wren"}},
        {"ftp.example\rweb/now\rwren\r", AutowebSettings{"ftp.example", "web/now", "wren"}},
        {"ftp.example\r\nweb/now\nwren\r", AutowebSettings{"ftp.example", "web/now", "wren"}},
        {"ftp.example\nweb/now\nwren", AutowebSettings{"ftp.example", "web/now", "wren"}},
        {"\xEF\xBB\xBF"
         "ftp.example\r\nweb\r\nwren\r\n",
         AutowebSettings{"ftp.example", "web", "wren"}},
        {"ftp.example\r\n\r\nwren\r\n", AutowebSettings{"ftp.example", "", "wren"}},
        {"ftp.example\r\nweb\r\n\r\n", AutowebSettings{"ftp.example", "web", ""}},
        {" ftp.example \r\n\tweb dir \r\nwren  \r\n",
         AutowebSettings{" ftp.example ", "\tweb dir ", "wren  "}},
        {"a\r\nb\r\nc\r\nd\r\n\r\ne\r\n", AutowebSettings{"a", "b", "c"}},
        {"", std::nullopt},
        {"\xEF\xBB\xBF", std::nullopt},
        {"ftp.example\r\n", std::nullopt},
        {"ftp.example\r\nweb\r\n", std::nullopt},
        {"ftp.example\r\nweb\r\nwren", AutowebSettings{"ftp.example", "web", "wren"}},
        {"\r\n\r\n", std::nullopt},
        {"\r\n\r\n\r\n", AutowebSettings{"", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.content));
        if (c.expected) {
            EXPECT_EQ(AutowebSettingsFromText(c.content, "/p/Plotwren_autoweb.txt"), *c.expected);
        } else {
            EXPECT_THROW(AutowebSettingsFromText(c.content, "/p/Plotwren_autoweb.txt"), RunError);
        }
    }
}

TEST(AutowebSettingsFromText, ErrorNamesTheFile) {
    try {
        AutowebSettingsFromText("ftp.example\r\nweb\r\n", "/prog/PLOTWREN_AUTOWEB.TXT");
        FAIL() << "no error";
    } catch (const RunError& error) {
        EXPECT_NE(std::string(error.what()).find("/prog/PLOTWREN_AUTOWEB.TXT"), std::string::npos)
            << error.what();
    }
}

class PublishTest : public ::testing::Test {
protected:
    PublishTest() {
        fs::create_directories(programDir());
        fs::create_directories(home() / "web");
    }

    fs::path programDir() const { return dir_ / "program"; }
    fs::path home() const { return dir_ / "home"; }
    std::string outputPath() const { return (dir_ / "report.txt").string(); }
    fs::path eventLog() const { return dir_ / "server-events.txt"; }
    FtpAccount account() const { return {home(), kUser, kPassword}; }

    void WriteSetup(const std::string& content,
                    const std::string& name = "Plotwren_autoweb.txt") const {
        testing::WriteWholeFile(programDir() / name, content);
    }

    // The output as a run leaves it for publishing: THE_END written, the file still open.
    TextOutput FinishedOutput() const {
        TextOutput output;
        output.Open(outputPath(), OpenMode::CreateNew);
        for (const auto& line : kReportLines) {
            output.WriteLine(line);
        }
        return output;
    }

    PublishOutcome PublishAs(const std::string& password, TextOutput& output) const {
        return Publish(programDir().string(), outputPath(), kRemoteName, password, output);
    }

    std::string LocalOutput() const { return testing::ReadWholeFile(outputPath()); }

    static std::vector<std::string> ReportThen(const std::vector<std::string>& more) {
        std::vector<std::string> lines = kReportLines;
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    }

    testing::TempDir dir_;
};

// The setup file is found whatever the letter case of its name.
TEST_F(PublishTest, PublishesTheClosedReportUnchanged) {
    for (const std::string name : {"Plotwren_autoweb.txt", "PLOTWREN_AUTOWEB.TXT"}) {
        SCOPED_TRACE(name);
        fs::remove_all(programDir());
        fs::create_directories(programDir());
        fs::remove_all(home() / "web" / kRemoteName);
        WriteSetup("127.0.0.1\r\nweb\r\nwren\r\n", name);
        FtpTestServer server(account(), eventLog());
        TextOutput output = FinishedOutput();

        EXPECT_EQ(PublishAs(kPassword, output), PublishOutcome::Published);

        server.Stop();
        EXPECT_FALSE(output.IsOpen());
        EXPECT_EQ(LocalOutput(), CrLfLines(kReportLines));
        EXPECT_EQ(testing::ReadWholeFile(home() / "web" / kRemoteName), CrLfLines(kReportLines));
    }
}

TEST_F(PublishTest, EmptyDirectoryLineStoresInTheLoginDirectory) {
    WriteSetup("127.0.0.1\r\n\r\nwren\r\n");
    FtpTestServer server(account(), eventLog());
    TextOutput output = FinishedOutput();

    EXPECT_EQ(PublishAs(kPassword, output), PublishOutcome::Published);

    server.Stop();
    EXPECT_EQ(testing::ReadWholeFile(home() / kRemoteName), CrLfLines(kReportLines));
    EXPECT_FALSE(fs::exists(home() / "web" / kRemoteName));
}

// Each failure leaves the published-or-not report with the lines that explain it, and never
// the password, neither in the file nor on the screen.
TEST_F(PublishTest, FailedPublishingIsReportedInTheOutputFile) {
    struct Case {
        std::string name;
        std::optional<std::string> setup; // nullopt: no setup file
        std::string password;
        std::vector<std::string> linesAfterReport;
    };
    const std::string notFound =
        "File not found: " + (programDir() / "Plotwren_autoweb.txt").string();
    const std::vector<Case> cases = {
        {"wrong password", "127.0.0.1\r\nweb\r\nwren\r\n", "not-the-password", {"FTP put failed"}},
        {"missing remote directory",
         "127.0.0.1\r\nno-such-dir\r\nwren\r\n",
         kPassword,
         {"FTP put failed"}},
        {"empty user", "127.0.0.1\r\nweb\r\n\r\n", kPassword, {"FTP put failed"}},
        {"no setup file", std::nullopt, kPassword, {notFound, "FTP put failed"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(programDir());
        fs::create_directories(programDir());
        if (c.setup) {
            WriteSetup(*c.setup);
        }
        FtpTestServer server(account(), eventLog());
        TextOutput output = FinishedOutput();

        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const PublishOutcome outcome = PublishAs(c.password, output);
        const std::string printed =
            ::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr();

        EXPECT_EQ(outcome, PublishOutcome::Failed);
        EXPECT_FALSE(output.IsOpen());
        EXPECT_EQ(LocalOutput(), CrLfLines(ReportThen(c.linesAfterReport)));
        EXPECT_EQ(printed, "");
        server.Stop();
        EXPECT_FALSE(fs::exists(home() / kRemoteName));
        EXPECT_FALSE(fs::exists(home() / "web" / kRemoteName));
    }
}

// A setup file that names no user is a run-time error: nothing is written, nothing sent, and
// the caller's error handler closes the files.
TEST_F(PublishTest, ShortSetupFileIsAnErrorBeforeAnythingIsWritten) {
    for (const std::string setup : {"", "127.0.0.1\r\n", "127.0.0.1\r\nweb\r\n"}) {
        SCOPED_TRACE(::testing::PrintToString(setup));
        WriteSetup(setup);
        fs::remove(eventLog());
        FtpTestServer server(account(), eventLog());
        TextOutput output = FinishedOutput();

        std::string message;
        try {
            PublishAs(kPassword, output);
            ADD_FAILURE() << "no error";
        } catch (const RunError& error) {
            message = error.what();
        }

        EXPECT_NE(message.find("Plotwren_autoweb.txt"), std::string::npos) << message;
        EXPECT_EQ(message.find(kPassword), std::string::npos) << message;
        output.Close();
        EXPECT_EQ(LocalOutput(), CrLfLines(kReportLines));
        server.Stop();
        EXPECT_TRUE(server.Events().empty());
    }
}

} // namespace
} // namespace rill
