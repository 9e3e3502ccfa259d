#include <gtest/gtest.h>

#include "common/date_time.hpp"

namespace rill {
namespace {

TEST(DateTimeTest, KnownSerialNumbers) {
    struct Case {
        CivilDateTime civil;
        double serial;
    };
    const std::vector<Case> cases = {
        {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 9, 0, 0, 0, 0}, 10.0},
        {{1900, 1, 9, 12, 0, 0, 0}, 10.5},
        {{2009, 1, 5, 0, 0, 0, 0}, 39818.0},
        {{2009, 1, 6, 14, 15, 0, 0}, 39819.0 + (14.0 * 60 + 15) / 1440.0},
        {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
        {{2000, 2, 29, 0, 0, 0, 0}, 36585.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ToDateTime(c.civil), c.serial);
        const CivilDateTime back = ToCivil(c.serial);
        EXPECT_EQ(back.year, c.civil.year);
        EXPECT_EQ(back.month, c.civil.month);
        EXPECT_EQ(back.day, c.civil.day);
        EXPECT_EQ(back.hour, c.civil.hour);
        EXPECT_EQ(back.minute, c.civil.minute);
    }
}

TEST(DateTimeTest, RoundingUpToMidnightMovesToTheNextDay) {
    for (const auto& [value, day] : std::vector<std::pair<double, int>>{
             {39818.9999999999, 6}, {-1.9999999999, 30}, {-0.9999999999, 31}}) {
        const CivilDateTime civil = ToCivil(value);
        EXPECT_EQ(civil.day, day) << value;
        EXPECT_EQ(civil.hour, 0) << value;
    }
}

TEST(DateTimeTest, DayOfWeek) {
    EXPECT_EQ(DayName(DayOfWeek(0.0)), "Saturday");
    EXPECT_EQ(DayName(DayOfWeek(39819.6)), "Tuesday"); // 6 Jan 2009
    EXPECT_EQ(DayAbbrev(DayOfWeek(39818.99)), "Mon");
    EXPECT_EQ(DayName(DayOfWeek(-1.25)), "Friday");
}

TEST(DateTimeTest, RoundsToMillisecondNotBelow) {
    // A minute stored as a sum of fractions must not fall into the previous minute.
    const double almostTen = 39818.0 + 10.0 / 24.0 - 1e-10;
    const CivilDateTime civil = ToCivil(almostTen);
    EXPECT_EQ(civil.hour, 10);
    EXPECT_EQ(civil.minute, 0);
}

TEST(DateTimeTest, ParseIsoDateTime) {
    struct Case {
        std::string text;
        std::optional<double> expected;
    };
    const std::vector<Case> cases = {
        {"2009-01-05 00:00:00", 39818.0},
        {"2009-01-05", 39818.0},
        {"2009-01-05 12:00", 39818.5},
        {"2009-01-05T18:00:00", 39818.75},
        {"2009-01-05 00:00:00.500", 39818.0 + 0.5 / 86400.0},
        {"2009-02-30 00:00:00", std::nullopt},
        {"2009-01-05 24:00:00", std::nullopt},
        {"01/05/2009", std::nullopt},
        {"2009-01-05 00:00:00Z", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseIsoDateTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.text;
        if (parsed) {
            EXPECT_DOUBLE_EQ(*parsed, *c.expected) << c.text;
        }
    }
    EXPECT_EQ(FormatIsoDateTime(39818.75), "2009-01-05 18:00:00");
}

} // namespace
} // namespace rill
