#pragma once

#include <string>

#include "common/date_time.hpp"

namespace rill {

// The date and time forms of the report, in US English from our own name tables. Seconds are
// never shown; midnight is 12:00AM and noon 12:00PM.

// "Tuesday, Jan 06, 2009 02:15PM"
std::string FormatLongDateTime(DateTime value);
// "03:00PM"
std::string FormatClockTime(DateTime value);
// "Jan-05-2009"
std::string FormatShortDate(DateTime value);
// "Mon 11:00PM"
std::string FormatDayAndTime(DateTime value);

} // namespace rill
