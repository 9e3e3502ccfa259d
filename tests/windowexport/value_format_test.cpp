#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windowexport/value_format.hpp"

namespace rill {
namespace {

struct Case {
    double value;
    std::int16_t datatypeId;
    std::string expected;
};

void ExpectAll(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(FormatValue(c.value, c.datatypeId), c.expected)
            << "value " << c.value << ", datatype_id " << c.datatypeId;
    }
}

// Data type 4 has no fixed presentation: the value's size picks the form.
constexpr std::int16_t kByMagnitude = 4;

TEST(FormatValueTest, ZeroIsAlwaysPlainZero) {
    ExpectAll({{0.0, 2, "0"},
               {-0.0, 2, "0"},
               {0.0, 5, "0"},
               {0.0, 9, "0"},
               {0.0, 16, "0"},
               {0.0, 19, "0"},
               {0.0, kByMagnitude, "0"}});
}

TEST(FormatValueTest, FixedDecimalsByDataType) {
    ExpectAll({
        {3.14159, 2, "3.14"},
        {3.14159, 3, "3.14"},
        {3.14159, 15, "3.14"},
        {3.14159, 23, "3.14"},
        {3.14159, 27, "3.14"},
        {3.14159, 5, "3.1"},
        {3.14159, 7, "3.1"},
        {3.14159, 21, "3.1"},
        {3.14159, 26, "3.1"},
        {3.14159, 9, "3.14"},
        {3.14159, 10, "3.14"},
        {3.14159, 11, "3.14"},
        {3.14159, 25, "3.14"},
        {3.14159, 31, "3.14"},
        {3.5, 16, "4"},
        {3.4, 17, "3"},
        {0.5, 9, "0.50"},
        {12345.6, 16, "12346"},
        {12345.678, 2, "12345.68"},
        {0.04, 5, "0.0"},
        {-1234.5, 17, "-1235"},
    });
}

TEST(FormatValueTest, NearestQuarterForDataType19) {
    ExpectAll({{1.13, 19, "1.25"},
               {0.1, 19, "0.00"},
               {2.0, 19, "2.00"},
               {0.125, 19, "0.25"},
               {0.375, 19, "0.50"},
               {2.87, 19, "2.75"},
               {-1.13, 19, "-1.25"},
               {-0.1, 19, "0.00"},
               {-0.125, 19, "-0.25"}});
}

TEST(FormatValueTest, ByMagnitude) {
    ExpectAll({
        // Nearest multiple of 10, halves upward.
        {1234.4, kByMagnitude, "1230"},
        {1005, kByMagnitude, "1010"},
        {-1005, kByMagnitude, "-1000"},
        {-1006, kByMagnitude, "-1010"},
        {999.5, kByMagnitude, "1000"},
        {-999.5, kByMagnitude, "-1000"},
        {1015, kByMagnitude, "1020"},
        {-1015, kByMagnitude, "-1010"},
        // Whole numbers.
        {9.95, kByMagnitude, "10"},
        {123.4, kByMagnitude, "123"},
        {999.4, kByMagnitude, "999"},
        {999.49, kByMagnitude, "999"},
        {-9.95, kByMagnitude, "-10"},
        {12.5, kByMagnitude, "13"},
        {-12.5, kByMagnitude, "-13"},
        // One decimal.
        {0.96, kByMagnitude, "1.0"},
        {3.42, kByMagnitude, "3.4"},
        {9.94, kByMagnitude, "9.9"},
        {9.949, kByMagnitude, "9.9"},
        {0.951, kByMagnitude, "1.0"},
        {-5.25, kByMagnitude, "-5.3"},
        {11.8, kByMagnitude, "12"},
        // Two decimals.
        {0.5, kByMagnitude, "0.50"},
        {0.004, kByMagnitude, "0.00"},
        {-0.3, kByMagnitude, "-0.30"},
        {0.949, kByMagnitude, "0.95"},
        // Data types outside the table use the magnitude rules too.
        {3.42, 1, "3.4"},
        {3.42, 32, "3.4"},
        {3.42, -1, "3.4"},
        {3.42, 0, "3.4"},
        {3.42, 18, "3.4"},
    });
}

TEST(FormatValueTest, HalvesRoundTheShortestDecimalAwayFromZero) {
    // 1.005 and 0.95 are stored a little below the half; a reader sees the half.
    ExpectAll({{2.5, 16, "3"},
               {-2.5, 16, "-3"},
               {0.125, 2, "0.13"},
               {-0.125, 2, "-0.13"},
               {1.005, 2, "1.01"},
               {0.95, kByMagnitude, "1.0"},
               {0.95, 5, "1.0"},
               {-0.95, 5, "-1.0"},
               {1.0049, 2, "1.00"},
               {0.005, 2, "0.01"},
               {0.0049, 2, "0.00"},
               {9.995, 2, "10.00"},
               {99.95, 5, "100.0"}});
}

// Values stored with three decimals, as most series are, against their decimal text rounded
// in whole thousandths: every half of every pattern is among them.
TEST(FormatValueTest, ThousandthsRoundLikeTheirDecimalText) {
    const auto text = [](long long units, int decimals) {
        // units of 10^-decimals; the sign is dropped when the result is zero
        const long long scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
        const long long magnitude = units < 0 ? -units : units;
        std::string digits = std::to_string(magnitude / scale);
        if (decimals > 0) {
            std::string part = std::to_string(magnitude % scale);
            digits +=
                "." + std::string(static_cast<std::size_t>(decimals) - part.size(), '0') + part;
        }
        return (units < 0 ? "-" : "") + digits;
    };
    // Rounds thousandths to units of 10^(3 - shift), halves away from zero.
    const auto roundAway = [](long long thousandths, long long divisor) {
        const long long magnitude = thousandths < 0 ? -thousandths : thousandths;
        const long long rounded = (magnitude + divisor / 2) / divisor;
        return thousandths < 0 ? -rounded : rounded;
    };
    const auto floorDiv = [](long long a, long long b) { return a / b - (a % b != 0 && a < 0); };
    const auto check = [&](long long n) {
        const double value = static_cast<double>(n) / 1000.0;
        ASSERT_EQ(FormatValue(value, 2), text(roundAway(n, 10), 2)) << n;
        ASSERT_EQ(FormatValue(value, 5), text(roundAway(n, 100), 1)) << n;
        ASSERT_EQ(FormatValue(value, 16), text(roundAway(n, 1000), 0)) << n;
        if (n >= 999500 || n <= -999500) {
            // Nearest multiple of 10 with halves upward: floor(value / 10 + 0.5) * 10.
            ASSERT_EQ(FormatValue(value, kByMagnitude),
                      std::to_string(floorDiv(n + 5000, 10000) * 10))
                << n;
        }
    };
    for (long long n = -30000; n <= 30000; ++n) {
        if (n != 0) {
            check(n);
        }
    }
    for (long long n = 990000; n <= 1100000; ++n) {
        check(n);
        check(-n);
    }
}

TEST(FormatValueTest, NegativeValuesRoundingToZeroHaveNoSign) {
    ExpectAll({{-0.004, kByMagnitude, "0.00"},
               {-0.004, 2, "0.00"},
               {-0.04, 5, "0.0"},
               {-0.4, 16, "0"},
               {-1e-300, 2, "0.00"},
               {-5e-324, kByMagnitude, "0.00"}});
}

TEST(FormatValueTest, HugeValuesArePlainDigits) {
    ExpectAll({
        {1e15, kByMagnitude, "1000000000000000"},
        {1e22, kByMagnitude, "10000000000000000000000"},
        {-1e22, kByMagnitude, "-10000000000000000000000"},
        {1.2345678901234566e25, kByMagnitude, "12345678901234566000000000"},
        {123456789012345678.0, kByMagnitude, "123456789012345680"},
        {1e22, 2, "10000000000000000000000.00"},
        {1e22, 16, "10000000000000000000000"},
        {1e22, 19, "10000000000000000000000.00"},
    });
    const std::string largest = FormatValue(std::numeric_limits<double>::max(), kByMagnitude);
    EXPECT_EQ(largest, "17976931348623157" + std::string(292, '0'));
    const std::string lowest = FormatValue(std::numeric_limits<double>::lowest(), 2);
    EXPECT_EQ(lowest, "-17976931348623157" + std::string(292, '0') + ".00");
    EXPECT_LE(lowest.size(), kFormattedValueCapacity);
}

TEST(FormatValueTest, NotANumberAndInfinity) {
    ExpectAll({{std::numeric_limits<double>::quiet_NaN(), 2, "NaN"},
               {std::numeric_limits<double>::infinity(), kByMagnitude, "Infinity"},
               {-std::numeric_limits<double>::infinity(), 19, "-Infinity"}});
}

} // namespace
} // namespace rill
