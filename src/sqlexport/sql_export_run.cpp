#include "sqlexport/sql_export_run.hpp"

#include <cstdio>
#include <exception>
#include <optional>

#include "common/run_error.hpp"
#include "common/text_output.hpp"
#include "dbsession/connection_string.hpp"
#include "dbsession/db_session.hpp"
#include "dbsession/setup_file.hpp"
#include "platform/platform.hpp"
#include "sqlexport/result_blocks.hpp"
#include "sqlexport/sql_export_request.hpp"

namespace rill::sqlexport {

namespace {
constexpr int kExitDone = 0;
constexpr int kExitFailureReported = 1;
constexpr int kExitNotWritten = 2;

constexpr const char* kDssRefusal = "Hec-DSS files not supported.";
constexpr const char* kExampleStatement =
    "SELECT * FROM rhour WHERE datatype_site_id=DSID AND date_time BETWEEN (Now()-0.25) AND "
    "Now() ORDER BY date_time";

void ReportToStandardError(const std::string& description) {
    std::fprintf(stderr, "RillfetchSQL: %s\n", description.c_str());
    std::fflush(stderr);
}

// Without a desktop to open the file in, a user at a terminal still sees the text.
void ShowUsage(const std::string& path, const std::vector<std::string>& lines) {
    if (platform::StartViewer(path)) {
        return;
    }
    for (const auto& line : lines) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

// The output file is created before the setup file is read; a name that points at the SQLite
// database the setup file names would be truncated, so it is refused before anything is written.
void RefuseDatabaseAsOutput(const std::string& programDirectory, const std::string& outputPath) {
    std::string connectionString;
    try {
        connectionString = ReadConnectionString(programDirectory);
    } catch (const RunError&) {
        return; // a missing or unreadable setup file is reported in the output file later
    }
    if (NamesNativeDatabaseFile(connectionString, outputPath)) {
        throw RunError("Cannot create output file " + outputPath +
                       ": it is the database file that the run reads");
    }
}

} // namespace

std::vector<std::string> UsageLines(const std::string& defaultOutputPath) {
    const std::string statement = kExampleStatement;
    return {
        "Gets data from Wellspan database via SQL command line.",
        "Requires Wellspan connection setup file: Wellspan_Setup.txt",
        "",
        "Command line in batch file or shortcut link:",
        "RillfetchSQL DSID; SQL Statement; Output Filename",
        "",
        "RillfetchSQL 1024; " + statement + "; MillraceHourly.txt",
        "",
        "For multi DSID retrievals:",
        "Rillfetch 1024 15033 16033; " + statement + "; MyOutfile.txt",
        "",
        "If no filename given the output will be in: " + defaultOutputPath,
        "",
        "If '<' or '>' in SQL statement then put QUOTES around the command line like:",
        "Rillfetch \"1024 15033 16033; " + statement + "; MyOutfile.txt\"",
        "",
        "and be sure data is in Wellspan for dates specified.",
    };
}

int RunSqlExport(const std::string& argumentText) {
    // Until the output file exists a failure can only be told on standard error.
    std::string programDirectory;
    SqlExportRequest request;
    TextOutput output;
    try {
        programDirectory = platform::ProgramDirectory();
        platform::SetWorkingDirectory(programDirectory);
        request = ParseSqlExportRequest(argumentText, programDirectory);
        RefuseDatabaseAsOutput(programDirectory, request.outputPath);
        output.Open(request.outputPath, OpenMode::CreateNew);
    } catch (const std::exception& error) {
        ReportToStandardError(error.what());
        return kExitNotWritten;
    }

    DbSession session;
    std::optional<std::string> failure;
    std::vector<std::string> usageLines;
    try {
        if (request.usageRun) {
            usageLines = UsageLines(request.outputPath);
            for (const auto& line : usageLines) {
                output.WriteLine(line);
            }
        } else if (request.refuseDss) {
            output.WriteLine(kDssRefusal);
        } else {
            session.OpenSession(programDirectory, DelimiterStep::Skip);
            WriteResultBlocks(session, output, request.dsidList, request.statement);
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }

    // Closing steps: the failure line, "THE_END", the file, then the session. A failure here
    // cannot reach the file any more and goes to standard error.
    std::optional<std::string> closingFailure;
    bool fileComplete = false;
    try {
        if (failure && !failure->empty()) {
            output.WriteLine(*failure);
        }
        output.WriteLine("THE_END");
        output.Close();
        fileComplete = true;
    } catch (const std::exception& error) {
        closingFailure = error.what();
    }
    try {
        session.CloseSession();
    } catch (const std::exception& error) {
        if (!closingFailure) {
            closingFailure = error.what();
        }
    }

    if (!fileComplete) {
        ReportToStandardError(*closingFailure + (failure ? "; earlier: " + *failure : ""));
        return kExitNotWritten;
    }
    if (request.usageRun) {
        ShowUsage(request.outputPath, usageLines);
    }
    if (failure) {
        ReportToStandardError(*failure + (closingFailure ? "; then: " + *closingFailure : ""));
        return kExitFailureReported;
    }
    if (closingFailure) {
        ReportToStandardError(*closingFailure);
        return kExitFailureReported;
    }
    if (request.refuseDss) {
        ReportToStandardError(kDssRefusal);
        return kExitFailureReported;
    }
    return kExitDone;
}

} // namespace rill::sqlexport
