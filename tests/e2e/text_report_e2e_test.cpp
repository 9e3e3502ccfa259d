// RillfetchNOW's text report, run from a temporary program directory on a fixture database
// (SQLite through the built-in engine, PostgreSQL through psqlODBC) and compared byte for byte.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pg_fixture.hpp"
#include "program_runner.hpp"
#include "wellspan_schema.hpp"

namespace rill {
namespace {

using testing::CrLfLines;
using testing::ProgramDir;
using testing::RunOptions;
using testing::RunProgram;
using testing::RunResult;

constexpr const char* kProgram = "RillfetchNOW";
// Tuesday 6 January 2009, 2:15 PM.
constexpr const char* kRunTime = "2009-01-06 14:15:00";

const std::string& kSchema = testing::kWellspanTables;

const std::string kBookkeeping = R"sql(
INSERT INTO rupdate VALUES (-1, '2009-01-06 15:00:00', NULL);
INSERT INTO rupdate VALUES (0, NULL, 'Data are provisional.');
)sql";

// The example report's database: rows out of time order, rows of other series and rows just
// outside the window around the four values that belong in it.
const std::string kExampleRows = R"sql(
INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'ID', NULL);
INSERT INTO rsite VALUES (16033, 'North Fork', 'Precip', 'in', 9, 'ID', 'Provisional');
INSERT INTO rsite VALUES (1025, 'South Fork', 'Stage', 'ft', 4, 'ID', NULL);
INSERT INTO rhour VALUES (1024, '2009-01-06 01:00:00', 11.8);
INSERT INTO rhour VALUES (1024, '2009-01-05 22:00:00', 3.42);
INSERT INTO rhour VALUES (1024, '2009-01-06 00:00:00', 3.51);
INSERT INTO rhour VALUES (1024, '2009-01-05 23:00:00', 3.47);
INSERT INTO rhour VALUES (1024, '2009-01-04 23:59:59', 9.99);
INSERT INTO rhour VALUES (1024, '2009-01-08 00:00:01', 9.99);
INSERT INTO rhour VALUES (1024, '2009-05-01 12:00:00', 9.99);
INSERT INTO rhour VALUES (1025, '2009-01-06 02:00:00', 9.99);
INSERT INTO rhour VALUES (16033, '2009-01-04 23:00:00', 9.99);
INSERT INTO rday VALUES (16033, '2009-01-06 00:00:00', 9.99);
)sql";

const std::vector<std::string> kHeader = {"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                                          "Next run at: 03:00PM",
                                          "",
                                          "Jan-05-2009 to Jan-08-2009",
                                          ""};

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> lines;
    for (auto& part : parts) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    return lines;
}

const std::vector<std::string> kExampleReport = Concat({kHeader,
                                                        {"STAGE; North Fork",
                                                         "rhour; 1024; ",
                                                         "hist-Mon 10:00PM >> 3.4 ft",
                                                         "hist-Mon 11:00PM >> 3.5 ft",
                                                         "     Tue 12:00AM >> 3.5 ft",
                                                         "     Tue 01:00AM >> 12 ft",
                                                         "",
                                                         "15033 not found.",
                                                         "",
                                                         "PRECIP; North Fork",
                                                         "rhour; 16033; Provisional",
                                                         "16033 has no data.",
                                                         "",
                                                         "Data are provisional.",
                                                         "THE_END"}});

// Series whose windows end exactly on their stored values: 3001 on rhour and runit, 3002 a
// daily data type whose values come from rday whatever table is asked for.
const std::string kWindowRows = R"sql(
INSERT INTO rsite VALUES (3001, 'Weir', 'Flow', 'cfs', 4, 'ID', 'Gauged');
INSERT INTO rsite VALUES (3002, 'Weir', 'Mean flow', 'cfs', 10, 'ID', NULL);
INSERT INTO rhour VALUES (3001, '2009-01-04 23:59:59', 1);
INSERT INTO rhour VALUES (3001, '2009-01-05 00:00:00', 1234.5);
INSERT INTO rhour VALUES (3001, '2009-01-08 00:00:00', 0.125);
INSERT INTO rhour VALUES (3001, '2009-01-08 00:00:01', 4);
INSERT INTO runit VALUES (3001, '2009-01-05 00:00:00', 10);
INSERT INTO runit VALUES (3001, '2009-01-05 00:00:59', 10.5);
INSERT INTO runit VALUES (3001, '2009-01-05 00:01:00', 11);
INSERT INTO runit VALUES (3001, '2009-01-08 00:00:00', 12);
INSERT INTO runit VALUES (3001, '2009-01-08 00:01:00', 13);
INSERT INTO rhour VALUES (3002, '2009-01-06 00:00:00', 99);
INSERT INTO rday VALUES (3002, '2009-01-05 00:00:00', 1.005);
INSERT INTO rday VALUES (3002, '2009-01-08 00:00:00', -0.004);
)sql";

struct WindowCase {
    std::string name;
    std::string args;
    std::vector<std::string> blocks;
};

const std::vector<WindowCase> kWindowCases = {
    {"hourly window includes both ends",
     "rhour, 3001, -1, 2",
     {"FLOW; Weir",
      "rhour; 3001; Gauged",
      "hist-Mon 12:00AM >> 1230 cfs",
      "     Thu 12:00AM >> 0.13 cfs",
      ""}},
    {"unit-value window starts at 00:01",
     "RUNIT, 3001, -1, 2",
     {"FLOW; Weir",
      "RUNIT; 3001; Gauged",
      "hist-Mon 12:01AM >> 11 cfs",
      "     Thu 12:00AM >> 12 cfs",
      ""}},
    {"daily data types read rday",
     "rhour, 3002, -1, 2",
     {"MEAN FLOW; Weir",
      "rday; 3002; ",
      "hist-Mon 12:00AM >> 1.01 cfs",
      "     Thu 12:00AM >> 0.00 cfs",
      ""}},
};

class TextReportTest : public ::testing::Test {
protected:
    TextReportTest() : dir_({kProgram}) {}

    void UseSqlite(const std::string& sql) {
        testing::CreateSqliteDatabase(dir_ / "wellspan.db", sql);
        dir_.WriteFile("Wellspan_setup.txt",
                       "Driver=SQLite3;Database=" + (dir_ / "wellspan.db").string() + "\r\n");
    }

    RunResult Run(const std::string& commandText) {
        RunOptions options;
        options.fakeTime = kRunTime;
        return RunProgram(dir_.Program(kProgram), {commandText}, options);
    }

    std::string Output() const { return dir_.ReadFile("RillfetchOutput.txt"); }

    ProgramDir dir_;
};

TEST_F(TextReportTest, ExampleReportOnSqlite) {
    UseSqlite(kSchema + kBookkeeping + kExampleRows);
    const RunResult result = Run("rhour, 1024 15033 16033, -1, 2");
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Output(), CrLfLines(kExampleReport));
    EXPECT_EQ(result.standardError, "");
}

TEST_F(TextReportTest, WindowEndsOnSqlite) {
    UseSqlite(kSchema + kBookkeeping + kWindowRows);
    for (const auto& c : kWindowCases) {
        SCOPED_TRACE(c.name);
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 0) << result.standardError;
        EXPECT_EQ(Output(),
                  CrLfLines(Concat({kHeader, c.blocks, {"Data are provisional.", "THE_END"}})));
    }
}

// Inputs that end a run early or take an unusual road; each compares the whole file.
TEST_F(TextReportTest, BadInputAndGaps) {
    const std::string rows = kExampleRows + R"sql(
INSERT INTO rsite VALUES (2001, 'Dam', NULL, 'ft', 4, NULL, NULL);
INSERT INTO rsite VALUES (2002, 'Dam', 'Stage', NULL, 4, NULL, NULL);
INSERT INTO rsite VALUES (2003, 'Dam', 'Stage', 'ft', NULL, NULL, NULL);
INSERT INTO rsite VALUES (2004, NULL, 'Stage', 'ft', 4, NULL, NULL);
INSERT INTO rsite VALUES (2005, 'Dam', 'Stage', 'ft', 32768, NULL, NULL);
INSERT INTO rsite VALUES (2006, 'Dam', 'Stage', 'ft', -32769, NULL, NULL);
INSERT INTO rsite VALUES (2007, 'Dam', 'Stage', 'ft', -32768, NULL, NULL);
INSERT INTO rhour VALUES (2004, '2009-01-05 01:00:00', 5.5);
INSERT INTO rhour VALUES (2004, '2009-01-05 02:00:00', NULL);
INSERT INTO rhour VALUES (2004, '2009-01-05 03:00:00', 6.5);
)sql";
    const std::vector<std::string> block1024 = {"STAGE; North Fork",
                                                "rhour; 1024; ",
                                                "hist-Mon 10:00PM >> 3.4 ft",
                                                "hist-Mon 11:00PM >> 3.5 ft",
                                                "     Tue 12:00AM >> 3.5 ft",
                                                "     Tue 01:00AM >> 12 ft",
                                                ""};
    const std::vector<std::string> block16033 = {
        "PRECIP; North Fork", "rhour; 16033; Provisional", "16033 has no data.", ""};
    const std::string footer = "Data are provisional.";
    const auto failed = [&](std::vector<std::string> blocks, const std::string& error) {
        return Concat({kHeader, blocks, {footer, error, "THE_END"}});
    };

    struct Case {
        std::string name;
        std::string bookkeeping;
        std::string commandText;
        int exitCode;
        std::vector<std::string> lines;
        std::string error; // the standard error line without the program's name
    };
    const std::vector<Case> cases = {
        {"unknown table",
         kBookkeeping,
         "nosuch, 15033 1024 16033, -1, 2",
         1,
         failed({"15033 not found.", ""}, "SQLite: cannot run query: no such table: nosuch"),
         "SQLite: cannot run query: no such table: nosuch"},
        {"table name that is not a name",
         kBookkeeping,
         "rhour where 1=1 or 1, 1024, -1, 2",
         1,
         failed({},
                "Table name \"rhour where 1=1 or 1\" is not a table name (letters, digits and "
                "underscores, or schema.table); it is not sent to the database"),
         "Table name \"rhour where 1=1 or 1\" is not a table name (letters, digits and "
         "underscores, or schema.table); it is not sent to the database"},
        {"DSID that is not a number",
         kBookkeeping,
         "rhour, 1024 1024;drop 16033, -1, 2",
         1,
         failed(block1024,
                "DSID \"1024;drop\" is not a whole number; it is not sent to the database"),
         "DSID \"1024;drop\" is not a whole number; it is not sent to the database"},
        {"null datatype_name",
         kBookkeeping,
         "rhour, 1024 2001 16033, -1, 2",
         1,
         failed(block1024, "Invalid use of Null: datatype_name of DSID 2001 in rsite is Null"),
         "Invalid use of Null: datatype_name of DSID 2001 in rsite is Null"},
        {"null unit_name",
         kBookkeeping,
         "rhour, 2002, -1, 2",
         1,
         failed({}, "Invalid use of Null: unit_name of DSID 2002 in rsite is Null"),
         "Invalid use of Null: unit_name of DSID 2002 in rsite is Null"},
        {"null datatype_id",
         kBookkeeping,
         "rhour, 2003, -1, 2",
         1,
         failed({}, "Invalid use of Null: datatype_id of DSID 2003 in rsite is Null"),
         "Invalid use of Null: datatype_id of DSID 2003 in rsite is Null"},
        {"null value: the lines before it stay, the block gets no empty line",
         kBookkeeping,
         "rhour, 2004 1024, -1, 2",
         1,
         failed({"STAGE; ", "rhour; 2004; ", "hist-Mon 01:00AM >> 5.5 ft"},
                "Invalid use of Null: value of DSID 2004 in rhour at 2009-01-05 02:00:00 is Null"),
         "Invalid use of Null: value of DSID 2004 in rhour at 2009-01-05 02:00:00 is Null"},
        {"datatype_id above the 16-bit range",
         kBookkeeping,
         "rhour, 2005, -1, 2",
         1,
         failed({},
                "Overflow: datatype_id 32768 of DSID 2005 in rsite does not fit a 16-bit integer"),
         "Overflow: datatype_id 32768 of DSID 2005 in rsite does not fit a 16-bit integer"},
        {"datatype_id below the 16-bit range",
         kBookkeeping,
         "rhour, 2007 2006, -1, 2",
         1,
         failed({"STAGE; Dam", "rhour; 2007; ", "2007 has no data.", ""},
                "Overflow: datatype_id -32769 of DSID 2006 in rsite does not fit a 16-bit integer"),
         "Overflow: datatype_id -32769 of DSID 2006 in rsite does not fit a 16-bit integer"},
        {"empty DSID list",
         kBookkeeping,
         "rhour, , -1, 2",
         0,
         Concat({kHeader, {footer, "THE_END"}}),
         ""},
        {"two blanks between DSIDs, short items",
         kBookkeeping,
         "rhour, 1024  16033 12 -1, -1, 2",
         0,
         Concat({kHeader,
                 block1024,
                 {" not found.", ""},
                 block16033,
                 {"12 not found.", "", "-1 not found.", ""},
                 {footer, "THE_END"}}),
         ""},
        {"no rupdate rows",
         "",
         "rhour, 16033 1024, -1, 2",
         0,
         Concat({{"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                  "Next run at: ----",
                  "",
                  "Jan-05-2009 to Jan-08-2009",
                  ""},
                 block16033,
                 block1024,
                 {"THE_END"}}),
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir_ / "wellspan.db");
        UseSqlite(kSchema + c.bookkeeping + rows);
        const RunResult result = Run(c.commandText);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(Output(), CrLfLines(c.lines));
        EXPECT_EQ(result.standardError,
                  c.error.empty() ? std::string() : "RillfetchNOW: " + c.error + "\n");
    }
}

TEST_F(TextReportTest, NullNextRunTimeWritesNothing) {
    UseSqlite(kSchema + kExampleRows + "INSERT INTO rupdate VALUES (-1, NULL, NULL);");
    dir_.WriteFile("RillfetchOutput.txt", "earlier report\r\n");
    const RunResult result = Run("rhour, 1024, -1, 2");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(Output(), "earlier report\r\n");
    EXPECT_EQ(result.standardError,
              "RillfetchNOW: Type mismatch: column value of rupdate holds Null\n");
}

// The same reports from PostgreSQL; its DateStyle may read 01/05/2009 as 1 May, which the
// report's own date literals must not be exposed to.
class TextReportPgTest : public testing::PgSchemaTest {
protected:
    TextReportPgTest() : dir_({kProgram}) {}

    static std::string ForPostgres(std::string sql) {
        for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
                 {" DATETIME", " timestamp"}, {" REAL", " double precision"}}) {
            for (auto pos = sql.find(from); pos != std::string::npos; pos = sql.find(from, pos)) {
                sql.replace(pos, from.size(), to);
            }
        }
        return sql;
    }

    // The reader's connection, its search path on the test's schema, with extra server settings.
    void UsePostgres(const std::string& sql, const std::string& serverSettings) {
        Fill(ForPostgres(sql));
        dir_.WriteFile("Wellspan_setup.txt",
                       testing::PgReaderConnectionString() + ";pqopt={options='-c search_path=" +
                           Schema() + serverSettings + "'}\r\n");
    }

    RunResult Run(const std::string& commandText) {
        RunOptions options;
        options.fakeTime = kRunTime;
        return RunProgram(dir_.Program(kProgram), {commandText}, options);
    }

    std::string Output() const { return dir_.ReadFile("RillfetchOutput.txt"); }

    ProgramDir dir_;
};

const std::vector<std::pair<std::string, std::string>> kDateStyles = {
    {"month first", ""}, {"day first", " -c DateStyle=SQL,DMY"}};

TEST_F(TextReportPgTest, ExampleReport) {
    for (const auto& [name, settings] : kDateStyles) {
        SCOPED_TRACE(name);
        UsePostgres(kSchema + kBookkeeping + kExampleRows, settings);
        const RunResult result = Run("rhour, 1024 15033 16033, -1, 2");
        EXPECT_EQ(result.exitCode, 0) << result.standardError;
        EXPECT_EQ(Output(), CrLfLines(kExampleReport));
        EXPECT_EQ(result.standardError, "");
        Fill("DROP TABLE rsite, rupdate, rhour, rday, runit, rmonth, ryear;");
    }
}

TEST_F(TextReportPgTest, WindowEnds) {
    for (const auto& [name, settings] : kDateStyles) {
        UsePostgres(kSchema + kBookkeeping + kWindowRows, settings);
        for (const auto& c : kWindowCases) {
            SCOPED_TRACE(name + ", " + c.name);
            const RunResult result = Run(c.args);
            EXPECT_EQ(result.exitCode, 0) << result.standardError;
            EXPECT_EQ(Output(),
                      CrLfLines(Concat({kHeader, c.blocks, {"Data are provisional.", "THE_END"}})));
        }
        Fill("DROP TABLE rsite, rupdate, rhour, rday, runit, rmonth, ryear;");
    }
}

TEST_F(TextReportPgTest, UnknownTableEndsTheRunWithTheServersMessage) {
    UsePostgres(kSchema + kBookkeeping + kExampleRows, "");
    const RunResult result = Run("nosuch, 1024, -1, 2");
    EXPECT_EQ(result.exitCode, 1);
    const std::string output = Output();
    EXPECT_TRUE(output.starts_with(CrLfLines(kHeader) + "Data are provisional.\r\n"));
    EXPECT_TRUE(output.ends_with("\r\nTHE_END\r\n"));
    EXPECT_NE(output.find("relation \"nosuch\" does not exist"), std::string::npos) << output;
    EXPECT_NE(result.standardError.find("relation \"nosuch\" does not exist"), std::string::npos);
}

} // namespace
} // namespace rill
