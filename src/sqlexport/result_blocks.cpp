#include "sqlexport/result_blocks.hpp"

#include <optional>
#include <string>

#include "common/run_error.hpp"
#include "sqlexport/dsid_items.hpp"
#include "sqlexport/value_text.hpp"

namespace rill::sqlexport {

namespace {
constexpr int kMaxColumns = 32767;

// The site header line of a single DSID: datatype_name;unit_name;site_name;DSID, or nullopt
// when rsite has no row for it.
std::optional<std::string> ReadSiteHeader(DbSession& session, const std::string& dsidText) {
    session.OpenQuery(SiteQuery(dsidText));
    if (session.Eof()) {
        session.CloseQuery();
        return std::nullopt;
    }
    LineText header;
    for (const int column : {1, 2, 0}) {
        header.AppendPlain(session.Field(column));
        header.Append(';');
    }
    header.Append(dsidText);
    session.CloseQuery();
    return std::string(header.Text());
}

// Column names and rows, each cell followed by a TAB; rows stream from the open query and each
// is handed to the output as one piece.
void WriteRows(DbSession& session, TextOutput& output) {
    const int columns = session.FieldCount();
    if (columns > kMaxColumns) {
        throw RunError("Overflow: the result has " + std::to_string(columns) +
                       " columns, more than 32767");
    }
    session.MoveFirst();
    LineText line;
    for (int i = 0; i < columns; ++i) {
        line.Append(session.FieldName(i));
        line.Append('\t');
    }
    output.WriteLine(line.Text());
    while (!session.Eof()) {
        line.Clear();
        for (int i = 0; i < columns; ++i) {
            line.AppendCell(session.Field(i));
            line.Append('\t');
        }
        line.Append('\r');
        line.Append('\n');
        output.Write(line.Text());
        session.MoveNext();
    }
}

void WriteBlock(DbSession& session, TextOutput& output, const DsidItem& item) {
    output.WriteLine(item.statement);
    output.WriteLine("");

    std::string siteHeader;
    if (item.kind == ItemKind::Single) {
        auto header = ReadSiteHeader(session, item.dsidText);
        if (!header) {
            output.WriteLine(item.dsidText + " not found.");
            output.WriteLine("END");
            return;
        }
        siteHeader = std::move(*header);
    }

    session.OpenQuery(item.statement);
    if (session.Eof()) {
        output.WriteLine(item.dsidText + " has no data.");
    } else {
        output.WriteLine(siteHeader);
        WriteRows(session, output);
    }
    session.CloseQuery();
    output.WriteLine("END");
}
} // namespace

void WriteResultBlocks(DbSession& session,
                       TextOutput& output,
                       std::string_view dsidList,
                       std::string_view statement) {
    for (const DsidItem& item : MakeDsidItems(dsidList, statement)) {
        WriteBlock(session, output, item);
    }
}

} // namespace rill::sqlexport
