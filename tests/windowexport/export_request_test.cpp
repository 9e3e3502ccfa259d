#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "windowexport/export_request.hpp"

namespace rill {
namespace {

constexpr double kToday = 39819.0; // Tuesday 6 January 2009
const std::string kDir = "/opt/rill";
const std::string kDefault = "/opt/rill/RillfetchOutput.txt";

TEST(LeadingNumericValueTest, NumberAtStartOfText) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"-1", -1.0},     {" 2 ", 2.0},     {"-0.5", -0.5},  {"+3", 3.0},        {"1 0", 10.0},
        {"- 1", -1.0},    {"\t-2\n", -2.0}, {"1.5e1", 15.0}, {"2D1", 20.0},      {"1e", 1.0},
        {"3abc", 3.0},    {"abc", 0.0},     {"", 0.0},       {".5", 0.5},        {"-.25", -0.25},
        {"1.2.3", 1.2},   {"e5", 0.0},      {"--1", 0.0},    {"0.0007", 0.0007}, {"1e-400", 0.0},
        {"-2e-999", 0.0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumericValue(text), expected) << "text: [" << text << "]";
    }
}

// Too small for a double is zero (above); too large is an overflow.
TEST(LeadingNumericValueTest, NumberTooLargeForADoubleIsAnOverflow) {
    for (const std::string text : {"1e400", "-1e400", "1e99999"}) {
        try {
            LeadingNumericValue(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const RunError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("Overflow: ")) << error.what();
        }
    }
}

TEST(ParseExportArgumentsTest, FieldsOfTheRequest) {
    struct Case {
        std::string commandText;
        std::string table;
        std::string dsids;
        double start;
        double end;
        std::string outputPath;
        std::string remoteName;
        bool dss;
        std::string dssPath;
        std::string password;
    };
    const std::vector<Case> cases = {
        {"rhour, 1024, -1, 2",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         kDefault,
         "",
         false,
         "",
         ""},
        {" rhour ,  1024 15033 ,-1,2",
         "rhour",
         "1024 15033",
         kToday - 1,
         kToday + 2,
         kDefault,
         "",
         false,
         "",
         ""},
        {"RUNIT, 1024, -1, 3",
         "RUNIT",
         "1024",
         kToday - 1 + 0.0007,
         kToday + 3,
         kDefault,
         "",
         false,
         "",
         ""},
        {"Runit, 1024, 0, 1",
         "Runit",
         "1024",
         kToday + 0.0007,
         kToday + 1,
         kDefault,
         "",
         false,
         "",
         ""},
        {"runits, 1024, 0, 1", "runits", "1024", kToday, kToday + 1, kDefault, "", false, "", ""},
        {"rhour, 1024, abc, -0.5",
         "rhour",
         "1024",
         kToday,
         kToday - 0.5,
         kDefault,
         "",
         false,
         "",
         ""},
        {"rhour, 1024, -1, 2, myfile.txt",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "/opt/rill/myfile.txt",
         "myfile.txt",
         false,
         "",
         ""},
        {"rhour, 1024, -1, 2, /data/myfile.txt, pw ",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "/data/myfile.txt",
         "/data/myfile.txt",
         false,
         "",
         "pw"},
        {"rhour, 1024, -1, 2, C:\\data\\myfile.txt",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "C:\\data\\myfile.txt",
         "C:\\data\\myfile.txt",
         false,
         "",
         ""},
        {"rhour, 1024, -1, 2, myfile.DsS, pw",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         kDefault,
         "myfile.DsS",
         true,
         "/opt/rill/myfile.DsS",
         "pw"},
        {"rhour, 1024, -1, 2, dss",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "/opt/rill/dss",
         "dss",
         false,
         "",
         ""},
        {"rhour, 1024, -1, 2, .dss",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         kDefault,
         ".dss",
         true,
         "/opt/rill/.dss",
         ""},
        {"rhour, 1024, -1, 2, out.txt, pw, seven, eight",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "/opt/rill/out.txt",
         "out.txt",
         false,
         "",
         "pw"},
        // An empty fifth argument names the program directory itself, which cannot be created.
        {"rhour, 1024, -1, 2, ",
         "rhour",
         "1024",
         kToday - 1,
         kToday + 2,
         "/opt/rill/",
         "",
         false,
         "",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandText);
        const ExportRequest r = ParseExportArguments(c.commandText, kDir, kDefault, kToday);
        EXPECT_EQ(r.tableName, c.table);
        EXPECT_EQ(r.dsidList, c.dsids);
        EXPECT_DOUBLE_EQ(r.windowStart, c.start);
        EXPECT_DOUBLE_EQ(r.windowEnd, c.end);
        EXPECT_EQ(r.outputPath, c.outputPath);
        EXPECT_EQ(r.remoteName, c.remoteName);
        EXPECT_EQ(r.dssMode, c.dss);
        EXPECT_EQ(r.dssPath, c.dssPath);
        EXPECT_EQ(r.webPassword, c.password);
        EXPECT_FALSE(r.usageMode);
    }
}

// 1 January 100 is day -657434 and 31 December 9999 is day 2958465.
TEST(ParseExportArgumentsTest, WindowMustLieInTheYears100To9999) {
    const double lastDay = 2958465.0 - kToday;
    const double firstDay = -657434.0 - kToday;
    const std::vector<std::pair<double, double>> accepted = {
        {firstDay, lastDay}, {firstDay - 0.5, lastDay + 0.99}, {lastDay, firstDay}};
    for (const auto& [sdate, edate] : accepted) {
        const std::string text =
            "rhour, 1024, " + std::to_string(sdate) + ", " + std::to_string(edate);
        EXPECT_NO_THROW(ParseExportArguments(text, kDir, kDefault, kToday)) << text;
    }
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"rhour, 1024, 1e300, 2", "Overflow: sdate 1e300 puts the window outside"},
        {"rhour, 1024, -1, 3000000", "Overflow: edate 3000000 puts the window outside"},
        {"rhour, 1024, -1e20, 2", "Overflow: sdate -1e20 puts the window outside"},
        {"rhour, 1024, " + std::to_string(lastDay + 1) + ", 0", "Overflow: sdate"},
        {"rhour, 1024, 0, " + std::to_string(firstDay - 1), "Overflow: edate"},
    };
    for (const auto& [text, start] : refused) {
        try {
            ParseExportArguments(text, kDir, kDefault, kToday);
            ADD_FAILURE() << "accepted " << text;
        } catch (const RunError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(start)) << error.what();
        }
    }
}

TEST(ParseExportArgumentsTest, FewerThanFourArgumentsIsAnError) {
    for (const std::string text : {"rhour", "rhour, 1024", "rhour, 1024, -1", "x"}) {
        EXPECT_THROW(ParseExportArguments(text, kDir, kDefault, kToday), RunError) << text;
    }
}

} // namespace
} // namespace rill
