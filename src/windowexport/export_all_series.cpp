#include "windowexport/export_all_series.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "windowexport/dss_output.hpp"
#include "windowexport/report_lines.hpp"
#include "windowexport/run_context.hpp"
#include "windowexport/series_query.hpp"
#include "windowexport/value_format.hpp"

namespace rill {

namespace {

// The rsite row of one series, by column position of the rsite query.
struct SiteHeader {
    std::string seriesTitle;
    std::string dssDescriptor;
    std::string unitName;
    std::int16_t datatypeId = 0;
    std::string notes;
};

enum SiteColumn : int { kSiteName = 0, kDatatypeName, kUnitName, kDatatypeId, kState, kNotes };
enum DataColumn : int { kDateTime = 1, kValue = 2 };

[[noreturn]] void NullInRsite(std::string_view column, std::string_view item) {
    throw RunError("Invalid use of Null: " + std::string(column) + " of DSID " + std::string(item) +
                   " in rsite is Null");
}

std::string RequiredText(const Value& value, std::string_view column, std::string_view item) {
    if (value.IsNull()) {
        NullInRsite(column, item);
    }
    return ValueToText(value, column);
}

std::string OptionalText(const Value& value, std::string_view column) {
    return value.IsNull() ? std::string() : ValueToText(value, column);
}

std::int16_t ReadDatatypeId(const Value& value, std::string_view item) {
    if (value.IsNull()) {
        NullInRsite("datatype_id", item);
    }
    // Read as a 16-bit integer: a fraction rounds to the nearest, halves to even.
    const double number = std::nearbyint(ValueToDouble(value, "datatype_id"));
    if (!(number >= INT16_MIN && number <= INT16_MAX)) {
        throw RunError("Overflow: datatype_id " + ValueToText(value, "datatype_id") + " of DSID " +
                       std::string(item) + " in rsite does not fit a 16-bit integer");
    }
    return static_cast<std::int16_t>(number);
}

SiteHeader ReadSiteHeader(const DbSession& session, std::string_view item, bool dssMode) {
    SiteHeader site;
    const std::string datatypeName =
        RequiredText(session.Field(kDatatypeName), "datatype_name", item);
    const std::string siteName = OptionalText(session.Field(kSiteName), "site_name");
    site.seriesTitle = SeriesTitle(datatypeName, siteName);
    site.unitName = RequiredText(session.Field(kUnitName), "unit_name", item);
    site.datatypeId = ReadDatatypeId(session.Field(kDatatypeId), item);
    if (dssMode) {
        // datatype_name;unit_name;site_name;datatype_id;state;DSID, nothing upper-cased.
        site.dssDescriptor = datatypeName + ";" + site.unitName + ";" + siteName + ";" +
                             std::to_string(site.datatypeId) + ";" +
                             OptionalText(session.Field(kState), "state") + ";" + std::string(item);
    }
    site.notes = OptionalText(session.Field(kNotes), "notes");
    return site;
}

// The rows of the open data query as the DSS file takes them: every row's time stamp and its
// value as a 32-bit float, sized once from the row count.
DssRows GatherDssRows(DbSession& session, std::string_view item, std::string_view queryTable) {
    session.MoveLast();
    const auto count = static_cast<std::size_t>(session.RecordCount());
    session.MoveFirst();
    DssRows rows;
    rows.times.reserve(count);
    rows.values.reserve(count);
    for (; !session.Eof(); session.MoveNext()) {
        const DateTime stamp = ValueToDateTime(session.Field(kDateTime), "date_time");
        const Value& value = session.Field(kValue);
        if (value.IsNull()) {
            throw RunError("Invalid use of Null: value of DSID " + std::string(item) + " in " +
                           std::string(queryTable) + " at " + FormatIsoDateTime(stamp) +
                           " is Null");
        }
        const double number = ValueToDouble(value, "value");
        if (std::fabs(number) > std::numeric_limits<float>::max()) {
            throw RunError("Overflow: value " + ValueToText(value, "value") + " of DSID " +
                           std::string(item) + " does not fit a single-precision number");
        }
        rows.times.push_back(stamp);
        rows.values.push_back(static_cast<float>(number));
    }
    return rows;
}

// One value line per row of the open data query, straight from the result set to the file.
void WriteValueLines(RunContext& context,
                     const SiteHeader& site,
                     std::string_view item,
                     std::string_view queryTable) {
    DbSession& session = context.session;
    std::string line;
    char valueText[kFormattedValueCapacity];
    for (; !session.Eof(); session.MoveNext()) {
        const DateTime stamp = ValueToDateTime(session.Field(kDateTime), "date_time");
        const Value& value = session.Field(kValue);
        if (value.IsNull()) {
            throw RunError("Invalid use of Null: value of DSID " + std::string(item) + " in " +
                           std::string(queryTable) + " at " + FormatIsoDateTime(stamp) +
                           " is Null");
        }
        const std::size_t length =
            FormatValueTo(valueText, ValueToDouble(value, "value"), site.datatypeId);
        line.clear();
        AppendValueLine(
            line, stamp, context.runDate, std::string_view(valueText, length), site.unitName);
        line.append("\r\n", 2);
        context.output.Write(line);
    }
}

enum class SeriesOutcome { Continue, StopRun };

SeriesOutcome ExportSeries(RunContext& context, const std::string& item) {
    DbSession& session = context.session;
    TextOutput& output = context.output;
    const ExportRequest& request = context.request;

    if (item.size() < kShortestDsidItem) {
        output.WriteLine(NotFoundLine(item));
        output.EndLine();
        return SeriesOutcome::Continue;
    }
    CheckDsidItem(item);
    session.OpenQuery(SiteQueryText(item));
    if (session.Eof()) {
        session.CloseQuery();
        output.WriteLine(NotFoundLine(item));
        output.EndLine();
        return SeriesOutcome::Continue;
    }
    const SiteHeader site = ReadSiteHeader(session, item, request.dssMode);
    session.CloseQuery();

    // The DSS file takes the named table as it is; the report switches daily data types to rday.
    const std::string queryTable =
        request.dssMode ? request.tableName : QueryTable(request.tableName, site.datatypeId);
    CheckTableName(queryTable);
    const DataQuery query = BuildDataQuery(
        queryTable, item, request.windowStart, request.windowEnd, session.DateDelimiter());
    // The database gets its own literals for the minutes the text shows: text dates such as
    // 01/05/2009 are read day-first by some servers and compared as text by SQLite.
    session.OpenQuery(WithDatabaseLiterals(query,
                                           session.DateTimeLiteral(query.literals[0].shown),
                                           session.DateTimeLiteral(query.literals[1].shown)));
    if (session.Eof()) {
        output.WriteLine(request.dssMode ? site.dssDescriptor : site.seriesTitle);
        output.WriteLine(TableLine(queryTable, item, site.notes));
        output.WriteLine(NoDataLine(item));
    } else if (request.dssMode) {
        if (context.dssOpenStatus != 0) {
            // Reported once the run closes the DSS file; the loop ends here.
            context.dssMessage = "Could not open " + request.dssPath;
            return SeriesOutcome::StopRun;
        }
        const DssRows rows = GatherDssRows(session, item, queryTable);
        if (rows.times.size() >= 2) {
            context.lastStepMinutes = StepMinutes(rows.times[0], rows.times[1]);
        }
        WriteDssSeries(context, site.dssDescriptor, queryTable, rows, context.lastStepMinutes);
    } else {
        output.WriteLine(site.seriesTitle);
        output.WriteLine(TableLine(queryTable, item, site.notes));
        WriteValueLines(context, site, item, queryTable);
    }
    session.CloseQuery();
    output.EndLine();
    return SeriesOutcome::Continue;
}

} // namespace

void ExportAllSeries(RunContext& context) {
    const std::string& dsidList = context.request.dsidList;
    if (dsidList.empty()) {
        return;
    }
    for (const std::string& item : SplitAll(dsidList, ' ')) {
        if (ExportSeries(context, item) == SeriesOutcome::StopRun) {
            return;
        }
    }
}

} // namespace rill
