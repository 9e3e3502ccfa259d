#pragma once

#include <string>

#include "common/date_time.hpp"

namespace rill {

struct RunContext;

// Next-run times at or below this count of days are "no value" (any real date is far above).
inline constexpr double kNextRunThresholdDays = 10.0;

// The five header lines, CR LF included, for a run at `now`.
std::string
ReportHeaderText(DateTime now, DateTime nextRunTime, DateTime windowStart, DateTime windowEnd);

// Reads the next scheduled run time, creates the report file at the request's output path and
// writes the header; sets the context's runDate.
void WriteReportHeader(RunContext& context);

// Closes an open query, then writes the footer text kept in the database, when there is one.
// The footer query is left open; the end of the run closes it.
void WriteReportFooter(RunContext& context);

} // namespace rill
