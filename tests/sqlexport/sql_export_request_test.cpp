#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "sqlexport/sql_export_request.hpp"

namespace rill::sqlexport {
namespace {

const std::string kDir = "/opt/rill";
const std::string kDefault = "/opt/rill/RillfetchOutput.txt";

TEST(ArgumentTextTest, ArgumentsJoinedWithSingleBlanks) {
    const char* none[] = {"RillfetchSQL"};
    const char* several[] = {"RillfetchSQL", "1024", "15033;", "SELECT 1;", "out.txt"};
    const char* quoted[] = {"RillfetchSQL", "1024  15033; SELECT  1"};
    // The blanks after the program name are not part of the text, so a leading double quote
    // still counts and a text of blanks alone is a usage run.
    const char* leadingBlanks[] = {"RillfetchSQL", "  \"1024; SELECT 1\" "};
    const char* emptyFirst[] = {"RillfetchSQL", "", "1024;", "SELECT 1"};
    const char* blanksOnly[] = {"RillfetchSQL", " ", " "};
    const char* leadingTab[] = {"RillfetchSQL", "\t1024; SELECT 1"};
    EXPECT_EQ(ArgumentText(1, none), "");
    EXPECT_EQ(ArgumentText(5, several), "1024 15033; SELECT 1; out.txt");
    EXPECT_EQ(ArgumentText(2, quoted), "1024  15033; SELECT  1");
    EXPECT_EQ(ArgumentText(2, leadingBlanks), "\"1024; SELECT 1\" ");
    EXPECT_EQ(ArgumentText(4, emptyFirst), "1024; SELECT 1");
    EXPECT_EQ(ArgumentText(3, blanksOnly), "");
    EXPECT_EQ(ArgumentText(2, leadingTab), "\t1024; SELECT 1");
}

TEST(ParseSqlExportRequestTest, FieldsOfTheRequest) {
    struct Case {
        std::string argumentText;
        std::string dsidList;
        std::string statement;
        std::string outputPath;
        bool refuseDss;
    };
    const std::vector<Case> cases = {
        {"1024; SELECT * FROM rhour", "1024", "SELECT * FROM rhour;", kDefault, false},
        {"  1024 15033  ;  SELECT 1  ;  out.txt  ",
         "1024 15033",
         "SELECT 1;",
         "/opt/rill/out.txt",
         false},
        // Only blanks are trimmed, tabs stay.
        {"\t1024 ;\tSELECT 1 ", "\t1024", "\tSELECT 1;", kDefault, false},
        {";SELECT 1", "", "SELECT 1;", kDefault, false},
        {"1024;", "1024", ";", kDefault, false},
        {"1024; SELECT 1; out.txt; ignored; also ignored",
         "1024",
         "SELECT 1;",
         "/opt/rill/out.txt",
         false},
        // A leading double quote removes every double quote; any other start keeps them all.
        {"\"1024; SELECT * FROM t WHERE s = \"\"a\"\"; out.txt\"",
         "1024",
         "SELECT * FROM t WHERE s = a;",
         "/opt/rill/out.txt",
         false},
        {"1024; SELECT * FROM t WHERE s = \"a\"",
         "1024",
         "SELECT * FROM t WHERE s = \"a\";",
         kDefault,
         false},
        {" \"1024\"; SELECT 1", "\"1024\"", "SELECT 1;", kDefault, false},
        // Names with a separator of either platform are used as written.
        {"1; s; /data/exports/result.txt", "1", "s;", "/data/exports/result.txt", false},
        {"1; s; sub/result.txt", "1", "s;", "sub/result.txt", false},
        {"1; s; sub\\result.txt", "1", "s;", "sub\\result.txt", false},
        {"1; s; flow.dss", "1", "s;", "/opt/rill/flow.dss", true},
        {"1; s; FLOW.DSS", "1", "s;", "/opt/rill/FLOW.DSS", true},
        {"1; s; Flow.Dss", "1", "s;", "/opt/rill/Flow.Dss", true},
        {"1; s; sub/flow.dss", "1", "s;", "sub/flow.dss", true},
        {"1; s; flow.dss.txt", "1", "s;", "/opt/rill/flow.dss.txt", false},
        {"1; s; dss", "1", "s;", "/opt/rill/dss", false},
    };
    for (const auto& c : cases) {
        const SqlExportRequest request = ParseSqlExportRequest(c.argumentText, kDir);
        EXPECT_EQ(request.dsidList, c.dsidList) << c.argumentText;
        EXPECT_EQ(request.statement, c.statement) << c.argumentText;
        EXPECT_EQ(request.outputPath, c.outputPath) << c.argumentText;
        EXPECT_EQ(request.refuseDss, c.refuseDss) << c.argumentText;
        EXPECT_FALSE(request.usageRun) << c.argumentText;
    }
}

TEST(ParseSqlExportRequestTest, EmptyTextIsAUsageRunOnTheDefaultPath) {
    const SqlExportRequest request = ParseSqlExportRequest("", kDir);
    EXPECT_TRUE(request.usageRun);
    EXPECT_EQ(request.outputPath, kDefault);
}

TEST(ParseSqlExportRequestTest, TextsRefusedBeforeAnyFileExists) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1024 SELECT * FROM rhour", "holds no \";\""},
        {" ", "holds no \";\""},
        {"\"", "holds no \";\""},
        {"1024; SELECT 1;", "output file name after the second \";\" is empty"},
        {"1024; SELECT 1;   ; more", "output file name after the second \";\" is empty"},
    };
    for (const auto& [text, expected] : cases) {
        try {
            ParseSqlExportRequest(text, kDir);
            ADD_FAILURE() << "accepted: [" << text << "]";
        } catch (const RunError& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos)
                << "[" << text << "] gave: " << error.what();
        }
    }
}

} // namespace
} // namespace rill::sqlexport
