#include <cmath>
#include <cstring>
#include <limits>
#include <random>

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
        {999999999999999.9, "1E+15"}, // 15 rounded digits carry it over the line
        {9.999999999999999e-6, "0.00001"},
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

// The fewest significant digits (at most 15) that printf needs to read back as the value.
std::string ReferenceNumberText(double value) {
    char text[64];
    for (int precision = 1; precision <= 15; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) {
            return text;
        }
    }
    return text;
}

int SignificantDigits(const std::string& text) {
    const std::string mantissa = text.substr(0, text.find_first_of("eE"));
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) {
        return 1;
    }
    const auto last = mantissa.find_last_of("123456789");
    int count = 0;
    for (auto i = first; i <= last; ++i) {
        count += std::isdigit(static_cast<unsigned char>(mantissa[i])) ? 1 : 0;
    }
    return count;
}

TEST(FormatNumberTest, AgreesWithPrintfOnValueAndDigitCount) {
    std::mt19937_64 random(20141113);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        // Stored decimals with a few places, as gauges record them, and arbitrary doubles.
        const auto hundredths = static_cast<double>(random() % 100'000'000) - 50'000'000.0;
        values.push_back(hundredths / 100.0);
        values.push_back(hundredths / 1000.0 *
                         std::pow(10.0, static_cast<int>(random() % 30) - 15));
        double bits = 0;
        const std::uint64_t raw = random();
        std::memcpy(&bits, &raw, sizeof bits);
        if (std::isfinite(bits)) {
            values.push_back(bits);
        }
    }
    for (const double value : values) {
        const std::string text = FormatNumber(value);
        const std::string reference = ReferenceNumberText(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(reference.c_str(), nullptr))
            << text << " vs " << reference;
        EXPECT_EQ(SignificantDigits(text), SignificantDigits(reference))
            << text << " vs " << reference;
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

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
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
        // Longer than the line's first allocation.
        {Bytes(std::vector<unsigned char>(300, 0x5A)), Repeat("5A", 300), Repeat("5A", 300)},
    };
    // One line holds every cell, so a cell that writes past its own text shows.
    LineText cells;
    LineText plains;
    std::string expectedCells;
    std::string expectedPlains;
    for (const auto& c : cases) {
        LineText one;
        one.AppendCell(c.value);
        EXPECT_EQ(one.Text(), c.cell);
        one.Clear();
        one.AppendPlain(c.value);
        EXPECT_EQ(one.Text(), c.plain);
        cells.AppendCell(c.value);
        cells.Append("|");
        plains.AppendPlain(c.value);
        plains.Append("|");
        expectedCells += c.cell + "|";
        expectedPlains += c.plain + "|";
    }
    EXPECT_EQ(cells.Text(), expectedCells);
    EXPECT_EQ(plains.Text(), expectedPlains);
}

} // namespace
} // namespace rill::sqlexport
