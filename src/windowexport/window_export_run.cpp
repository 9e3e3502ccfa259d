#include "windowexport/window_export_run.hpp"

#include <array>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "common/run_error.hpp"
#include "platform/platform.hpp"
#include "windowexport/dss_output.hpp"
#include "windowexport/export_all_series.hpp"
#include "windowexport/publishing.hpp"
#include "windowexport/report.hpp"
#include "windowexport/run_context.hpp"

namespace rill {

namespace {

constexpr const char* kProgramName = "RillfetchNOW";
constexpr const char* kDefaultOutputName = "RillfetchOutput.txt";
constexpr std::string_view kEndMarker = "THE_END";

std::array<std::string, 18> UsageLines(const std::string& defaultOutputPath) {
    return {
        "Gets data from Wellspan database via command line.",
        "Requires Wellspan connection setup file: Wellspan_Setup.txt",
        "Ftp requires Plotwren autoweb setup file: Plotwren_autoweb.txt",
        "The sdate and edate are set relative to today's date by -1, 2",
        "",
        "Command line in batch file or shortcut link:",
        "Rillfetch rhour, 1024, -1, 2, myfile.txt, SiFujwazxm",
        "",
        "SiFujwazxm optional to send to web",
        "",
        "For multi retrievals:",
        "Rillfetch runit, 1024 15033 16033 17033, -1, 3, myfile.dss",
        "",
        "If no filename given the output will be in: " + defaultOutputPath,
        "",
        "If filename has '.dss' then output will be in HEC-DSS format.",
        "HEC-DSS errors will be in: " + defaultOutputPath,
        "and be sure data is in Wellspan for dates specified.",
    };
}

std::string Describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& e) {
        return FoldToOneLine(e.what());
    } catch (...) {
        return "Unknown error";
    }
}

void ReportOnStandardError(const std::string& description) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, description.c_str());
}

// The main work of a run: everything up to the end-of-run steps. Any error leaves it.
void RunMainWork(RunContext& context,
                 const std::string& commandText,
                 const std::string& programDirectory,
                 const std::string& defaultOutputPath) {
    ExportRequest& request = context.request;
    if (request.usageMode) {
        context.output.Open(defaultOutputPath, OpenMode::CreateNew);
        for (const auto& line : UsageLines(defaultOutputPath)) {
            context.output.WriteLine(line);
        }
        return;
    }
    // The session opens before the arguments are looked at.
    context.session.OpenSession(programDirectory, DelimiterStep::Classify);
    request = ParseExportArguments(commandText, programDirectory, defaultOutputPath, TodayLocal());
    if (request.dssMode) {
        OpenDssFile(context);
    }
    WriteReportHeader(context);
    ExportAllSeries(context);
}

} // namespace

int RunWindowExport(const std::string& commandText) {
    RunContext context;
    std::optional<std::string> mainError;
    std::string defaultOutputPath;
    std::string programDirectory;
    bool publishFailed = false;

    try {
        programDirectory = platform::ProgramDirectory();
        defaultOutputPath = platform::JoinPath(programDirectory, kDefaultOutputName);
        context.request.outputPath = defaultOutputPath;
        context.request.usageMode = commandText.empty();
        RunMainWork(context, commandText, programDirectory, defaultOutputPath);
    } catch (...) {
        mainError = Describe(std::current_exception());
    }

    // End-of-run steps. From here an error closes the files and ends the run at once.
    const ExportRequest& request = context.request;
    const bool outputWasOpen = context.output.IsOpen();
    try {
        if (request.dssMode) {
            CloseDssFile(context);
        }
        if (!request.usageMode) {
            WriteReportFooter(context);
        }
        if (mainError) {
            context.output.WriteLine(*mainError);
        }
        context.output.WriteLine(kEndMarker);
        if (request.webPassword.empty()) {
            context.output.Close();
        }
        context.session.CloseSession();
        if (request.usageMode && !platform::StartViewer(defaultOutputPath)) {
            // No desktop to show the file in: show the usage text where the user is.
            for (const auto& line : UsageLines(defaultOutputPath)) {
                std::printf("%s\n", line.c_str());
            }
            std::printf("%s\n", kEndMarker.data());
        }
        if (!request.webPassword.empty()) {
            publishFailed = Publish(programDirectory,
                                    request.outputPath,
                                    request.remoteName,
                                    request.webPassword,
                                    context.output) == PublishOutcome::Failed;
        }
        context.output.Close();
    } catch (...) {
        const std::string endError = Describe(std::current_exception());
        try {
            context.output.Close();
        } catch (...) {
        }
        // Without an output file the end-of-run steps cannot write: the main error says why.
        if (mainError && !outputWasOpen) {
            ReportOnStandardError(*mainError);
        } else if (mainError) {
            ReportOnStandardError(*mainError + " (then: " + endError + ")");
        } else {
            ReportOnStandardError(endError);
        }
        return 2;
    }
    // Everything the file records as having gone wrong, for the scheduler: the run's error, a
    // DSS file that could not be opened or a store that failed, a failed upload.
    std::vector<std::string> problems;
    if (mainError) {
        problems.push_back(*mainError);
    }
    if (request.dssMode && !context.dssMessage.empty()) {
        problems.push_back(FoldToOneLine(context.dssMessage));
    }
    if (publishFailed) {
        problems.emplace_back("FTP put failed");
    }
    if (problems.empty()) {
        return 0;
    }
    std::string description = problems.front();
    for (std::size_t i = 1; i < problems.size(); ++i) {
        description += " (then: " + problems[i] + ")";
    }
    ReportOnStandardError(description);
    return 1;
}

} // namespace rill
