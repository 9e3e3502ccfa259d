// RillfetchNOW runs that store their series in a HEC-DSS file; the file is read back with our
// DSS reader and the log compared whole.
#include <filesystem>

#include <gtest/gtest.h>

#include "hecdss/dss_file.hpp"
#include "hecdss/dss_time.hpp"
#include "hecdss/dss_values.hpp"
#include "program_runner.hpp"
#include "wellspan_schema.hpp"

namespace rill {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;

constexpr const char* kProgram = "RillfetchNOW";

const std::string kSchema =
    testing::kWellspanTables + "INSERT INTO rupdate VALUES (0, NULL, 'Data are provisional.');";

// One value as read back: "05Jan2009 24:00:00 3.42", or "M" for a missing value.
std::string Shown(const hecdss::DssTime& time, float value) {
    if (hecdss::IsMissing(value)) {
        return hecdss::FormatDateTime(time) + " M";
    }
    char number[32];
    std::snprintf(number, sizeof number, "%g", static_cast<double>(value));
    return hecdss::FormatDateTime(time) + " " + number;
}

void Append(std::vector<std::string>& lines, std::initializer_list<std::string> more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

struct StoredSeries {
    std::string units;
    std::string type;
    std::vector<std::string> values;
};

class DssModeTest : public ::testing::Test {
protected:
    DssModeTest() : dir_({kProgram}) {}

    void UseDatabase(const std::string& rows) {
        testing::CreateSqliteDatabase(dir_ / "w.db", std::string(kSchema) + rows);
        dir_.WriteFile("Wellspan_setup.txt",
                       "Driver=SQLite3;Database=" + (dir_ / "w.db").string() + "\r\n");
    }

    testing::RunResult Run(const std::string& commandText) {
        testing::RunOptions options;
        options.fakeTime = "2009-01-06 14:15:00";
        return testing::RunProgram(dir_.Program(kProgram), {commandText}, options);
    }

    std::string Log() const { return dir_.ReadFile("RillfetchOutput.txt"); }
    std::string DssPath(const std::string& name = "river.dss") const {
        return (dir_ / name).string();
    }

    std::vector<std::string> Pathnames(const std::string& name = "river.dss") const {
        auto file = hecdss::DssFile::Open(DssPath(name), {hecdss::OpenMode::ReadOnly});
        return file.ListPathnames();
    }

    StoredSeries Series(const std::string& pathname, const std::string& name = "river.dss") const {
        auto file = hecdss::DssFile::Open(DssPath(name), {hecdss::OpenMode::ReadOnly});
        const auto series = file.ReadRegularSeries(pathname);
        if (!series) {
            ADD_FAILURE() << "no series " << pathname;
            return {};
        }
        StoredSeries stored{series->units, series->type, {}};
        for (std::size_t i = 0; i < series->values.size(); ++i) {
            stored.values.push_back(Shown(series->times[i], series->values[i]));
        }
        return stored;
    }

    static std::vector<std::string> Header() {
        return {"AUTOMATED UPDATE: Tuesday, Jan 06, 2009 02:15PM",
                "Next run at: ----",
                "",
                "Jan-05-2009 to Jan-08-2009",
                ""};
    }

    testing::ProgramDir dir_;
};

TEST_F(DssModeTest, HourlySeriesFromMidnightAndItsLog) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rsite VALUES (15033, 'Green River', 'Flow', 'cfs', 12, NULL, NULL);
        INSERT INTO rhour VALUES (1024, '2009-01-05 00:00:00', 3.42), (1024, '2009-01-05 01:00:00', 3.47),
                                 (1024, '2009-01-05 02:00:00', 3.51);
    )sql");
    const auto result = Run("rhour, 1024 15033 12, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 0) << result.standardError;

    auto expected = Header();
    Append(expected,
           {"Stage;ft;North Fork;4;UT;1024 values: 3 ",
            "",
            "",
            "Flow;cfs;Green River;12;;15033",
            "rhour; 15033; ",
            "15033 has no data.",
            "",
            "12 not found.",
            ""});
    Append(expected,
           {std::string(),
            "DSS output file: " + DssPath(),
            std::string("Data are provisional."),
            std::string("THE_END")});
    EXPECT_EQ(Log(), CrLfLines(expected));

    EXPECT_EQ(Pathnames(),
              (std::vector<std::string>{"/UT024/1024 North Fork/STAGE/01Jan2009/1Hour/MSA/"}));
    const StoredSeries stored = Series("/UT024/1024 North Fork/STAGE//1HOUR/MSA/");
    EXPECT_EQ(stored.units, "FT");
    EXPECT_EQ(stored.type, "INST-VAL");
    EXPECT_EQ(stored.values,
              (std::vector<std::string>{"04Jan2009 24:00:00 3.42",
                                        "05Jan2009 01:00:00 3.47",
                                        "05Jan2009 02:00:00 3.51"}));
}

// Every value lands at its own time; hours without a row are missing in the file.
TEST_F(DssModeTest, SeriesWithGapsKeepTheirTimes) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rhour VALUES (1024, '2009-01-05 06:30:00', 1), (1024, '2009-01-05 07:30:00', 2),
                                 (1024, '2009-01-05 10:30:00', 5);
    )sql");
    const auto result = Run("rhour, 1024, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_NE(Log().find("Stage;ft;North Fork;4;UT;1024 values: 3 \r\n"), std::string::npos);
    const StoredSeries stored = Series("/UT024/1024 North Fork/STAGE//1HOUR/MSA/");
    EXPECT_EQ(stored.values,
              (std::vector<std::string>{"05Jan2009 06:30:00 1",
                                        "05Jan2009 07:30:00 2",
                                        "05Jan2009 08:30:00 M",
                                        "05Jan2009 09:30:00 M",
                                        "05Jan2009 10:30:00 5"}));
}

TEST_F(DssModeTest, IntervalsAndStartTimesOfEachTable) {
    struct Case {
        std::string table;
        std::string rows;
        std::string pathname;
        std::string type;
        std::vector<std::string> values;
    };
    const std::vector<Case> cases = {
        {"rday",
         "(1024, '2009-01-05 00:00:00', 10), (1024, '2009-01-06 00:00:00', 11)",
         "/UT024/1024 North Fork/STAGE//1DAY/MSA/",
         "PER-AVER",
         {"05Jan2009 24:00:00 10", "06Jan2009 24:00:00 11"}},
        {"RUNIT",
         "(1024, '2009-01-05 00:15:00', 1), (1024, '2009-01-05 00:30:00', 2), "
         "(1024, '2009-01-05 01:00:00', 4)",
         "/UT024/1024 North Fork/STAGE//15MIN/MSA/",
         "INST-VAL",
         {"05Jan2009 00:15:00 1",
          "05Jan2009 00:30:00 2",
          "05Jan2009 00:45:00 M",
          "05Jan2009 01:00:00 4"}},
        {"rmonth",
         "(1024, '2008-10-01 00:00:00', 1), (1024, '2008-11-01 00:00:00', 2), "
         "(1024, '2009-01-01 00:00:00', 4)",
         "/UT024/1024 North Fork/STAGE//1MONTH/MSA/",
         "PER-AVER",
         {"01Oct2008 24:00:00 1",
          "01Nov2008 24:00:00 2",
          "01Dec2008 24:00:00 M",
          "01Jan2009 24:00:00 4"}},
        {"ryear",
         "(1024, '2006-01-01 00:00:00', 1), (1024, '2008-01-01 00:00:00', 3)",
         "/UT024/1024 North Fork/STAGE//1YEAR/MSA/",
         "PER-AVER",
         {"01Jan2006 24:00:00 1", "01Jan2007 24:00:00 M", "01Jan2008 24:00:00 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        fs::remove(dir_ / "river.dss");
        fs::remove(dir_ / "w.db");
        UseDatabase("INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);"
                    "INSERT INTO " +
                    c.table + " VALUES " + c.rows + ";");
        const auto result = Run(c.table + ", 1024, -1200, 2, river.dss");
        EXPECT_EQ(result.exitCode, 0) << result.standardError;
        EXPECT_EQ(result.standardError, "");
        const StoredSeries stored = Series(c.pathname);
        EXPECT_EQ(stored.type, c.type);
        EXPECT_EQ(stored.values, c.values);
    }
}

TEST_F(DssModeTest, PartsUnitsAndDataTypesFromTheSiteRow) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (15033, 'Green River at Jensen', 'Precip', 'in', 9, 'UT', NULL);
        INSERT INTO rsite VALUES (15034, 'Green River at Jensen below the confluence', 'Daily total', 'acre-feet', 10, 'CO', NULL);
        INSERT INTO rsite VALUES (15035, NULL, 'Precipitation accumulated since October', 'in', 11, NULL, NULL);
        INSERT INTO rsite VALUES (15036, 'Jensen', 'Runoff', 'in', 27, 'UT', NULL);
        INSERT INTO rsite VALUES (15037, 'Jensen', 'Storage', 'af', 12, 'UT', NULL);
        INSERT INTO rhour SELECT datatype_site_id, '2009-01-05 06:00:00', 1 FROM rsite;
    )sql");
    const auto result = Run("rhour, 15033 15034 15035 15036 15037, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> expected = {
        {"/UT033/15033 Green River at Jensen/PRECIP//1HOUR/MSA/", {"IN", "INST-CUM"}},
        {"/CO034/15034 Green River at Jensen belo/DAILY TOTAL//1HOUR/MSA/",
         {"ACRE-FEE", "PER-CUM"}},
        {"/035/15035/PRECIPITATION ACCUMULAT//1HOUR/MSA/", {"IN", "PER-CUM"}},
        {"/UT036/15036 Jensen/RUNOFF//1HOUR/MSA/", {"IN", "PER-CUM"}},
        {"/UT037/15037 Jensen/STORAGE//1HOUR/MSA/", {"AF", "INST-VAL"}},
    };
    for (const auto& [pathname, unitsAndType] : expected) {
        SCOPED_TRACE(pathname);
        const StoredSeries stored = Series(pathname);
        EXPECT_EQ(stored.units, unitsAndType.first);
        EXPECT_EQ(stored.type, unitsAndType.second);
    }
}

// A scheduled job that writes the same file again leaves one longer series.
TEST_F(DssModeTest, SecondRunMergesIntoTheSameSeries) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rhour VALUES (1024, '2009-01-05 01:00:00', 1), (1024, '2009-01-05 02:00:00', 2);
    )sql");
    ASSERT_EQ(Run("rhour, 1024, -1, 2, river.dss").exitCode, 0);
    testing::CreateSqliteDatabase(dir_ / "w.db", R"sql(
        UPDATE rhour SET value = 20 WHERE date_time = '2009-01-05 02:00:00';
        INSERT INTO rhour VALUES (1024, '2009-01-05 03:00:00', 3);
    )sql");
    ASSERT_EQ(Run("rhour, 1024, -1, 2, river.dss").exitCode, 0);
    EXPECT_EQ(Pathnames().size(), 1u);
    EXPECT_EQ(Series("/UT024/1024 North Fork/STAGE//1HOUR/MSA/").values,
              (std::vector<std::string>{
                  "05Jan2009 01:00:00 1", "05Jan2009 02:00:00 20", "05Jan2009 03:00:00 3"}));
}

TEST_F(DssModeTest, FileThatCannotBeOpenedIsReportedAtTheFirstSeriesWithRows) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rsite VALUES (15033, 'Green River', 'Flow', 'cfs', 12, 'UT', NULL);
        INSERT INTO rhour VALUES (15033, '2009-01-05 01:00:00', 1);
        INSERT INTO rhour VALUES (16033, '2009-01-05 01:00:00', 1);
    )sql");
    const std::string notDss = "this is a text file that happens to end in .dss\n";
    dir_.WriteFile("text.dss", notDss);
    const std::vector<std::string> targets = {(dir_ / "missing-dir" / "river.dss").string(),
                                              (dir_ / "text.dss").string()};
    for (const auto& target : targets) {
        SCOPED_TRACE(target);
        const auto result = Run("rhour, 1024 15033 16033, -1, 2, " + target);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError, "RillfetchNOW: Could not open " + target + "\n");
        auto expected = Header();
        Append(expected,
               {std::string("Stage;ft;North Fork;4;UT;1024"),
                std::string("rhour; 1024; "),
                std::string("1024 has no data."),
                std::string(),
                "Could not open " + target,
                "DSS output file: " + target,
                std::string("Data are provisional."),
                std::string("THE_END")});
        EXPECT_EQ(Log(), CrLfLines(expected));
    }
    EXPECT_EQ(dir_.ReadFile("text.dss"), notDss);
    EXPECT_FALSE(fs::exists(dir_ / "missing-dir"));
}

TEST_F(DssModeTest, NullValueEndsTheRunAndTheFileIsStillClosed) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rsite VALUES (15033, 'Green River', 'Flow', 'cfs', 12, 'UT', NULL);
        INSERT INTO rhour VALUES (1024, '2009-01-05 01:00:00', 1);
        INSERT INTO rhour VALUES (15033, '2009-01-05 01:00:00', NULL);
    )sql");
    const auto result = Run("rhour, 1024 15033, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 1);
    const std::string log = Log();
    const std::string tail = "\r\nDSS output file: " + DssPath() + "\r\nData are provisional.\r\n";
    EXPECT_NE(log.find("Stage;ft;North Fork;4;UT;1024 values: 1 \r\n\r\n\r\n\r\n" + tail.substr(2)),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Null"), std::string::npos);
    EXPECT_TRUE(log.ends_with("THE_END\r\n"));
    // The series stored before the error is in the file, which the run closed properly.
    EXPECT_EQ(Pathnames().size(), 1u);
}

// A pathname the library's check refuses (here a site name outside printable ASCII) skips the
// series without a line of its own.
TEST_F(DssModeTest, PathnameRefusedByTheCheckIsSkippedQuietly) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'Río Verde', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rhour VALUES (1024, '2009-01-05 01:00:00', 1);
    )sql");
    const auto result = Run("rhour, 1024, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    auto expected = Header();
    Append(expected,
           {std::string(),
            std::string(),
            "DSS output file: " + DssPath(),
            std::string("Data are provisional."),
            std::string("THE_END")});
    EXPECT_EQ(Log(), CrLfLines(expected));
}

// A one-row unit series has no step of its own: it takes the last one measured in the run, and
// with none measured the store refuses the interval.
TEST_F(DssModeTest, OneRowUnitSeriesTakesTheLastStep) {
    UseDatabase(R"sql(
        INSERT INTO rsite VALUES (1024, 'North Fork', 'Stage', 'ft', 4, 'UT', NULL);
        INSERT INTO rsite VALUES (15033, 'Green River', 'Flow', 'cfs', 12, 'UT', NULL);
        INSERT INTO runit VALUES (1024, '2009-01-05 01:00:00', 1);
        INSERT INTO runit VALUES (15033, '2009-01-05 01:00:00', 1), (15033, '2009-01-05 01:15:00', 2);
    )sql");
    const auto result = Run("runit, 1024 15033 1024, -1, 2, river.dss");
    EXPECT_EQ(result.exitCode, 1);
    const std::string refused = "Stage;ft;North Fork;4;UT;1024: A non-standard time interval was "
                                "provided in the ' E' part of the pathname.";
    auto expected = Header();
    Append(expected,
           {"Stage;ft;North Fork;4;UT;1024 values: 1 ",
            refused,
            "",
            "Flow;cfs;Green River;12;UT;15033 values: 2 ",
            refused,
            "",
            "Stage;ft;North Fork;4;UT;1024 values: 1 ",
            refused,
            ""});
    Append(expected,
           {refused,
            "DSS output file: " + DssPath(),
            std::string("Data are provisional."),
            std::string("THE_END")});
    EXPECT_EQ(Log(), CrLfLines(expected));
    EXPECT_EQ(result.standardError, "RillfetchNOW: " + refused + "\n");
    EXPECT_EQ(Series("/UT024/1024 North Fork/STAGE//15MIN/MSA/").values,
              (std::vector<std::string>{"05Jan2009 01:00:00 1"}));
}

} // namespace
} // namespace rill
