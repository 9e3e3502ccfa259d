#include "windowexport/value_format.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace rill {

namespace {

// How a value exactly halfway between two results is rounded: the fixed patterns round away
// from zero, the nearest multiple of 10 rounds up (so -1005 gives -1000).
enum class Halves { AwayFromZero, Upward };

// The shortest decimal form that reads back as the same double: digits d0 d1 ... with the
// value d0.d1d2... times 10^exponent.
struct ShortestDecimal {
    char digits[24];
    int count = 0;
    int exponent = 0;
    bool negative = false;
};

ShortestDecimal ToShortestDecimal(double value) {
    char text[40];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    ShortestDecimal decimal;
    const char* p = text;
    if (*p == '-') {
        decimal.negative = true;
        ++p;
    }
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            decimal.digits[decimal.count++] = *p;
        }
    }
    // p is at "e+XX" or "e-XXX".
    ++p;
    const bool negativeExponent = *p == '-';
    int exponent = 0;
    for (++p; p < result.ptr; ++p) {
        exponent = exponent * 10 + (*p - '0');
    }
    decimal.exponent = negativeExponent ? -exponent : exponent;
    return decimal;
}

// Writes `value` rounded to `decimals` places as plain digits; a negative `decimals` rounds to
// that many places before the point (-1: to tens). A result of zero has no minus sign.
std::size_t WriteRounded(char* out, double value, int decimals, Halves halves) {
    const ShortestDecimal decimal = ToShortestDecimal(value);
    const int keep = decimal.exponent + decimals + 1;
    const int kept = keep > 0 ? keep : 0;

    // kept[0] takes a carry out of the first digit (9.96 to one decimal gives 10.0).
    char digits[kFormattedValueCapacity];
    digits[0] = '0';
    for (int i = 0; i < kept; ++i) {
        digits[i + 1] = i < decimal.count ? decimal.digits[i] : '0';
    }

    bool up = false;
    if (keep >= 0 && keep < decimal.count) {
        const char first = decimal.digits[keep];
        bool restNonZero = false;
        for (int i = keep + 1; i < decimal.count; ++i) {
            restNonZero = restNonZero || decimal.digits[i] != '0';
        }
        if (first > '5' || (first == '5' && restNonZero)) {
            up = true;
        } else if (first == '5') {
            up = halves == Halves::AwayFromZero || !decimal.negative;
        }
    }
    if (up) {
        int i = kept;
        while (i >= 1 && digits[i] == '9') {
            digits[i--] = '0';
        }
        digits[i] = static_cast<char>(digits[i] + 1);
    }

    const char* first = digits[0] == '0' ? digits + 1 : digits;
    const auto length = static_cast<int>(digits + kept + 1 - first);
    bool zero = true;
    for (int i = 0; i < length; ++i) {
        zero = zero && first[i] == '0';
    }

    char* o = out;
    if (decimal.negative && !zero) {
        *o++ = '-';
    }
    if (decimals < 0) {
        if (zero) {
            *o++ = '0';
        } else {
            std::memcpy(o, first, static_cast<std::size_t>(length));
            o += length;
            for (int i = 0; i < -decimals; ++i) {
                *o++ = '0';
            }
        }
        return static_cast<std::size_t>(o - out);
    }
    const int wholeDigits = length - decimals;
    if (wholeDigits <= 0) {
        *o++ = '0';
    } else {
        std::memcpy(o, first, static_cast<std::size_t>(wholeDigits));
        o += wholeDigits;
    }
    if (decimals > 0) {
        *o++ = '.';
        for (int i = length - decimals; i < length; ++i) {
            *o++ = i >= 0 ? first[i] : '0';
        }
    }
    return static_cast<std::size_t>(o - out);
}

// Most values are far from a half: then rounding the double itself gives the same result as
// rounding its shortest decimal form, without writing that form out first. Returns 0 when the
// value is too large or too close to a half to decide this way.
std::size_t WriteRoundedQuickly(char* out, double value, int decimals) {
    static constexpr double kScale[] = {0.1, 1.0, 10.0, 100.0};
    static constexpr std::uint64_t kUnits[] = {1, 1, 10, 100};
    const double magnitude = std::fabs(value);
    const double scaled = decimals < 0 ? magnitude / 10.0 : magnitude * kScale[decimals + 1];
    if (!(scaled < 0x1p52)) {
        return 0;
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // Far above the error of the scaling and of the shortest form (both below 2^-52 relative).
    const double margin = 0x1p-40 * (scaled + 1.0);
    if (std::fabs(fraction - 0.5) <= margin) {
        return 0;
    }
    const auto rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1U : 0U);

    char* o = out;
    if (value < 0 && rounded != 0) {
        *o++ = '-';
    }
    if (decimals < 0) {
        o = std::to_chars(o, o + 24, rounded).ptr;
        if (rounded != 0) {
            *o++ = '0';
        }
        return static_cast<std::size_t>(o - out);
    }
    const std::uint64_t unit = kUnits[decimals + 1];
    o = std::to_chars(o, o + 24, rounded / unit).ptr;
    if (decimals > 0) {
        *o++ = '.';
        std::uint64_t part = rounded % unit;
        for (int i = decimals - 1; i >= 0; --i) {
            o[i] = static_cast<char>('0' + part % 10);
            part /= 10;
        }
        o += decimals;
    }
    return static_cast<std::size_t>(o - out);
}

std::size_t WriteRoundedAnyValue(char* out, double value, int decimals, Halves halves) {
    if (const std::size_t length = WriteRoundedQuickly(out, value, decimals)) {
        return length;
    }
    return WriteRounded(out, value, decimals, halves);
}

std::size_t WriteText(char* out, const char* text) {
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return length;
}

// Decimals of the data types with a fixed presentation; -1 for the others.
int FixedDecimals(std::int16_t datatypeId) {
    switch (datatypeId) {
    case 2:
    case 3:
    case 15:
    case 23:
    case 27:
    case 9:
    case 10:
    case 11:
    case 25:
    case 31:
        return 2;
    case 5:
    case 7:
    case 21:
    case 26:
        return 1;
    case 16:
    case 17:
        return 0;
    default:
        return -1;
    }
}

constexpr std::int16_t kQuarterDatatype = 19;

} // namespace

std::size_t FormatValueTo(char* out, double value, std::int16_t datatypeId) {
    if (value == 0.0) {
        out[0] = '0';
        return 1;
    }
    if (std::isnan(value)) {
        return WriteText(out, "NaN");
    }
    if (std::isinf(value)) {
        return WriteText(out, value < 0 ? "-Infinity" : "Infinity");
    }
    if (datatypeId == kQuarterDatatype) {
        // The quarter is exact in binary, so the two decimals need no further rounding.
        const double times4 = value * 4.0;
        const double quarter = std::isfinite(times4) ? std::round(times4) / 4.0 : value;
        return WriteRoundedAnyValue(out, quarter, 2, Halves::AwayFromZero);
    }
    if (const int decimals = FixedDecimals(datatypeId); decimals >= 0) {
        return WriteRoundedAnyValue(out, value, decimals, Halves::AwayFromZero);
    }
    const double magnitude = std::fabs(value);
    if (magnitude >= 999.5) {
        return WriteRoundedAnyValue(out, value, -1, Halves::Upward);
    }
    if (magnitude >= 9.95) {
        return WriteRoundedAnyValue(out, value, 0, Halves::AwayFromZero);
    }
    if (magnitude >= 0.95) {
        return WriteRoundedAnyValue(out, value, 1, Halves::AwayFromZero);
    }
    return WriteRoundedAnyValue(out, value, 2, Halves::AwayFromZero);
}

std::string FormatValue(double value, std::int16_t datatypeId) {
    char text[kFormattedValueCapacity];
    return std::string(text, FormatValueTo(text, value, datatypeId));
}

} // namespace rill
