// RillfetchNOW run from a temporary program directory: the usage run, the order of a run and
// what callers see when it fails.
#include <filesystem>

#include <gtest/gtest.h>

#include "program_runner.hpp"
#include "wellspan_schema.hpp"

namespace rill {
namespace {

using testing::CrLfLines;
using testing::ProgramDir;
using testing::RunOptions;
using testing::RunProgram;

constexpr const char* kProgram = "RillfetchNOW";
constexpr const char* kRunTime = "2009-01-06 14:15:00";

const std::string kDatabase = testing::kWellspanTables + R"sql(
    INSERT INTO rupdate VALUES (-1, '2009-01-06 15:00:00', NULL);
    INSERT INTO rupdate VALUES (0, NULL, 'Data are provisional.');
)sql";

class WindowExportRunTest : public ::testing::Test {
protected:
    WindowExportRunTest() : dir_({kProgram}) {}

    void UseDatabase(const std::string& sql) {
        testing::CreateSqliteDatabase(dir_ / "w.db", sql);
        dir_.WriteFile("Wellspan_setup.txt",
                       "Driver=SQLite3;Database=" + (dir_ / "w.db").string() + "\r\n");
    }

    testing::RunResult Run(const std::vector<std::string>& args) {
        RunOptions options;
        options.fakeTime = kRunTime;
        return RunProgram(dir_.Program(kProgram), args, options);
    }

    std::string Output() const { return dir_.ReadFile("RillfetchOutput.txt"); }

    ProgramDir dir_;
};

std::vector<std::string> UsageLines(const std::string& defaultOutput) {
    return {"Gets data from Wellspan database via command line.",
            "Requires Wellspan connection setup file: Wellspan_Setup.txt",
            "Ftp requires Plotwren autoweb setup file: Plotwren_autoweb.txt",
            "The sdate and edate are set relative to today's date by -1, 2",
            "",
            "Command line in batch file or shortcut link:",
            "Rillfetch rhour, 1024, -1, 2, myfile.txt, SiFujwazxm",
            "",
            "SiFujwazxm optional to send to web",
            "",
            "For multi retrievals:",
            "Rillfetch runit, 1024 15033 16033 17033, -1, 3, myfile.dss",
            "",
            "If no filename given the output will be in: " + defaultOutput,
            "",
            "If filename has '.dss' then output will be in HEC-DSS format.",
            "HEC-DSS errors will be in: " + defaultOutput,
            "and be sure data is in Wellspan for dates specified.",
            "THE_END"};
}

TEST_F(WindowExportRunTest, UsageRunNeedsNoSetupFileAndShowsTheText) {
    const auto result = Run({});
    const std::string defaultOutput = (dir_ / "RillfetchOutput.txt").string();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(Output(), CrLfLines(UsageLines(defaultOutput)));
    // Without a desktop the text is shown on the terminal instead of in a viewer.
    std::string shown;
    for (const auto& line : UsageLines(defaultOutput)) {
        shown += line + "\n";
    }
    EXPECT_EQ(result.standardOutput, shown);
    EXPECT_EQ(result.standardError, "");
}

TEST_F(WindowExportRunTest, HeaderAndFooterOfAnExportRun) {
    UseDatabase(kDatabase);
    const auto result = Run({"rhour, , -1, 2"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Output(),
              CrLfLines({"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                         "Next run at: 03:00PM",
                         "",
                         "Jan-05-2009 to Jan-08-2009",
                         "",
                         "Data are provisional.",
                         "THE_END"}));
    EXPECT_EQ(result.standardError, "");
}

TEST_F(WindowExportRunTest, NoBookkeepingRowsGiveDashesAndNoFooter) {
    UseDatabase(
        R"sql(CREATE TABLE rupdate (datatype_site_id INTEGER, value DATETIME, site_name TEXT);)sql");
    const auto result = Run({"rhour, , 0, 0"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(Output(),
              CrLfLines({"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                         "Next run at: ----",
                         "",
                         "Jan-06-2009 to Jan-06-2009",
                         "",
                         "THE_END"}));
}

// Failures before the output file exists leave an earlier file untouched and write nothing.
TEST_F(WindowExportRunTest, FailuresBeforeTheOutputFileExistWriteNothing) {
    enum class Setup { Missing, File, Folder };
    struct Case {
        std::string name;
        Setup setup;
        std::string setupFile;
        std::vector<std::string> args;
        std::string errorFragment;
    };
    const std::string db = (dir_ / "w.db").string();
    testing::CreateSqliteDatabase(db, kDatabase);
    dir_.WriteFile("plain.txt", "this is not a database, just text\n");
    const std::vector<Case> cases = {
        {"missing setup file",
         Setup::Missing,
         "",
         {"rhour,", "1024,", "-1,", "2"},
         "Wellspan_setup.txt"},
        {"empty setup file", Setup::File, "", {"rhour,", "1024,", "-1,", "2"}, "is empty"},
        {"unreadable setup file",
         Setup::Folder,
         "",
         {"rhour,", "1024,", "-1,", "2"},
         "Is a directory"},
        {"binary setup file",
         Setup::File,
         std::string("SQLite format 3\0\x10", 18),
         {"rhour,", "1024,", "-1,", "2"},
         "not a text file"},
        {"empty first line",
         Setup::File,
         "\r\nDriver=SQLite3;Database=" + db,
         {"rhour,", "1024,", "-1,", "2"},
         "IM002"},
        {"missing database",
         Setup::File,
         "Driver=SQLite3;Database=" + (dir_ / "nope.db").string(),
         {"rhour,", "1024,", "-1,", "2"},
         "unable to open"},
        {"not a database",
         Setup::File,
         "Driver=SQLite3;Database=" + (dir_ / "plain.txt").string(),
         {"rhour,", "1024,", "-1,", "2"},
         "not a database"},
        {"OLE DB string",
         Setup::File,
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\w.mdb",
         {"rhour,", "1024,", "-1,", "2"},
         "ODBC connection string"},
        {"too few arguments",
         Setup::File,
         "Driver=SQLite3;Database=" + db,
         {"rhour,", "1024,", "-1"},
         "Too few arguments"},
        {"empty fifth argument",
         Setup::File,
         "Driver=SQLite3;Database=" + db,
         {"rhour,", "1024,", "-1,", "2,", ""},
         "Cannot create output file"},
        {"missing output directory",
         Setup::File,
         "Driver=SQLite3;Database=" + db,
         {"rhour,", "1024,", "-1,", "2,", "/nonexistent-dir/out.txt"},
         "No such file or directory"},
        {"unreachable PostgreSQL",
         Setup::File,
         "Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=1;Database=x;Username=x;Password=x",
         {"rhour,", "1024,", "-1,", "2"},
         "127.0.0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir_ / "Wellspan_setup.txt");
        if (c.setup == Setup::Folder) {
            // A folder of that name cannot be read as a file, even by root.
            std::filesystem::create_directory(dir_ / "Wellspan_setup.txt");
        } else if (c.setup == Setup::File) {
            dir_.WriteFile("Wellspan_setup.txt", c.setupFile);
        }
        dir_.WriteFile("RillfetchOutput.txt", "earlier report\r\n");
        const auto result = Run(c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(Output(), "earlier report\r\n");
        EXPECT_TRUE(result.standardError.starts_with("RillfetchNOW: ")) << result.standardError;
        EXPECT_NE(result.standardError.find(c.errorFragment), std::string::npos)
            << result.standardError;
        EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
            << result.standardError;
    }
}

// The database file stays as it is whatever spelling of it the output name uses.
TEST_F(WindowExportRunTest, OutputNamingTheDatabaseIsRefused) {
    UseDatabase(kDatabase);
    const std::string database = dir_.ReadFile("w.db");
    const std::string dotted = (dir_ / "." / "w.db").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"w.db", (dir_ / "w.db").string()}, {dotted, dotted}};
    for (const auto& [name, outputPath] : cases) {
        SCOPED_TRACE(name);
        const auto result = Run({"rhour, , -1, 2, " + name});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(dir_.ReadFile("w.db") == database) << "the database file was changed";
        EXPECT_EQ(result.standardError,
                  "RillfetchNOW: Cannot create output file " + outputPath +
                      ": it is the database file that the run reads\n");
    }
}

// A next-run value that is no date-time fails the run before the report file exists.
TEST_F(WindowExportRunTest, UnreadableNextRunTimeFailsBeforeTheFileExists) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"NULL", "Null"},
        {"'next Tuesday'", "not a date-time"},
        {"1e20", "outside the years 100 to 9999"},
    };
    for (const auto& [value, errorFragment] : cases) {
        SCOPED_TRACE(value);
        std::filesystem::remove(dir_ / "w.db");
        UseDatabase("CREATE TABLE rupdate (datatype_site_id INTEGER, value, site_name TEXT);"
                    "INSERT INTO rupdate VALUES (-1, " +
                    value + ", NULL);");
        dir_.WriteFile("RillfetchOutput.txt", "earlier report\r\n");
        const auto result = Run({"rhour, , -1, 2"});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(Output(), "earlier report\r\n");
        EXPECT_NE(result.standardError.find(errorFragment), std::string::npos)
            << result.standardError;
    }
}

TEST_F(WindowExportRunTest, FullDiskIsReportedNotASilentlyShortFile) {
    UseDatabase(kDatabase);
    const auto result = Run({"rhour, , -1, 2, /dev/full"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.standardError.find("No space left on device"), std::string::npos)
        << result.standardError;
}

} // namespace
} // namespace rill
