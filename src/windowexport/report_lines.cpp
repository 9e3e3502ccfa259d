#include "windowexport/report_lines.hpp"

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

void AppendDayAndTime(std::string& out, DateTime stamp) {
    const CivilDateTime civil = ToCivil(stamp);
    const long long days = DaysFromCivil(civil.year, civil.month, civil.day);
    // Day 0 (30 December 1899) was a Saturday.
    const long long dayOfWeek = ((days + 6) % 7 + 7) % 7;
    const int hour12 = civil.hour % 12 == 0 ? 12 : civil.hour % 12;
    out += DayAbbrev(static_cast<int>(dayOfWeek));
    const char text[] = {' ',
                         static_cast<char>('0' + hour12 / 10),
                         static_cast<char>('0' + hour12 % 10),
                         ':',
                         static_cast<char>('0' + civil.minute / 10),
                         static_cast<char>('0' + civil.minute % 10),
                         civil.hour < 12 ? 'A' : 'P',
                         'M'};
    out.append(text, sizeof text);
}

void AppendValueLine(std::string& line,
                     DateTime stamp,
                     DateTime runDate,
                     std::string_view valueText,
                     std::string_view unitName) {
    line += stamp < runDate ? "hist-" : "     ";
    AppendDayAndTime(line, stamp);
    line += " >> ";
    line += valueText;
    line += ' ';
    line += unitName;
}

} // namespace rill
