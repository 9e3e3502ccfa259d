#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "dbsession/value.hpp"

namespace rill {
namespace {

Value Make(const std::function<void(Value&)>& set) {
    Value value;
    set(value);
    return value;
}

TEST(ValueConversionTest, DateTimesFromEveryKind) {
    struct Case {
        std::string name;
        Value value;
        std::optional<double> expected; // nullopt: a run-time error
    };
    const std::vector<Case> cases = {
        {"timestamp", Make([](Value& v) { v.SetDateTime(39818.5); }), 39818.5},
        {"number of days", Make([](Value& v) { v.SetNumber(39818.25); }), 39818.25},
        {"whole days", Make([](Value& v) { v.SetInteger(39818); }), 39818.0},
        {"ISO text", Make([](Value& v) { v.SetText(" 2009-01-05 12:00:00 "); }), 39818.5},
        {"last moment of 9999", Make([](Value& v) { v.SetNumber(2958465.99); }), 2958465.99},
        {"first day of year 100", Make([](Value& v) { v.SetNumber(-657434.5); }), -657434.5},
        {"far future", Make([](Value& v) { v.SetNumber(1e20); }), std::nullopt},
        {"year 10000", Make([](Value& v) { v.SetNumber(2958466.0); }), std::nullopt},
        {"before year 100", Make([](Value& v) { v.SetInteger(-657435); }), std::nullopt},
        {"text that is no date", Make([](Value& v) { v.SetText("tomorrow"); }), std::nullopt},
        {"Null", Value(), std::nullopt},
        {"yes/no", Make([](Value& v) { v.SetBool(true); }), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) {
            EXPECT_DOUBLE_EQ(ValueToDateTime(c.value, "value"), *c.expected);
        } else {
            EXPECT_THROW(ValueToDateTime(c.value, "value"), RunError);
        }
    }
}

TEST(ValueConversionTest, NumbersAndTexts) {
    Value text;
    text.SetText(" 3.5 ");
    EXPECT_DOUBLE_EQ(ValueToDouble(text, "value"), 3.5);
    text.SetText("3.5 ft");
    EXPECT_THROW(ValueToDouble(text, "value"), RunError);
    EXPECT_THROW(ValueToDouble(Value(), "value"), RunError);
    Value number;
    number.SetNumber(12.25);
    EXPECT_EQ(ValueToText(number, "site_name"), "12.25");
    number.SetInteger(-7);
    EXPECT_EQ(ValueToText(number, "site_name"), "-7");
    EXPECT_THROW(ValueToText(Value(), "site_name"), RunError);
}

} // namespace
} // namespace rill
