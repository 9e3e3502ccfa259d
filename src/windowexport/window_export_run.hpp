#pragma once

#include <string>

namespace rill {

// Runs RillfetchNOW on the command-line text (the arguments joined with single blanks) and
// returns the process exit status: 0 when the output file reached "THE_END" without an error
// line, 1 when it records an error, a DSS file that could not be opened or a failed store, or a
// failed upload, 2 when it could not be written (or completed). Every non-zero status also
// puts one line on standard error.
int RunWindowExport(const std::string& commandText);

} // namespace rill
