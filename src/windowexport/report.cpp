#include "windowexport/report.hpp"

#include "windowexport/report_format.hpp"
#include "windowexport/run_context.hpp"

namespace rill {

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
