#pragma once

#include <string>
#include <string_view>

#include "common/date_time.hpp"

namespace rill {

// The parsed command line of RillfetchNOW.
struct ExportRequest {
    std::string tableName;
    std::string dsidList;
    DateTime windowStart = 0.0;
    DateTime windowEnd = 0.0;
    std::string outputPath;
    std::string remoteName;
    bool dssMode = false;
    std::string dssPath;
    std::string webPassword;
    bool usageMode = false;
};

// Start of the unit-value window: 0.0007 day (60.48 s) after the requested start, so that the
// value stamped at the boundary minute belongs to the earlier window.
inline constexpr double kUnitTableStartShiftDays = 0.0007;

// The numeric value at the start of a text: blanks, tabs and line feeds anywhere are ignored,
// "." is the decimal point, a sign and an exponent (E or D) are allowed; a text that does not
// begin with a number gives 0.
double LeadingNumericValue(std::string_view text);

// Parses the comma-separated arguments of an export run. `today` is today's date at 00:00;
// throws RunError when fewer than four arguments are given or an offset puts the window outside
// the years 100 to 9999.
ExportRequest ParseExportArguments(std::string_view commandText,
                                   const std::string& programDirectory,
                                   const std::string& defaultOutputPath,
                                   DateTime today);

} // namespace rill
