// RillfetchNOW runs that end by publishing their report to a real FTP server on loopback.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "ftp_test_server.hpp"
#include "program_runner.hpp"
#include "wellspan_schema.hpp"

namespace rill {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;

constexpr const char* kProgram = "RillfetchNOW";
constexpr const char* kUser = "wren";
constexpr const char* kPassword = "Ri11-web-pass";

class PublishingRunTest : public ::testing::Test {
protected:
    PublishingRunTest() : dir_({kProgram}) {
        testing::CreateSqliteDatabase(dir_ / "w.db", testing::kWellspanTables + R"sql(
            INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
            INSERT INTO rhour VALUES (1024, '2009-01-06 01:00:00', 3.42);
        )sql");
        dir_.WriteFile("Wellspan_setup.txt",
                       "Driver=SQLite3;Database=" + (dir_ / "w.db").string() + "\r\n");
        fs::create_directories(home_.Path() / "web");
    }

    testing::RunResult Run(const std::string& commandText) {
        testing::RunOptions options;
        options.fakeTime = "2009-01-06 14:15:00";
        return testing::RunProgram(dir_.Program(kProgram), {commandText}, options);
    }

    static std::vector<std::string> Report(const std::vector<std::string>& closing) {
        std::vector<std::string> lines = {"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                                          "Next run at: ----",
                                          "",
                                          "Jan-05-2009 to Jan-08-2009",
                                          "",
                                          "STAGE; North Fork",
                                          "rhour; 1024; ",
                                          "     Tue 01:00AM >> 3.4 ft",
                                          ""};
        lines.insert(lines.end(), closing.begin(), closing.end());
        return lines;
    }

    testing::ProgramDir dir_;
    testing::TempDir home_;
};

TEST_F(PublishingRunTest, FinishedReportIsStoredUnderTheTypedName) {
    dir_.WriteFile("Plotwren_autoweb.txt", "127.0.0.1\r\nweb\r\nwren\r\n");
    testing::FtpTestServer server({home_.Path(), kUser, kPassword}, home_ / "events.txt");
    const auto result = Run(std::string("rhour, 1024, -1, 2, river now.txt, ") + kPassword);
    server.Stop();

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const std::string expected = CrLfLines(Report({"THE_END"}));
    EXPECT_EQ(dir_.ReadFile("river now.txt"), expected);
    EXPECT_EQ(testing::ReadWholeFile(home_.Path() / "web" / "river now.txt"), expected);
    EXPECT_EQ(result.standardOutput + result.standardError, "");
}

TEST_F(PublishingRunTest, FailedUploadIsAppendedAndSetsTheExitStatus) {
    dir_.WriteFile("Plotwren_autoweb.txt", "127.0.0.1\r\nweb\r\nwren\r\n");
    testing::FtpTestServer server({home_.Path(), kUser, kPassword}, home_ / "events.txt");
    const auto result = Run("rhour, 1024, -1, 2, river.txt, wrong-password");
    server.Stop();

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(dir_.ReadFile("river.txt"), CrLfLines(Report({"THE_END", "FTP put failed"})));
    EXPECT_EQ(result.standardError, "RillfetchNOW: FTP put failed\n");
    EXPECT_FALSE(fs::exists(home_.Path() / "web" / "river.txt"));
}

TEST_F(PublishingRunTest, MissingSetupFileIsReportedAfterTheEndMarker) {
    const auto result = Run(std::string("rhour, 1024, -1, 2, river.txt, ") + kPassword);
    EXPECT_EQ(result.exitCode, 1);
    const std::string setupPath = (dir_ / "Plotwren_autoweb.txt").string();
    EXPECT_EQ(dir_.ReadFile("river.txt"),
              CrLfLines(Report({"THE_END", "File not found: " + setupPath, "FTP put failed"})));
    EXPECT_EQ(result.standardError.find(kPassword), std::string::npos);
}

TEST_F(PublishingRunTest, ShortSetupFileEndsTheRunWithNothingMoreWritten) {
    dir_.WriteFile("Plotwren_autoweb.txt", "127.0.0.1\r\nweb\r\n");
    testing::FtpTestServer server({home_.Path(), kUser, kPassword}, home_ / "events.txt");
    const auto result = Run(std::string("rhour, 1024, -1, 2, river.txt, ") + kPassword);
    server.Stop();

    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(dir_.ReadFile("river.txt"), CrLfLines(Report({"THE_END"})));
    EXPECT_NE(result.standardError.find("Plotwren_autoweb.txt"), std::string::npos)
        << result.standardError;
    EXPECT_EQ(result.standardError.find(kPassword), std::string::npos);
    const auto events = server.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "CONNECT"), 0);
}

// In DSS mode the text log is what the web server gets, under the name typed for the DSS file.
TEST_F(PublishingRunTest, DssRunPublishesItsLogUnderTheDssName) {
    dir_.WriteFile("Plotwren_autoweb.txt", "127.0.0.1\r\nweb\r\nwren\r\n");
    testing::FtpTestServer server({home_.Path(), kUser, kPassword}, home_ / "events.txt");
    const auto result = Run(std::string("rhour, 1024, -1, 2, river.DsS, ") + kPassword);
    server.Stop();

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const std::string log = dir_.ReadFile("RillfetchOutput.txt");
    EXPECT_NE(log.find("Stage;ft;North Fork;4;UT;1024 values: 1 \r\n"), std::string::npos) << log;
    EXPECT_TRUE(
        log.ends_with("DSS output file: " + (dir_ / "river.DsS").string() + "\r\nTHE_END\r\n"))
        << log;
    EXPECT_EQ(testing::ReadWholeFile(home_.Path() / "web" / "river.DsS"), log);
    EXPECT_TRUE(fs::exists(dir_ / "river.DsS"));
}

// Without a password the run neither reads the publishing setup file nor connects.
TEST_F(PublishingRunTest, FiveArgumentsNeverPublish) {
    dir_.WriteFile("Plotwren_autoweb.txt", "only one line");
    testing::FtpTestServer server({home_.Path(), kUser, kPassword}, home_ / "events.txt");
    const auto result = Run("rhour, 1024, -1, 2, river.txt");
    server.Stop();

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(dir_.ReadFile("river.txt"), CrLfLines(Report({"THE_END"})));
    EXPECT_TRUE(server.Events().empty());
}

} // namespace
} // namespace rill
