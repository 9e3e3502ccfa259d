#include "windowexport/report_lines.hpp"

#include <cstring>

#include "common/text.hpp"

namespace rill {

std::string NotFoundLine(std::string_view item) {
    std::string line(item);
    line += " not found.";
    return line;
}

std::string SeriesTitle(std::string_view datatypeName, std::string_view siteName) {
    std::string line = ToUpperAscii(datatypeName);
    line += "; ";
    line += siteName;
    return line;
}

std::string TableLine(std::string_view queryTable, std::string_view item, std::string_view notes) {
    std::string line(queryTable);
    line += "; ";
    line += item;
    line += "; ";
    line += notes;
    return line;
}

std::string NoDataLine(std::string_view item) {
    std::string line(item);
    line += " has no data.";
    return line;
}

namespace {

constexpr std::size_t kDayAndTimeLength = 11;

// Writes "Mon 11:00PM" for the stamp, split into calendar fields the way every date of the
// report is.
void WriteDayAndTime(char* out, DateTime stamp) {
    const CivilDateTime civil = ToCivil(stamp);
    // Day 0 (30 December 1899) was a Saturday.
    const long long days = DaysFromCivil(civil.year, civil.month, civil.day);
    const long long dayOfWeek = ((days + 6) % 7 + 7) % 7;
    const int hour = civil.hour;
    const int minute = civil.minute;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    const std::string_view day = DayAbbrev(static_cast<int>(dayOfWeek));
    out[0] = day[0];
    out[1] = day[1];
    out[2] = day[2];
    out[3] = ' ';
    out[4] = static_cast<char>('0' + hour12 / 10);
    out[5] = static_cast<char>('0' + hour12 % 10);
    out[6] = ':';
    out[7] = static_cast<char>('0' + minute / 10);
    out[8] = static_cast<char>('0' + minute % 10);
    out[9] = hour < 12 ? 'A' : 'P';
    out[10] = 'M';
}

} // namespace

void AppendDayAndTime(std::string& out, DateTime stamp) {
    char text[kDayAndTimeLength];
    WriteDayAndTime(text, stamp);
    out.append(text, kDayAndTimeLength);
}

void AppendValueLine(std::string& line,
                     DateTime stamp,
                     DateTime runDate,
                     std::string_view valueText,
                     std::string_view unitName) {
    // Sized once and filled in place: this runs for every row of a report.
    const std::size_t start = line.size();
    line.resize(start + 5 + kDayAndTimeLength + 4 + valueText.size() + 1 + unitName.size());
    char* out = line.data() + start;
    std::memcpy(out, stamp < runDate ? "hist-" : "     ", 5);
    WriteDayAndTime(out + 5, stamp);
    out += 5 + kDayAndTimeLength;
    std::memcpy(out, " >> ", 4);
    out += 4;
    std::memcpy(out, valueText.data(), valueText.size());
    out += valueText.size();
    *out++ = ' ';
    std::memcpy(out, unitName.data(), unitName.size());
}

} // namespace rill
