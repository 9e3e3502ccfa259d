#pragma once

#include <string>
#include <string_view>

namespace rill::sqlexport {

inline constexpr const char* kDefaultOutputFileName = "RillfetchOutput.txt";

// The parsed argument text "DSID list; statement; output file name" of one run.
struct SqlExportRequest {
    std::string dsidList;   // first segment, blanks removed at both ends
    std::string statement;  // second segment, blanks removed at both ends, ";" appended
    std::string outputPath; // where the output file is created
    bool refuseDss = false; // the output name ends in ".dss" in any letter case
    bool usageRun = false;  // the argument text is empty
};

// The argument text of a run: the program's arguments joined with single blanks, without the
// blanks at its start.
std::string ArgumentText(int argc, const char* const* argv);

std::string DefaultOutputPath(const std::string& programDirectory);

// Parses the argument text. Throws RunError for a text without ";" and for an empty output
// file name, both found before any output file exists.
SqlExportRequest ParseSqlExportRequest(std::string_view argumentText,
                                       const std::string& programDirectory);

} // namespace rill::sqlexport
