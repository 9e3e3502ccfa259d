#include "dbsession/value.hpp"

#include <charconv>
#include <cmath>

#include "common/run_error.hpp"

namespace rill {

namespace {
[[noreturn]] void Mismatch(std::string_view column, std::string_view what) {
    throw RunError("Type mismatch: column " + std::string(column) + " holds " + std::string(what));
}

std::string_view KindName(const Value& value) {
    switch (value.Kind()) {
    case ValueKind::Null:
        return "Null";
    case ValueKind::Text:
        return "text";
    case ValueKind::Integer:
    case ValueKind::Number:
        return "a number";
    case ValueKind::Timestamp:
        return "a date-time";
    case ValueKind::Bool:
        return "a yes/no value";
    case ValueKind::Bytes:
        return "binary data";
    }
    return "an unknown value";
}

std::string_view TrimWhite(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}
} // namespace

void Value::SetText(std::string_view text) {
    if (auto* held = std::get_if<1>(&data_)) {
        held->assign(text);
    } else {
        data_.emplace<1>(text);
    }
}

void Value::SetBytes(const unsigned char* data, std::size_t size) {
    if (auto* held = std::get_if<6>(&data_)) {
        held->assign(data, data + size);
    } else {
        data_.emplace<6>(data, data + size);
    }
}

double ValueToDouble(const Value& value, std::string_view column) {
    switch (value.Kind()) {
    case ValueKind::Integer:
        return static_cast<double>(value.Integer());
    case ValueKind::Number:
        return value.Number();
    case ValueKind::Timestamp:
        return value.DateTimeValue();
    case ValueKind::Bool:
        return value.Bool() ? -1.0 : 0.0;
    case ValueKind::Text: {
        const std::string_view text = TrimWhite(value.Text());
        double result = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (ec == std::errc() && end == text.data() + text.size() && !text.empty() &&
            std::isfinite(result)) {
            return result;
        }
        Mismatch(column, "text that is not a number: " + value.Text());
    }
    default:
        Mismatch(column, KindName(value));
    }
}

namespace {
DateTime AsDateTime(const Value& value, std::string_view column) {
    switch (value.Kind()) {
    case ValueKind::Timestamp:
        return value.DateTimeValue();
    case ValueKind::Integer:
        return static_cast<double>(value.Integer());
    case ValueKind::Number:
        return value.Number();
    case ValueKind::Text:
        if (const auto parsed = ParseIsoDateTime(TrimWhite(value.Text()))) {
            return *parsed;
        }
        Mismatch(column, "text that is not a date-time: " + value.Text());
    default:
        Mismatch(column, KindName(value));
    }
}
} // namespace

DateTime ValueToDateTime(const Value& value, std::string_view column) {
    const DateTime result = AsDateTime(value, column);
    if (!IsCalendarDateTime(result)) {
        throw RunError("Overflow: column " + std::string(column) +
                       " holds a date-time outside the years 100 to 9999");
    }
    return result;
}

std::string ValueToText(const Value& value, std::string_view column) {
    switch (value.Kind()) {
    case ValueKind::Text:
        return value.Text();
    case ValueKind::Integer:
        return std::to_string(value.Integer());
    case ValueKind::Number: {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value.Number());
        return std::string(buffer, result.ptr);
    }
    case ValueKind::Timestamp:
        return FormatIsoDateTime(value.DateTimeValue());
    default:
        Mismatch(column, KindName(value));
    }
}

} // namespace rill
