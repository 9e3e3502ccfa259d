#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/date_time.hpp"

namespace rill {

enum class ValueKind { Null, Text, Integer, Number, Timestamp, Bool, Bytes };

// One column value of a row, in the database's own kind; Null stays distinct from every
// other value. Setters reuse the storage already held, so a row refilled for every fetch
// does not allocate for short texts.
class Value {
public:
    ValueKind Kind() const { return static_cast<ValueKind>(data_.index()); }
    bool IsNull() const { return data_.index() == 0; }

    void SetNull() { data_.emplace<0>(); }
    void SetText(std::string_view text);
    void SetInteger(std::int64_t value) { data_.emplace<2>(value); }
    void SetNumber(double value) { data_.emplace<3>(value); }
    void SetDateTime(DateTime value) { data_.emplace<4>(DateTimeBox{value}); }
    void SetBool(bool value) { data_.emplace<5>(value); }
    void SetBytes(const unsigned char* data, std::size_t size);

    const std::string& Text() const { return std::get<1>(data_); }
    std::int64_t Integer() const { return std::get<2>(data_); }
    double Number() const { return std::get<3>(data_); }
    DateTime DateTimeValue() const { return std::get<4>(data_).value; }
    bool Bool() const { return std::get<5>(data_); }
    const std::vector<unsigned char>& Bytes() const { return std::get<6>(data_); }

private:
    struct DateTimeBox {
        DateTime value;
    };
    std::variant<std::monostate,
                 std::string,
                 std::int64_t,
                 double,
                 DateTimeBox,
                 bool,
                 std::vector<unsigned char>>
        data_;
};

// Conversions that the programs apply to a value they read. Each throws RunError naming the
// column when the value is Null or has no such form ("Type mismatch" in effect).
double ValueToDouble(const Value& value, std::string_view column);
DateTime ValueToDateTime(const Value& value, std::string_view column);
std::string ValueToText(const Value& value, std::string_view column);

} // namespace rill
