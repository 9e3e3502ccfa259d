#include "windowexport/report.hpp"

#include "common/run_error.hpp"
#include "dbsession/connection_string.hpp"
#include "windowexport/report_format.hpp"
#include "windowexport/run_context.hpp"

namespace rill {

namespace {

// Nothing on this platform keeps an open SQLite file from being replaced, so an output name
// that points at the database the run reads is refused before the file is touched.
void RefuseDatabaseAsOutput(const DbSession& session, const std::string& outputPath) {
    if (NamesNativeDatabaseFile(session.ConnectionString(), outputPath)) {
        throw RunError("Cannot create output file " + outputPath +
                       ": it is the database file that the run reads");
    }
}

} // namespace

std::string
ReportHeaderText(DateTime now, DateTime nextRunTime, DateTime windowStart, DateTime windowEnd) {
    std::string text = "AUTOMATED UPDATE: " + FormatLongDateTime(now) + "\r\n";
    text += "Next run at: ";
    text += nextRunTime > kNextRunThresholdDays ? FormatClockTime(nextRunTime) : "----";
    text += "\r\n\r\n";
    text += FormatShortDate(windowStart) + " to " + FormatShortDate(windowEnd) + "\r\n\r\n";
    return text;
}

void WriteReportHeader(RunContext& context) {
    DbSession& session = context.session;
    DateTime nextRunTime = 0.0;
    session.OpenQuery("Select value from rupdate where datatype_site_id=-1");
    if (!session.Eof()) {
        nextRunTime = ValueToDateTime(session.Field(0), "value of rupdate");
    }
    session.CloseQuery();

    RefuseDatabaseAsOutput(session, context.request.outputPath);
    context.output.Open(context.request.outputPath, OpenMode::CreateNew);
    const DateTime now = NowLocal();
    context.runDate = DatePart(now);
    context.output.Write(
        ReportHeaderText(now, nextRunTime, context.request.windowStart, context.request.windowEnd));
}

void WriteReportFooter(RunContext& context) {
    DbSession& session = context.session;
    if (session.QueryIsOpen()) {
        session.CloseQuery();
    }
    session.OpenQuery("Select site_name from rupdate where datatype_site_id=0;");
    if (!session.Eof()) {
        const Value& footer = session.Field(0);
        context.output.WriteLine(footer.IsNull() ? std::string("Null")
                                                 : ValueToText(footer, "site_name of rupdate"));
    }
}

} // namespace rill
