#pragma once

#include <string>
#include <string_view>

#include "common/date_time.hpp"

namespace rill {

// The lines of one series block of the text report, without their line ends.

// "<item> not found." for an item without a description (or too short to be a DSID).
std::string NotFoundLine(std::string_view item);
// The block's heading: the data type in capitals, then the site as stored.
std::string SeriesTitle(std::string_view datatypeName, std::string_view siteName);
// "<table>; <item>; <notes>", ending in "; " when there are no notes.
std::string TableLine(std::string_view queryTable, std::string_view item, std::string_view notes);
// "<item> has no data."
std::string NoDataLine(std::string_view item);

// Appends a value line: "hist-" for values stamped before the run's date (five blanks from
// 00:00 of that day on), the stamp as "Mon 11:00PM", " >> ", the value text, a blank, the unit.
void AppendValueLine(std::string& line,
                     DateTime stamp,
                     DateTime runDate,
                     std::string_view valueText,
                     std::string_view unitName);

// Appends "Mon 11:00PM" for the stamp, the same text as FormatDayAndTime.
void AppendDayAndTime(std::string& out, DateTime stamp);

} // namespace rill
