#include <limits>

#include <gtest/gtest.h>

#include "program_runner.hpp"
#include "windowexport/dss_output.hpp"
#include "windowexport/dss_store_message.hpp"
#include "windowexport/run_context.hpp"

namespace rill {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return ToDateTime(CivilDateTime{y, mo, d, h, mi, s, 0});
}

constexpr float kMissing = -std::numeric_limits<float>::max();

TEST(DssStoreMessageTest, TextsOfTheStoreStatuses) {
    const std::vector<std::pair<int, std::string>> cases = {
        {4, "All of the input data provided were missing data flags (-901)."},
        {11, "The number of values to store is less than one."},
        {12, "A non-standard time interval was provided in the ' E' part of the pathname."},
        {15, "The starting date or time is invalid."},
        {24, "The pathname given does not meet the regular-interval time series conventions."},
        {51,
         "Unrecognized data compression scheme (when ZSCOMP is called prior to ZSRTS). Valid "
         "schemes are 0 to 5."},
        {53,
         "Invalid precision exponent specified for the \r\ndelta data compression method (when "
         "ZSCOMP is called prior to \r\nZSRTS). The precision exponent range is -6 to 6."},
        {0, ""},
        {1, ""},
        {5, ""},
        {52, ""},
        {54, ""},
        {-1, ""},
    };
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(DssStoreMessage(status), text) << status;
    }
}

TEST(DssIntervalTest, TableNamesGiveTheEPart) {
    struct Case {
        std::string table;
        std::int64_t step;
        std::string ePart;
        bool subDaily;
    };
    const std::vector<Case> cases = {
        {"ryear", 0, "1YEAR", false},
        {"RMONTH", 0, "1MONTH", false},
        {"rDay", 0, "1DAY", false},
        {"rHour", 0, "1HOUR", true},
        {"RHOUR", 5, "1HOUR", true},
        {"runit", 15, "15MIN", true},
        {"RUNIT", 0, "0MIN", true},
        {"runit", -5, "-5MIN", true},
        {"rweek", 0, "", false},
        {"rhours", 0, "", false},
    };
    for (const auto& c : cases) {
        const DssInterval interval = IntervalOfTable(c.table, c.step);
        EXPECT_EQ(interval.ePart, c.ePart) << c.table;
        EXPECT_EQ(interval.subDaily, c.subDaily) << c.table;
    }
}

TEST(DssIntervalTest, StepIsCountedInWholeMinutes) {
    EXPECT_EQ(StepMinutes(At(2009, 1, 5, 0, 0), At(2009, 1, 5, 0, 15)), 15);
    EXPECT_EQ(StepMinutes(At(2009, 1, 5, 0, 0, 59), At(2009, 1, 5, 0, 1, 0)), 1);
    EXPECT_EQ(StepMinutes(At(2009, 1, 1), At(2009, 2, 1)), 31 * 1440);
    // Far wider than 16 bits: a yearly series.
    EXPECT_EQ(StepMinutes(At(2000, 1, 1), At(2001, 1, 1)), 366 * 1440);
}

TEST(DssStartTest, MidnightIsStoredAs2400) {
    struct Case {
        DateTime first;
        bool subDaily;
        std::string date;
        std::string time;
    };
    const std::vector<Case> cases = {
        {At(2009, 1, 5), true, "04 Jan 2009", "2400"},
        {At(2009, 1, 1), true, "31 Dec 2008", "2400"},
        {At(2009, 1, 5), false, "05 Jan 2009", "2400"},
        {At(2009, 1, 5, 6, 30), true, "05 Jan 2009", "0630"},
        {At(2009, 1, 5, 6, 30), false, "05 Jan 2009", "0630"},
        {At(2009, 1, 5, 23, 59, 59), true, "05 Jan 2009", "2359"},
        {At(2009, 1, 5, 0, 0, 30), true, "04 Jan 2009", "2400"},
    };
    for (const auto& c : cases) {
        const DssStart start = StartDateAndTime(c.first, c.subDaily);
        EXPECT_EQ(start.date, c.date);
        EXPECT_EQ(start.time, c.time);
    }
}

TEST(DssSlotsTest, ValuesGoToTheSlotsOfTheirOwnTimes) {
    struct Case {
        std::string name;
        std::string table;
        std::int64_t step;
        DssRows rows;
        std::vector<float> expected;
    };
    const std::vector<Case> cases = {
        {"regular hourly",
         "rhour",
         0,
         {{At(2009, 1, 5, 1), At(2009, 1, 5, 2), At(2009, 1, 5, 3)}, {1, 2, 3}},
         {1, 2, 3}},
        {"one missing hour",
         "rhour",
         0,
         {{At(2009, 1, 5, 1), At(2009, 1, 5, 2), At(2009, 1, 5, 4)}, {1, 2, 4}},
         {1, 2, kMissing, 4}},
        {"unit values with a gap",
         "runit",
         15,
         {{At(2009, 1, 5, 0, 0), At(2009, 1, 5, 0, 15), At(2009, 1, 5, 1, 0)}, {1, 2, 5}},
         {1, 2, kMissing, kMissing, 5}},
        {"daily with a missing day",
         "rday",
         0,
         {{At(2009, 1, 5), At(2009, 1, 7)}, {5, 7}},
         {5, kMissing, 7}},
        {"calendar months",
         "rmonth",
         0,
         {{At(2009, 1, 1), At(2009, 2, 1), At(2009, 5, 1)}, {1, 2, 5}},
         {1, 2, kMissing, kMissing, 5}},
        {"years",
         "ryear",
         0,
         {{At(2000, 1, 1), At(2003, 1, 1)}, {1, 4}},
         {1, kMissing, kMissing, 4}},
        {"one row", "runit", 0, {{At(2009, 1, 5)}, {7}}, {7}},
        {"table without an interval keeps row order",
         "rother",
         0,
         {{At(2009, 1, 5, 1), At(2009, 1, 5, 9)}, {1, 9}},
         {1, 9}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FillSlots(c.rows, IntervalOfTable(c.table, c.step)), c.expected);
    }
}

// A store status without a text of its own still names the series in the message line; here
// the store is refused because no DSS file was opened into the file table.
TEST(WriteDssSeriesTest, StatusWithoutTextLeavesTheDescriptorAndColon) {
    testing::TempDir dir;
    RunContext context;
    context.output.Open((dir / "log.txt").string(), OpenMode::CreateNew);
    const DssRows rows{{At(2009, 1, 5, 1), At(2009, 1, 5, 2)}, {1.0F, 2.0F}};
    WriteDssSeries(context, "Stage;ft;North Fork;4;UT;1024", "rhour", rows, 0);
    context.output.Close();
    EXPECT_EQ(context.dssMessage, "Stage;ft;North Fork;4;UT;1024: ");
    EXPECT_EQ(dir.ReadFile("log.txt"),
              "Stage;ft;North Fork;4;UT;1024 values: 2 \r\n"
              "Stage;ft;North Fork;4;UT;1024: \r\n");
}

} // namespace
} // namespace rill
