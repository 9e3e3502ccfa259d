#include "sqlexport/value_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace rill::sqlexport {

namespace {
constexpr int kMaxSignificantDigits = 15;
constexpr long long kSecondsPerDay = 86'400;

void AppendInteger(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendTwoDigits(std::string& out, long long value) {
    out.push_back(static_cast<char>('0' + value / 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

void AppendNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out.append("NaN");
        return;
    }
    if (std::isinf(value)) {
        out.append(value < 0 ? "-Infinity" : "Infinity");
        return;
    }
    if (value == 0.0) {
        out.push_back('0'); // negative zero too
        return;
    }
    if (value < 0) {
        out.push_back('-');
        value = -value;
    }

    // Scientific form gives the significant digits and the decimal exponent: first the
    // shortest round-trip form, and 15 rounded digits when that needs more.
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

    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out.append("0.");
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out.append(digits, static_cast<std::size_t>(digitCount));
            return;
        }
        const int integerDigits = exponent + 1;
        if (digitCount <= integerDigits) {
            out.append(digits, static_cast<std::size_t>(digitCount));
            out.append(static_cast<std::size_t>(integerDigits - digitCount), '0');
            return;
        }
        out.append(digits, static_cast<std::size_t>(integerDigits));
        out.push_back('.');
        out.append(digits + integerDigits, static_cast<std::size_t>(digitCount - integerDigits));
        return;
    }
    out.push_back(digits[0]);
    if (digitCount > 1) {
        out.push_back('.');
        out.append(digits + 1, static_cast<std::size_t>(digitCount - 1));
    }
    out.push_back('E');
    out.push_back(exponent < 0 ? '-' : '+');
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out.push_back('0');
    }
    AppendInteger(out, magnitude);
}

void AppendDate(std::string& out, long long dayIndex) {
    const CivilDateTime civil = ToCivil(static_cast<DateTime>(dayIndex));
    AppendInteger(out, civil.month);
    out.push_back('/');
    AppendInteger(out, civil.day);
    out.push_back('/');
    AppendInteger(out, civil.year);
}

void AppendTime(std::string& out, long long secondOfDay) {
    const long long hour = secondOfDay / 3600;
    const long long hour12 = hour % 12 == 0 ? 12 : hour % 12;
    AppendInteger(out, hour12);
    out.push_back(':');
    AppendTwoDigits(out, secondOfDay / 60 % 60);
    out.push_back(':');
    AppendTwoDigits(out, secondOfDay % 60);
    out.append(hour < 12 ? " AM" : " PM");
}

void AppendDateTime(std::string& out, DateTime value) {
    // The whole part names the day; the fraction runs forward from its midnight, before
    // 1899 too (-1.25 is 29 December 1899 6:00 AM).
    const double whole = std::trunc(value);
    long long dayIndex = static_cast<long long>(whole);
    long long secondOfDay =
        std::llround(std::fabs(value - whole) * static_cast<double>(kSecondsPerDay));
    if (secondOfDay >= kSecondsPerDay) {
        secondOfDay -= kSecondsPerDay;
        ++dayIndex;
    }
    if (dayIndex == 0) {
        AppendTime(out, secondOfDay);
        return;
    }
    AppendDate(out, dayIndex);
    if (secondOfDay != 0) {
        out.push_back(' ');
        AppendTime(out, secondOfDay);
    }
}

void AppendHex(std::string& out, const std::vector<unsigned char>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char b : bytes) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0x0F]);
    }
}

// The text shared by cells and the header line for kinds other than text and Null.
std::string_view OtherText(const Value& value, std::string& scratch, bool padNumbers) {
    scratch.clear();
    switch (value.Kind()) {
    case ValueKind::Integer: {
        const std::int64_t number = value.Integer();
        if (padNumbers && number >= 0) {
            scratch.push_back(' ');
        }
        char digits[24];
        scratch.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
        break;
    }
    case ValueKind::Number: {
        const double number = value.Number();
        if (padNumbers && !(number < 0)) {
            scratch.push_back(' ');
        }
        AppendNumber(scratch, number);
        break;
    }
    case ValueKind::Timestamp:
        AppendDateTime(scratch, value.DateTimeValue());
        return scratch;
    case ValueKind::Bool:
        return value.Bool() ? "True" : "False";
    case ValueKind::Bytes:
        AppendHex(scratch, value.Bytes());
        return scratch;
    case ValueKind::Null:
    case ValueKind::Text:
        return {};
    }
    if (padNumbers) {
        scratch.push_back(' ');
    }
    return scratch;
}
} // namespace

std::string FormatNumber(double value) {
    std::string out;
    AppendNumber(out, value);
    return out;
}

std::string FormatDateTime(DateTime value) {
    std::string out;
    AppendDateTime(out, value);
    return out;
}

std::string_view CellText(const Value& value, std::string& scratch) {
    switch (value.Kind()) {
    case ValueKind::Text:
        return value.Text();
    case ValueKind::Null:
        return "Null";
    default:
        return OtherText(value, scratch, true);
    }
}

std::string_view PlainText(const Value& value, std::string& scratch) {
    switch (value.Kind()) {
    case ValueKind::Text:
        return value.Text();
    case ValueKind::Null:
        return {};
    default:
        return OtherText(value, scratch, false);
    }
}

} // namespace rill::sqlexport
