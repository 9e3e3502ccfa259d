#include "sqlexport/sql_export_request.hpp"

#include <algorithm>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "platform/platform.hpp"

namespace rill::sqlexport {

std::string ArgumentText(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text.push_back(' ');
        }
        text.append(argv[i]);
    }
    // The text starts after the blanks that follow the program name: a leading double quote
    // still counts, and blanks alone make a usage run.
    const auto first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);
    return text;
}

std::string DefaultOutputPath(const std::string& programDirectory) {
    return platform::JoinPath(programDirectory, kDefaultOutputFileName);
}

SqlExportRequest ParseSqlExportRequest(std::string_view argumentText,
                                       const std::string& programDirectory) {
    SqlExportRequest request;
    request.outputPath = DefaultOutputPath(programDirectory);
    if (argumentText.empty()) {
        request.usageRun = true;
        return request;
    }

    // A text that starts with a double quote loses all of them, the ones inside the statement
    // too; callers quote the whole text to get "<" and ">" past the command shell.
    std::string text(argumentText);
    if (text.front() == '"') {
        text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    }

    const std::vector<std::string> segments = SplitAll(text, ';');
    if (segments.size() < 2) {
        throw RunError("The argument text holds no \";\"; expected: RillfetchSQL DSID; SQL "
                       "Statement; Output Filename");
    }
    request.dsidList = std::string(TrimBlanks(segments[0]));
    request.statement = std::string(TrimBlanks(segments[1])) + ";";

    // Segments after the third are ignored.
    if (segments.size() >= 3) {
        const std::string name(TrimBlanks(segments[2]));
        if (name.empty()) {
            throw RunError("The output file name after the second \";\" is empty");
        }
        request.refuseDss = EndsWithIgnoreCase(name, ".dss");
        request.outputPath =
            platform::IsBareFileName(name) ? platform::JoinPath(programDirectory, name) : name;
    }
    return request;
}

} // namespace rill::sqlexport
