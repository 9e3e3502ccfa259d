#pragma once

#include <string>
#include <vector>

namespace rill::sqlexport {

// The usage text written by a run without arguments, one entry per line.
std::vector<std::string> UsageLines(const std::string& defaultOutputPath);

// One whole run of RillfetchSQL on the argument text; returns the exit status: 0 for a run
// that reached "THE_END" without a failure line, 1 when the output file ends with a failure
// line or the request was refused, 2 when the output file could not be written or completed.
// Whenever the status is not 0 one line goes to standard error.
int RunSqlExport(const std::string& argumentText);

} // namespace rill::sqlexport
