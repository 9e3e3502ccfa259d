#include <gtest/gtest.h>

#include "hecdss/dss_time.hpp"

namespace hecdss {
namespace {

DssTime At(std::string_view date, std::int32_t hhmm) {
    return {*ParseDate(date), hhmm / 100 * 3600 + hhmm % 100 * 60};
}

TEST(DssTimeTest, JulianDaysCountFrom31December1899) {
    const std::vector<std::pair<CivilDate, std::int32_t>> cases = {
        {{1899, 12, 31}, 0},
        {{1900, 1, 1}, 1},
        {{2009, 1, 1}, 39813},
        {{2009, 1, 30}, 39842},
        {{2000, 12, 31}, 36890},
        {{1600, 3, 1}, -109512},
        {{2400, 2, 29}, 182681},
    };
    for (const auto& [date, julian] : cases) {
        EXPECT_EQ(JulianFromDate(date), julian) << date.year << "-" << date.month;
        EXPECT_EQ(DateFromJulian(julian), date) << julian;
    }
}

TEST(DssTimeTest, MidnightIs2400OfTheDayBefore) {
    EXPECT_EQ(TimeFromTotalSeconds(TotalSeconds({39817, 86400})), (DssTime{39817, 86400}));
    EXPECT_EQ(TimeFromTotalSeconds(39818LL * 86400), (DssTime{39817, 86400}));
    EXPECT_EQ(TimeFromTotalSeconds(39818LL * 86400 + 1), (DssTime{39818, 1}));
    EXPECT_EQ(NormalizeMidnight({39818, 0}), (DssTime{39817, 86400}));
    EXPECT_EQ(NormalizeMidnight({39818, 60}), (DssTime{39818, 60}));
}

TEST(DssTimeTest, EPartsMatchTheFirstStandardNameByPrefix) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1YEAR", "1Year"},    {"1MONTH", "1Month"},
        {"1MON", "1Month"},    {"1DAY", "1Day"},
        {"1HOUR", "1Hour"},    {"1hour", "1Hour"},
        {"1HOURLY", "1Hour"},  {"12HOUR", "12Hour"},
        {"2HOUR", "2Hour"},    {"30MIN", "30Minute"},
        {"15MIN", "15Minute"}, {"15MINUTES", "15Minute"},
        {"12MIN", "12Minute"}, {"10MIN", "10Minute"},
        {"6MIN", "6Minute"},   {"5MIN", "5Minute"},
        {"1MIN", "1Minute"},   {"1Minute", "1Minute"},
        {"1HR", ""},           {"60MIN", ""},
        {"90MIN", ""},         {"120MIN", ""},
        {"1440MIN", ""},       {"7MIN", ""},
        {"0MIN", ""},          {"-15MIN", ""},
        {"1WEEK", ""},         {"SEMI-MONTH", ""},
        {"30SEC", ""},         {"IR-DAY", ""},
        {"~1DAY", ""},         {"", ""},
    };
    for (const auto& [ePart, standard] : cases) {
        const Interval* interval = FindInterval(ePart);
        EXPECT_EQ(interval != nullptr ? std::string(interval->name) : "", standard) << ePart;
    }
}

struct SlotCase {
    std::string ePart;
    DssTime standard;
    std::string block;
    std::int32_t slot;
    std::int32_t slots;
};

TEST(DssTimeTest, StandardTimesFallIntoBlocksAndSlots) {
    const std::vector<SlotCase> cases = {
        {"1HOUR", At("30JAN2009", 2400), "01Jan2009", 719, 744},
        {"1HOUR", At("31JAN2009", 2400), "01Jan2009", 743, 744},
        {"1HOUR", At("01FEB2009", 100), "01Feb2009", 0, 672},
        {"1HOUR", At("29FEB2008", 2400), "01Feb2008", 695, 696},
        {"15MIN", At("31JAN2009", 2200), "01Jan2009", 2967, 2976},
        {"5MIN", At("06JAN2009", 2330), "06Jan2009", 281, 288},
        {"5MIN", At("06JAN2009", 2400), "06Jan2009", 287, 288},
        {"1DAY", At("25DEC2008", 2400), "01Jan2008", 359, 366},
        {"1DAY", At("31DEC2009", 2400), "01Jan2009", 364, 365},
        {"1MONTH", At("31OCT2009", 2400), "01Jan2000", 117, 120},
        {"1MONTH", At("31JAN2010", 2400), "01Jan2010", 0, 120},
        {"1YEAR", At("31DEC1998", 2400), "01Jan1900", 98, 100},
        {"1YEAR", At("31DEC2000", 2400), "01Jan2000", 0, 100},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.ePart + " " + FormatDateTime(c.standard));
        const Interval& interval = *FindInterval(c.ePart);
        const std::int32_t block = BlockStart(interval, c.standard.julian);
        EXPECT_EQ(FormatDPart(block), c.block);
        EXPECT_EQ(SlotOf(interval, block, c.standard), c.slot);
        EXPECT_EQ(SlotsInBlock(interval, block), c.slots);
        EXPECT_EQ(StandardTimeOfSlot(interval, block, c.slot), c.standard);
    }
}

TEST(DssTimeTest, NextBlocksStartOneDayMonthYearDecadeOrCenturyLater) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"5MIN", "31Dec2009", "01Jan2010"},
        {"1HOUR", "01Dec2009", "01Jan2010"},
        {"1HOUR", "01Feb2008", "01Mar2008"},
        {"1DAY", "01Jan2008", "01Jan2009"},
        {"1MONTH", "01Jan2000", "01Jan2010"},
        {"1YEAR", "01Jan1900", "01Jan2000"},
    };
    for (const auto& [ePart, block, next] : cases) {
        EXPECT_EQ(FormatDPart(NextBlockStart(*FindInterval(ePart), *ParseDate(block))), next)
            << ePart << " " << block;
    }
}

TEST(DssTimeTest, AddingIntervalsKeepsMonthAndYearEnds) {
    EXPECT_EQ(AddIntervals(*FindInterval("1MONTH"), At("31JAN2009", 2400), 1),
              At("28FEB2009", 2400));
    EXPECT_EQ(AddIntervals(*FindInterval("1MONTH"), At("30NOV2009", 2400), 2),
              At("31JAN2010", 2400));
    EXPECT_EQ(AddIntervals(*FindInterval("1YEAR"), At("31DEC1999", 2400), 1),
              At("31DEC2000", 2400));
    EXPECT_EQ(AddIntervals(*FindInterval("1HOUR"), At("31JAN2009", 2300), 2), At("01FEB2009", 100));
}

struct OffsetCase {
    std::string ePart;
    DssTime time;
    DssTime standard;
    std::int32_t offset;
};

TEST(DssTimeTest, ValuesOffTheBoundaryKeepAnOffsetAndReadBackAtTheirTime) {
    const std::vector<OffsetCase> cases = {
        {"1HOUR", At("06JAN2009", 630), At("06JAN2009", 700), 1800},
        {"1HOUR", At("06JAN2009", 2400), At("06JAN2009", 2400), 0},
        {"1HOUR", At("06JAN2009", 2330), At("06JAN2009", 2400), 1800},
        {"1DAY", At("06JAN2009", 630), At("06JAN2009", 2400), 23400},
        {"15MIN", At("06JAN2009", 707), At("06JAN2009", 715), 420},
        {"1MONTH", At("01FEB2009", 2400), At("28FEB2009", 2400), 86400},
        {"1MONTH", At("15FEB2009", 1200), At("28FEB2009", 2400), 1252800},
        {"1MONTH", At("30NOV2009", 2400), At("30NOV2009", 2400), 0},
        {"1MONTH", At("30JAN2009", 2400), At("31JAN2009", 2400), 0},
        {"1MONTH", At("28FEB2009", 1200), At("28FEB2009", 2400), 0},
        {"1YEAR", At("01JAN2009", 2400), At("31DEC2009", 2400), 86400},
        {"1YEAR", At("01MAR2008", 2400), At("31DEC2008", 2400), 59 * 86400 + 86400},
        {"1YEAR", At("31DEC2009", 1200), At("31DEC2009", 2400), 0},
    };
    for (const OffsetCase& c : cases) {
        SCOPED_TRACE(c.ePart + " " + FormatDateTime(c.time));
        const Interval& interval = *FindInterval(c.ePart);
        const StandardizedTime standardized = Standardize(interval, c.time);
        EXPECT_EQ(standardized.standard, c.standard);
        EXPECT_EQ(standardized.offsetSeconds, c.offset);
        if (c.offset != 0) {
            EXPECT_EQ(ValueTime(interval, c.standard, c.offset), c.time);
        }
    }
}

TEST(DssTimeTest, CallersDatesAndTimesAreParsedStrictly) {
    const std::vector<std::pair<std::string, std::string>> dates = {
        {"05 Jan 2009", "05Jan2009"},
        {"05JAN2009", "05Jan2009"},
        {"5 jan 2009", "05Jan2009"},
        {" 29 Feb 2008 ", "29Feb2008"},
        {"31dec1999", "31Dec1999"},
        {"29 Feb 2009", ""},
        {"32 Jan 2009", ""},
        {"00 Jan 2009", ""},
        {"05 Jax 2009", ""},
        {"05 Jan 09", ""},
        {"2009-01-05", ""},
        {"", ""},
        {"05 Jan 2009x", ""},
    };
    for (const auto& [text, expected] : dates) {
        const auto julian = ParseDate(text);
        EXPECT_EQ(julian ? FormatDPart(*julian) : "", expected) << text;
    }
    const std::vector<std::pair<std::string, int>> times = {
        {"0000", 0},
        {"0100", 3600},
        {"2400", 86400},
        {"2359", 86340},
        {"0630", 23400},
        {"2401", -1},
        {"2500", -1},
        {"0060", -1},
        {"100", -1},
        {"12:00", -1},
        {"", -1},
    };
    for (const auto& [text, seconds] : times) {
        EXPECT_EQ(ParseTimeOfDay(text).value_or(-1), seconds) << text;
    }
}

} // namespace
} // namespace hecdss
