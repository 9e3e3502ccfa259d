#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "program_runner.hpp"

namespace rill::sqlexport {
namespace {

namespace fs = std::filesystem;
using rill::testing::CrLfLines;
using rill::testing::RunResult;

// A few rows of the Wellspan tables: 1024 has two hourly values, 15033 none, 16033 one
// negative value and no unit name.
const std::string kWellspanSql = R"sql(
CREATE TABLE rsite(datatype_site_id INTEGER PRIMARY KEY, site_name TEXT, datatype_name TEXT,
                   unit_name TEXT, datatype_id INTEGER, state TEXT, notes TEXT);
INSERT INTO rsite VALUES (1024, 'Site A', 'Flow', 'cfs', 19, 'ID', NULL),
                         (15033, 'Site B', 'Stage', 'ft', 65, 'ID', 'gauge moved'),
                         (16033, 'Site C', 'Temp', NULL, 20, 'OR', NULL);
CREATE TABLE rhour(datatype_site_id INTEGER, date_time DATETIME, value REAL);
INSERT INTO rhour VALUES (1024, '2014-11-13 04:00:00', 12.5),
                         (1024, '2014-11-13 05:00:00', 12.75),
                         (16033, '2014-11-13 00:00:00', -5.5);
CREATE TABLE kinds(id INTEGER, t TEXT, i INTEGER, r REAL, d DATETIME, b BOOLEAN, x BLOB);
INSERT INTO kinds VALUES (1, 'text', 42, 0.1, '2014-11-13 16:30:05', 1, X'0AFF'),
                         (2, NULL, NULL, NULL, NULL, NULL, NULL),
                         (3, '', -3, 1e15, '1899-12-30 06:30:00', 0, X'');
)sql";

const std::string kByDsid =
    "SELECT date_time, value FROM rhour WHERE datatype_site_id=DSID ORDER BY date_time";

// The block of 1024 for kByDsid.
const std::vector<std::string> kBlock1024 = {
    "SELECT date_time, value FROM rhour WHERE datatype_site_id=1024 ORDER BY date_time;",
    "",
    "Flow;cfs;Site A;1024",
    "date_time\tvalue\t",
    "11/13/2014 4:00:00 AM\t 12.5 \t",
    "11/13/2014 5:00:00 AM\t 12.75 \t",
    "END",
};

std::set<std::string> FilesOf(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::vector<std::string> Concat(std::vector<std::string> first,
                                const std::vector<std::string>& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

// A program directory holding RillfetchSQL, the Wellspan database and its setup file.
class SqlExportRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        rill::testing::CreateSqliteDatabase(Database(), kWellspanSql);
        dir_.WriteFile("Wellspan_setup.txt",
                       "Driver=SQLite3;Database=" + Database().string() + "\r\n");
    }

    fs::path Database() const { return dir_ / "wellspan.db"; }
    fs::path ProgramDirectory() const { return fs::canonical(dir_.Path()); }

    RunResult Run(const std::vector<std::string>& args,
                  const rill::testing::RunOptions& options = {}) const {
        return rill::testing::RunProgram(dir_.Program("RillfetchSQL"), args, options);
    }
    RunResult RunText(const std::string& argumentText) const { return Run({argumentText}); }

    std::string Output(const std::string& name = "RillfetchOutput.txt") const {
        return dir_.ReadFile(name);
    }

    rill::testing::ProgramDir dir_{{"RillfetchSQL"}};
};

void ExpectClean(const RunResult& result) {
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "");
}

void ExpectFailure(const RunResult& result, int exitCode, const std::string& description) {
    EXPECT_EQ(result.exitCode, exitCode);
    EXPECT_EQ(result.standardError, "RillfetchSQL: " + description + "\n");
}

TEST_F(SqlExportRunTest, TwoDsidsOneWithValuesOneWithout) {
    const RunResult result = RunText("1024 15033; " + kByDsid);
    ExpectClean(result);
    EXPECT_EQ(
        Output(),
        CrLfLines(Concat(kBlock1024,
                         {
                             "SELECT date_time, value FROM rhour WHERE datatype_site_id=15033 "
                             "ORDER BY date_time;",
                             "",
                             "15033 has no data.",
                             "END",
                             "THE_END",
                         })));
}

TEST_F(SqlExportRunTest, UsageRunWritesTheUsageTextAndShowsItOnTheTerminal) {
    fs::remove(dir_ / "Wellspan_setup.txt"); // a usage run never reads it
    const std::string statement = "SELECT * FROM rhour WHERE datatype_site_id=DSID AND date_time "
                                  "BETWEEN (Now()-0.25) AND Now() ORDER BY date_time";
    const std::vector<std::string> usage = {
        "Gets data from Wellspan database via SQL command line.",
        "Requires Wellspan connection setup file: Wellspan_Setup.txt",
        "",
        "Command line in batch file or shortcut link:",
        "RillfetchSQL DSID; SQL Statement; Output Filename",
        "",
        "RillfetchSQL 1024; " + statement + "; MillraceHourly.txt",
        "",
        "For multi DSID retrievals:",
        "Rillfetch 1024 15033 16033; " + statement + "; MyOutfile.txt",
        "",
        "If no filename given the output will be in: " +
            (ProgramDirectory() / "RillfetchOutput.txt").string(),
        "",
        "If '<' or '>' in SQL statement then put QUOTES around the command line like:",
        "Rillfetch \"1024 15033 16033; " + statement + "; MyOutfile.txt\"",
        "",
        "and be sure data is in Wellspan for dates specified.",
    };
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {""}, {"  "}}) {
        const RunResult result = Run(args);
        ExpectClean(result);
        EXPECT_EQ(Output(), CrLfLines(Concat(usage, {"THE_END"})));
        std::string terminal;
        for (const auto& line : usage) {
            terminal += line + "\n";
        }
        EXPECT_EQ(result.standardOutput, terminal);
    }
}

TEST_F(SqlExportRunTest, TextsRefusedBeforeAnyFileIsWritten) {
    struct Case {
        std::string argumentText;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"1024 SELECT 1",
         "The argument text holds no \";\"; expected: RillfetchSQL DSID; SQL Statement; Output "
         "Filename"},
        {"1024; SELECT 1;", "The output file name after the second \";\" is empty"},
        {"1024; SELECT 1; no_such_folder/out.txt",
         "Cannot create output file no_such_folder/out.txt: No such file or directory"},
        {"1024; SELECT 1; /", "Cannot create output file /: Is a directory"},
        // The database the setup file names would be truncated by creating the output there.
        {"1024; SELECT 1; wellspan.db",
         "Cannot create output file " + (dir_ / "wellspan.db").string() +
             ": it is the database file that the run reads"},
    };
    const std::string database = rill::testing::ReadWholeFile(Database());
    for (const auto& c : cases) {
        ExpectFailure(RunText(c.argumentText), 2, c.description);
        EXPECT_EQ(rill::testing::ReadWholeFile(Database()), database);
        EXPECT_EQ(FilesOf(dir_.Path()),
                  (std::set<std::string>{"RillfetchSQL", "Wellspan_setup.txt", "wellspan.db"}))
            << c.argumentText;
    }
}

TEST_F(SqlExportRunTest, UsageRunWhoseFileCannotBeCreatedWritesNothing) {
    fs::create_directory(dir_ / "RillfetchOutput.txt");
    const RunResult result = Run({});
    ExpectFailure(result,
                  2,
                  "Cannot create output file " +
                      (ProgramDirectory() / "RillfetchOutput.txt").string() + ": Is a directory");
    EXPECT_EQ(result.standardOutput, "");
}

// /dev/full takes the file but refuses its bytes, so the closing steps cannot complete it.
TEST_F(SqlExportRunTest, OutputThatCannotBeCompletedEndsWithStatusTwo) {
    const std::string full = "Cannot write output file /dev/full: No space left on device";
    ExpectFailure(RunText("1024; " + kByDsid + "; /dev/full"), 2, full);
    fs::remove(dir_ / "Wellspan_setup.txt");
    ExpectFailure(RunText("1024; " + kByDsid + "; /dev/full"),
                  2,
                  full + "; earlier: Cannot open " +
                      (ProgramDirectory() / "Wellspan_setup.txt").string() +
                      ": No such file or directory");
}

TEST_F(SqlExportRunTest, DssNamesAreRefusedInAnyLetterCase) {
    fs::remove(dir_ / "Wellspan_setup.txt"); // reading it would fail the run
    for (const std::string name : {"flow.dss", "FLOW.DSS", "Flow.Dss"}) {
        const RunResult result = RunText("1024; " + kByDsid + "; " + name);
        ExpectFailure(result, 1, "Hec-DSS files not supported.");
        EXPECT_EQ(Output(name), CrLfLines({"Hec-DSS files not supported.", "THE_END"})) << name;
    }
}

TEST_F(SqlExportRunTest, MissingSetupFileIsReportedInTheOutputFile) {
    fs::remove(dir_ / "Wellspan_setup.txt");
    const std::string message = "Cannot open " +
                                (ProgramDirectory() / "Wellspan_setup.txt").string() +
                                ": No such file or directory";
    ExpectFailure(RunText("1024; " + kByDsid), 1, message);
    EXPECT_EQ(Output(), CrLfLines({message, "THE_END"}));
}

TEST_F(SqlExportRunTest, SegmentsAndOutputNamesPlaceTheSameFile) {
    fs::create_directory(dir_ / "sub");
    const fs::path absolute = dir_ / "absolute.txt";
    struct Case {
        std::string argumentText;
        std::string fileInProgramDirectory;
    };
    const std::vector<Case> cases = {
        {"1024; " + kByDsid, "RillfetchOutput.txt"},
        {"  1024  ;  " + kByDsid + "  ;  result.txt  ", "result.txt"},
        {"1024; " + kByDsid + "; fourth.txt; ignored; segments", "fourth.txt"},
        // Relative names are taken from the program directory, whatever the caller's.
        {"1024; " + kByDsid + "; sub/result.txt", "sub/result.txt"},
        {"1024; " + kByDsid + "; " + absolute.string(), "absolute.txt"},
    };
    rill::testing::TempDir elsewhere;
    rill::testing::RunOptions options;
    options.workingDirectory = elsewhere.Path();
    for (const auto& c : cases) {
        ExpectClean(Run({c.argumentText}, options));
        EXPECT_EQ(Output(c.fileInProgramDirectory), CrLfLines(Concat(kBlock1024, {"THE_END"})))
            << c.argumentText;
    }
}

TEST_F(SqlExportRunTest, RelativeDatabasePathIsFoundBesideTheProgram) {
    dir_.WriteFile("Wellspan_setup.txt", "Driver=SQLite3;Database=wellspan.db\r\nignored line\r\n");
    rill::testing::TempDir elsewhere;
    rill::testing::RunOptions options;
    options.workingDirectory = elsewhere.Path();
    ExpectClean(Run({"1024; " + kByDsid}, options));
    EXPECT_EQ(Output(), CrLfLines(Concat(kBlock1024, {"THE_END"})));
}

TEST_F(SqlExportRunTest, LeadingDoubleQuoteRemovesEveryDoubleQuote) {
    const std::string statement =
        "SELECT datatype_name AS \"Kind\" FROM rsite WHERE site_name = \"Site A\"";
    const RunResult stripped = RunText("\"0; " + statement + "; out.txt\"");
    const std::string syntaxError = "SQLite: cannot run query: near \"A\": syntax error";
    ExpectFailure(stripped, 1, syntaxError);
    EXPECT_EQ(Output("out.txt"),
              CrLfLines({"SELECT datatype_name AS Kind FROM rsite WHERE site_name = Site A;",
                         "",
                         syntaxError,
                         "THE_END"}));

    const std::string kept =
        "SELECT datatype_name AS \"Kind\" FROM rsite WHERE site_name = 'Site A'";
    ExpectClean(RunText("0; " + kept + "; out.txt"));
    EXPECT_EQ(Output("out.txt"),
              CrLfLines({kept + ";", "", "", "Kind\t", "Flow\t", "END", "THE_END"}));
}

TEST_F(SqlExportRunTest, EmptyDsidListOpensTheSessionAndWritesOnlyTheEnd) {
    ExpectClean(RunText("; " + kByDsid));
    EXPECT_EQ(Output(), CrLfLines({"THE_END"}));

    fs::remove(dir_ / "Wellspan_setup.txt");
    EXPECT_EQ(RunText("; " + kByDsid).exitCode, 1);
}

TEST_F(SqlExportRunTest, EmptyItemBetweenTwoBlanksFailsItsSiteQuery) {
    const std::string message = "SQLite: cannot run query: incomplete input";
    ExpectFailure(RunText("1024  15033; " + kByDsid), 1, message);
    EXPECT_EQ(Output(),
              CrLfLines(Concat(kBlock1024,
                               {
                                   "SELECT date_time, value FROM rhour WHERE datatype_site_id= "
                                   "ORDER BY date_time;",
                                   "",
                                   message,
                                   "THE_END",
                               })));
}

TEST_F(SqlExportRunTest, DsidWithoutSiteRowIsReportedAndTheRunGoesOn) {
    ExpectClean(RunText("1024 999 16033; " + kByDsid));
    EXPECT_EQ(
        Output(),
        CrLfLines(Concat(kBlock1024,
                         {
                             "SELECT date_time, value FROM rhour WHERE datatype_site_id=999 ORDER "
                             "BY date_time;",
                             "",
                             "999 not found.",
                             "END",
                             "SELECT date_time, value FROM rhour WHERE datatype_site_id=16033 "
                             "ORDER BY date_time;",
                             "",
                             "Temp;;Site C;16033",
                             "date_time\tvalue\t",
                             "11/13/2014\t-5.5 \t",
                             "END",
                             "THE_END",
                         })));
}

TEST_F(SqlExportRunTest, StatementsThatFailKeepWhatWasWritten) {
    struct Case {
        std::string argumentText;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"1024; SELECT value FROM nowhere WHERE datatype_site_id=DSID",
         {"SELECT value FROM nowhere WHERE datatype_site_id=1024;",
          "",
          "SQLite: cannot run query: no such table: nowhere",
          "THE_END"}},
        // "=dsid" in another letter case stays, so the database sees an unknown column.
        {"IN (1024); SELECT value FROM rhour WHERE datatype_site_id=dsid",
         {"SELECT value FROM rhour WHERE datatype_site_id=dsid;",
          "",
          "SQLite: cannot run query: no such column: dsid",
          "THE_END"}},
        // The third row fails while it is fetched (rowid order needs no sorting, so rows come
        // one at a time); the rows before it stay.
        {"0; SELECT value, CASE WHEN value < 0 THEN abs(-9223372036854775807 - 1) ELSE 1 END AS c "
         "FROM rhour ORDER BY rowid",
         {"SELECT value, CASE WHEN value < 0 THEN abs(-9223372036854775807 - 1) ELSE 1 END AS c "
          "FROM rhour ORDER BY rowid;",
          "",
          "",
          "value\tc\t",
          " 12.5 \t 1 \t",
          " 12.75 \t 1 \t",
          "SQLite: query failed: integer overflow",
          "THE_END"}},
    };
    for (const auto& c : cases) {
        const RunResult result = RunText(c.argumentText);
        ExpectFailure(result, 1, c.expected[c.expected.size() - 2]);
        EXPECT_EQ(Output(), CrLfLines(c.expected)) << c.argumentText;
    }
}

TEST_F(SqlExportRunTest, StatementThatWritesIsRefusedAndTheDatabaseStaysUnchanged) {
    const std::string before = rill::testing::ReadWholeFile(Database());
    const std::string message =
        "SQLite: the session is read-only; statements that change the database are refused";
    ExpectFailure(RunText("1024; DELETE FROM rhour WHERE datatype_site_id=DSID"), 1, message);
    EXPECT_EQ(
        Output(),
        CrLfLines({"DELETE FROM rhour WHERE datatype_site_id=1024;", "", message, "THE_END"}));
    EXPECT_EQ(rill::testing::ReadWholeFile(Database()), before);
}

TEST_F(SqlExportRunTest, CellTextOfEveryKindAndOfNull) {
    ExpectClean(RunText("0; SELECT t, i, r, d, b, x FROM kinds ORDER BY id"));
    EXPECT_EQ(Output(),
              CrLfLines({
                  "SELECT t, i, r, d, b, x FROM kinds ORDER BY id;",
                  "",
                  "",
                  "t\ti\tr\td\tb\tx\t",
                  "text\t 42 \t 0.1 \t11/13/2014 4:30:05 PM\tTrue\t0AFF\t",
                  "Null\tNull\tNull\tNull\tNull\tNull\t",
                  "\t-3 \t 1E+15 \t6:30:00 AM\tFalse\t\t",
                  "END",
                  "THE_END",
              }));
}

TEST_F(SqlExportRunTest, ColumnsWithoutRowsWriteTheNoDataLine) {
    struct Case {
        std::string argumentText;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"1024; SELECT value FROM rhour WHERE datatype_site_id=DSID AND value > 100",
         {"SELECT value FROM rhour WHERE datatype_site_id=1024 AND value > 100;",
          "",
          "1024 has no data.",
          "END",
          "THE_END"}},
        {"0; SELECT value FROM rhour WHERE value > 100",
         {"SELECT value FROM rhour WHERE value > 100;", "", "0 has no data.", "END", "THE_END"}},
        {"IN (99,98); SELECT value FROM rhour WHERE datatype_site_id=DSID",
         {"SELECT value FROM rhour WHERE datatype_site_id IN (99,98);",
          "",
          " IN (99,98) has no data.",
          "END",
          "THE_END"}},
    };
    for (const auto& c : cases) {
        ExpectClean(RunText(c.argumentText));
        EXPECT_EQ(Output(), CrLfLines(c.expected)) << c.argumentText;
    }
}

TEST_F(SqlExportRunTest, ListItemReplacesEqualsDsidInBothSpellings) {
    ExpectClean(RunText("IN (1024,16033); SELECT datatype_site_id, value FROM rhour WHERE "
                        "datatype_site_id=DSID AND datatype_site_id= DSID ORDER BY date_time"));
    EXPECT_EQ(Output(),
              CrLfLines({
                  "SELECT datatype_site_id, value FROM rhour WHERE datatype_site_id IN "
                  "(1024,16033) AND datatype_site_id IN (1024,16033) ORDER BY date_time;",
                  "",
                  "",
                  "datatype_site_id\tvalue\t",
                  " 16033 \t-5.5 \t",
                  " 1024 \t 12.5 \t",
                  " 1024 \t 12.75 \t",
                  "END",
                  "THE_END",
              }));
}

TEST_F(SqlExportRunTest, DsidInsideALongerWordIsReplaced) {
    ExpectClean(RunText("1024; SELECT 'DSID_OLD' AS label, value FROM rhour WHERE "
                        "datatype_site_id=DSID ORDER BY date_time"));
    EXPECT_EQ(Output(),
              CrLfLines({
                  "SELECT '1024_OLD' AS label, value FROM rhour WHERE datatype_site_id=1024 "
                  "ORDER BY date_time;",
                  "",
                  "Flow;cfs;Site A;1024",
                  "label\tvalue\t",
                  "1024_OLD\t 12.5 \t",
                  "1024_OLD\t 12.75 \t",
                  "END",
                  "THE_END",
              }));
}

} // namespace
} // namespace rill::sqlexport
