#include "sqlexport/value_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace rill::sqlexport {

namespace {
constexpr int kMaxSignificantDigits = 15;
constexpr double kFixedFormLimit = 1e15; // from here on, exponent form
constexpr double kFixedFormFloor = 1e-5; // below this, exponent form
constexpr long long kSecondsPerDay = 86'400;

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9, 1e10,
                                   1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};

char* AppendText(char* out, std::string_view text) {
    for (const char c : text) {
        *out++ = c;
    }
    return out;
}

char* AppendInteger(char* out, long long value) {
    return std::to_chars(out, out + 24, value).ptr;
}

char* AppendTwoDigits(char* out, long long value) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out + 2;
}

// The integer `digits` as a decimal with `decimals` places, "0." and zeros ahead when needed.
char* AppendScaledInteger(char* out, std::uint64_t digits, int decimals) {
    char text[24];
    char* const end = text + sizeof text;
    char* first = end;
    do {
        *--first = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    const auto length = static_cast<int>(end - first);
    if (decimals == 0) {
        return std::copy(first, end, out);
    }
    if (length <= decimals) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, decimals - length, '0');
        return std::copy(first, end, out);
    }
    out = std::copy(first, end - decimals, out);
    *out++ = '.';
    return std::copy(end - decimals, end, out);
}

// Fast path for the common stored values (12.75, 79.19): the fewest decimals whose integer
// reads back as the value. Below 1e15 an integer that reads back lies within 1/8 of the exact
// scaled value, so the rounded product is the only candidate: the result is the shortest text.
char* AppendShortDecimal(char* out, double value) {
    for (int decimals = 0; decimals < static_cast<int>(std::size(kPowersOfTen)); ++decimals) {
        const double scaled = value * kPowersOfTen[decimals];
        if (scaled >= kFixedFormLimit) {
            return nullptr;
        }
        // Rounding half up is enough: a candidate half-way off cannot read back anyway.
        const auto candidate = static_cast<std::uint64_t>(scaled + 0.5);
        if (static_cast<double>(candidate) / kPowersOfTen[decimals] == value) {
            return AppendScaledInteger(out, candidate, decimals);
        }
    }
    return nullptr;
}

// General path: the significant digits and decimal exponent from the shortest round-trip
// scientific text, or from 15 rounded digits when that needs more.
char* AppendGeneralNumber(char* out, double value) {
    char sci[40];
    auto end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific).ptr;
    char* mark = std::find(sci, end, 'e');
    if (std::count_if(sci, mark, [](char c) { return c != '.'; }) > kMaxSignificantDigits) {
        end = std::to_chars(sci,
                            sci + sizeof sci,
                            value,
                            std::chars_format::scientific,
                            kMaxSignificantDigits - 1)
                  .ptr;
        mark = std::find(sci, end, 'e');
    }
    char digits[kMaxSignificantDigits];
    int digitCount = 0;
    for (const char* p = sci; p < mark; ++p) {
        if (*p != '.') {
            digits[digitCount++] = *p;
        }
    }
    while (digitCount > 1 && digits[digitCount - 1] == '0') {
        --digitCount;
    }
    int exponent = 0;
    std::from_chars(mark + (mark[1] == '+' ? 2 : 1), end, exponent);

    // Rounding to 15 digits can carry a value just below 1e15 or 1e-5 over the line; the
    // rounded digits decide the form.
    if (exponent >= -5 && exponent < 15) {
        std::uint64_t integer = 0;
        for (int i = 0; i < digitCount; ++i) {
            integer = integer * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        }
        const int decimals = std::max(digitCount - 1 - exponent, 0);
        for (int i = digitCount - 1 - exponent; i < 0; ++i) {
            integer *= 10;
        }
        return AppendScaledInteger(out, integer, decimals);
    }
    *out++ = digits[0];
    if (digitCount > 1) {
        *out++ = '.';
        out =
            AppendText(out, std::string_view(digits + 1, static_cast<std::size_t>(digitCount - 1)));
    }
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        *out++ = '0';
    }
    return AppendInteger(out, magnitude);
}

char* AppendNumber(char* out, double value) {
    if (std::isnan(value)) {
        return AppendText(out, "NaN");
    }
    if (std::isinf(value)) {
        return AppendText(out, value < 0 ? "-Infinity" : "Infinity");
    }
    if (value == 0.0) {
        *out++ = '0'; // negative zero too
        return out;
    }
    if (value < 0) {
        *out++ = '-';
        value = -value;
    }
    if (value >= kFixedFormFloor && value < kFixedFormLimit) {
        if (char* end = AppendShortDecimal(out, value)) {
            return end;
        }
    }
    return AppendGeneralNumber(out, value);
}

char* AppendCivilDate(char* out, long long dayIndex) {
    const CivilDateTime civil = ToCivil(static_cast<DateTime>(dayIndex));
    out = AppendInteger(out, civil.month);
    *out++ = '/';
    out = AppendInteger(out, civil.day);
    *out++ = '/';
    return AppendInteger(out, civil.year);
}

char* AppendTime(char* out, long long secondOfDay) {
    const long long hour = secondOfDay / 3600;
    const long long hour12 = hour % 12 == 0 ? 12 : hour % 12;
    if (hour12 >= 10) {
        *out++ = '1';
    }
    *out++ = static_cast<char>('0' + hour12 % 10);
    *out++ = ':';
    out = AppendTwoDigits(out, secondOfDay / 60 % 60);
    *out++ = ':';
    out = AppendTwoDigits(out, secondOfDay % 60);
    return AppendText(out, hour < 12 ? " AM" : " PM");
}

// The day index and second of the day, rounded to the nearest second. The whole part names the
// day; the fraction runs forward from its midnight, before 1899 too (-1.25 is 29 December 1899
// 6:00 AM).
void SplitDateTime(DateTime value, long long& dayIndex, long long& secondOfDay) {
    dayIndex = static_cast<long long>(value); // toward zero
    const double fraction = std::fabs(value - static_cast<double>(dayIndex));
    secondOfDay = static_cast<long long>(fraction * static_cast<double>(kSecondsPerDay) + 0.5);
    if (secondOfDay >= kSecondsPerDay) {
        secondOfDay -= kSecondsPerDay;
        ++dayIndex;
    }
}

char* AppendHex(char* out, const std::vector<unsigned char>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char b : bytes) {
        *out++ = kHex[b >> 4];
        *out++ = kHex[b & 0x0F];
    }
    return out;
}
} // namespace

std::string FormatNumber(double value) {
    char text[64];
    return std::string(text, AppendNumber(text, value));
}

std::string FormatDateTime(DateTime value) {
    Value holder;
    holder.SetDateTime(value);
    LineText line;
    line.AppendCell(holder);
    return std::string(line.Text());
}

void LineText::Grow(std::size_t size) {
    chars_.resize(std::max(chars_.size() * 2, size_ + size));
}

void LineText::Append(std::string_view text) {
    char* out = Reserve(text.size());
    std::memcpy(out, text.data(), text.size());
    size_ += text.size();
}

char* LineText::AppendDate(char* out, long long dayIndex) {
    if (cachedDateSize_ == 0 || dayIndex != cachedDay_) {
        cachedDay_ = dayIndex;
        cachedDateSize_ =
            static_cast<std::size_t>(AppendCivilDate(cachedDate_, dayIndex) - cachedDate_);
    }
    return AppendText(out, std::string_view(cachedDate_, cachedDateSize_));
}

void LineText::AppendFormatted(const Value& value, bool padNumbers) {
    // Every form but bytes fits in this many characters.
    constexpr std::size_t kMaxFormattedSize = 48;
    char* const start = Reserve(kMaxFormattedSize);
    char* out = start;
    switch (value.Kind()) {
    case ValueKind::Integer: {
        const std::int64_t number = value.Integer();
        if (padNumbers && number >= 0) {
            *out++ = ' ';
        }
        out = std::to_chars(out, out + 24, number).ptr;
        if (padNumbers) {
            *out++ = ' ';
        }
        break;
    }
    case ValueKind::Number: {
        const double number = value.Number();
        if (padNumbers && !(number < 0)) {
            *out++ = ' ';
        }
        out = AppendNumber(out, number);
        if (padNumbers) {
            *out++ = ' ';
        }
        break;
    }
    case ValueKind::Timestamp: {
        long long dayIndex = 0;
        long long secondOfDay = 0;
        SplitDateTime(value.DateTimeValue(), dayIndex, secondOfDay);
        if (dayIndex == 0) {
            out = AppendTime(out, secondOfDay);
        } else {
            out = AppendDate(out, dayIndex);
            if (secondOfDay != 0) {
                *out++ = ' ';
                out = AppendTime(out, secondOfDay);
            }
        }
        break;
    }
    case ValueKind::Bool:
        out = AppendText(out, value.Bool() ? "True" : "False");
        break;
    case ValueKind::Bytes:
        out = AppendHex(Reserve(value.Bytes().size() * 2), value.Bytes());
        size_ = static_cast<std::size_t>(out - chars_.data());
        return;
    case ValueKind::Null:
    case ValueKind::Text:
        return;
    }
    size_ += static_cast<std::size_t>(out - start);
}

void LineText::AppendCell(const Value& value) {
    switch (value.Kind()) {
    case ValueKind::Text:
        Append(value.Text());
        return;
    case ValueKind::Null:
        Append("Null");
        return;
    default:
        AppendFormatted(value, true);
    }
}

void LineText::AppendPlain(const Value& value) {
    switch (value.Kind()) {
    case ValueKind::Text:
        Append(value.Text());
        return;
    case ValueKind::Null:
        return;
    default:
        AppendFormatted(value, false);
    }
}

} // namespace rill::sqlexport
