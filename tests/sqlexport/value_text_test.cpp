#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "common/date_time.hpp"
#include "sqlexport/value_text.hpp"

namespace rill::sqlexport {
namespace {

TEST(FormatNumberTest, ShortestTextUpToFifteenDigits) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0.0, "0"},
        {-0.0, "0"},
        {12.5, "12.5"},
        {-5.5, "-5.5"},
        {0.5, "0.5"},
        {100.0, "100"},
        {123456.0, "123456"},
        {0.1 + 0.2, "0.3"}, // shortest needs 17 digits; 15 rounded ones suffice
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789.123456789, "123456789.123457"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {-1e15, "-1E+15"},
        {1234567890123456.0, "1.23456789012346E+15"},
        {9999999999999999.0, "1E+16"},
        {1e100, "1E+100"},
        {1.5e300, "1.5E+300"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {0.000001, "1E-06"},
        {-0.0000015, "-1.5E-06"},
        {5e-324, "5E-324"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
        {-std::numeric_limits<double>::infinity(), "-Infinity"},
        {std::nan(""), "NaN"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(FormatNumber(value), expected) << "value " << value;
    }
}

TEST(FormatDateTimeTest, UsFormWithoutLeadingZeros) {
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return ToDateTime(CivilDateTime{y, mo, d, h, mi, s, 0});
    };
    const std::vector<std::pair<DateTime, std::string>> cases = {
        {at(2014, 11, 13, 4, 0, 0), "11/13/2014 4:00:00 AM"},
        {at(2014, 11, 13, 17, 5, 9), "11/13/2014 5:05:09 PM"},
        {at(2014, 1, 2, 12, 0, 0), "1/2/2014 12:00:00 PM"},
        {at(2014, 1, 2, 0, 30, 0), "1/2/2014 12:30:00 AM"},
        {at(2014, 1, 2, 23, 59, 59), "1/2/2014 11:59:59 PM"},
        {at(2014, 11, 13, 0, 0, 0), "11/13/2014"},
        {at(2000, 2, 29, 0, 0, 0), "2/29/2000"},
        // The zero date shows the time alone, midnight included.
        {0.25, "6:00:00 AM"},
        {0.0, "12:00:00 AM"},
        {1.0, "12/31/1899"},
        // Before 1899 the fraction still runs forward from midnight.
        {-1.25, "12/29/1899 6:00:00 AM"},
        {-0.5, "12:00:00 PM"},
        // Rounded to the nearest second, carried into the next day.
        {at(2014, 11, 13, 4, 0, 0) + 0.6 / 86400.0, "11/13/2014 4:00:01 AM"},
        {at(2014, 11, 13, 4, 0, 0) + 0.4 / 86400.0, "11/13/2014 4:00:00 AM"},
        {at(2014, 11, 13, 0, 0, 0) - 0.2 / 86400.0, "11/13/2014"},
        {at(2014, 12, 31, 23, 59, 59) + 0.7 / 86400.0, "1/1/2015"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(FormatDateTime(value), expected) << "value " << value;
    }
}

Value Text(std::string_view t) {
    Value v;
    v.SetText(t);
    return v;
}
Value Integer(std::int64_t i) {
    Value v;
    v.SetInteger(i);
    return v;
}
Value Number(double d) {
    Value v;
    v.SetNumber(d);
    return v;
}
Value Stamp(DateTime d) {
    Value v;
    v.SetDateTime(d);
    return v;
}
Value Bool(bool b) {
    Value v;
    v.SetBool(b);
    return v;
}
Value Bytes(std::vector<unsigned char> bytes) {
    Value v;
    v.SetBytes(bytes.data(), bytes.size());
    return v;
}

TEST(CellTextTest, EveryKindInCellAndHeaderForm) {
    struct Case {
        Value value;
        std::string cell;
        std::string plain;
    };
    const std::vector<Case> cases = {
        {Text("Site A"), "Site A", "Site A"},
        {Text(" padded "), " padded ", " padded "},
        {Text(""), "", ""},
        {Value(), "Null", ""},
        {Integer(1024), " 1024 ", "1024"},
        {Integer(0), " 0 ", "0"},
        {Integer(-7), "-7 ", "-7"},
        {Integer(9007199254740993), " 9007199254740993 ", "9007199254740993"},
        {Integer(std::numeric_limits<std::int64_t>::min()),
         "-9223372036854775808 ",
         "-9223372036854775808"},
        {Number(12.75), " 12.75 ", "12.75"},
        {Number(-5.5), "-5.5 ", "-5.5"},
        {Number(-0.0), " 0 ", "0"},
        {Number(2e-7), " 2E-07 ", "2E-07"},
        {Stamp(41956.166666666664), "11/13/2014 4:00:00 AM", "11/13/2014 4:00:00 AM"},
        {Bool(true), "True", "True"},
        {Bool(false), "False", "False"},
        {Bytes({0x00, 0x1f, 0xAB, 0xff}), "001FABFF", "001FABFF"},
        {Bytes({}), "", ""},
    };
    std::string scratch;
    for (const auto& c : cases) {
        EXPECT_EQ(CellText(c.value, scratch), c.cell) << "cell " << c.cell;
        EXPECT_EQ(PlainText(c.value, scratch), c.plain) << "plain " << c.plain;
    }
}

} // namespace
} // namespace rill::sqlexport
