#include "windowexport/report_format.hpp"

#include <cstdio>

namespace rill {

namespace {
void AppendTwoDigits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

void AppendClock(std::string& out, const CivilDateTime& civil) {
    const int hour12 = civil.hour % 12 == 0 ? 12 : civil.hour % 12;
    AppendTwoDigits(out, hour12);
    out.push_back(':');
    AppendTwoDigits(out, civil.minute);
    out += civil.hour < 12 ? "AM" : "PM";
}

void AppendYear(std::string& out, int year) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", year);
    out += buffer;
}
} // namespace

std::string FormatLongDateTime(DateTime value) {
    const CivilDateTime civil = ToCivil(value);
    std::string out(DayName(DayOfWeek(value)));
    out += ", ";
    out += MonthAbbrev(civil.month);
    out.push_back(' ');
    AppendTwoDigits(out, civil.day);
    out += ", ";
    AppendYear(out, civil.year);
    out.push_back(' ');
    AppendClock(out, civil);
    return out;
}

std::string FormatClockTime(DateTime value) {
    std::string out;
    AppendClock(out, ToCivil(value));
    return out;
}

std::string FormatShortDate(DateTime value) {
    const CivilDateTime civil = ToCivil(value);
    std::string out(MonthAbbrev(civil.month));
    out.push_back('-');
    AppendTwoDigits(out, civil.day);
    out.push_back('-');
    AppendYear(out, civil.year);
    return out;
}

std::string FormatDayAndTime(DateTime value) {
    std::string out(DayAbbrev(DayOfWeek(value)));
    out.push_back(' ');
    AppendClock(out, ToCivil(value));
    return out;
}

} // namespace rill
