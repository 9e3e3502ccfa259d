#include "windowexport/series_query.hpp"

#include <algorithm>

#include "common/run_error.hpp"

namespace rill {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNameCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsName(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsNameCharacter);
}

void AppendDigits(std::string& out, int value, int width) {
    char text[16];
    int length = 0;
    for (; width > 0 || value > 0; --width) {
        text[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    while (length > 0) {
        out.push_back(text[--length]);
    }
}

// mm/dd/yyyy, `blanks` blanks, hh:mm; seconds are not shown.
void AppendLiteralDateTime(std::string& out, const CivilDateTime& civil, int blanks) {
    AppendDigits(out, civil.month, 2);
    out.push_back('/');
    AppendDigits(out, civil.day, 2);
    out.push_back('/');
    AppendDigits(out, civil.year, 4);
    out.append(static_cast<std::size_t>(blanks), ' ');
    AppendDigits(out, civil.hour, 2);
    out.push_back(':');
    AppendDigits(out, civil.minute, 2);
}

DataQuery::DateLiteral AppendDateLiteral(std::string& out, DateTime value, int blanks) {
    CivilDateTime civil = ToCivil(value);
    DataQuery::DateLiteral literal;
    literal.offset = out.size();
    out.push_back('#');
    AppendLiteralDateTime(out, civil, blanks);
    out.push_back('#');
    literal.length = out.size() - literal.offset;
    civil.second = 0;
    civil.millisecond = 0;
    literal.shown = ToDateTime(civil);
    return literal;
}

} // namespace

void CheckDsidItem(std::string_view item) {
    const std::string_view digits =
        !item.empty() && (item[0] == '-' || item[0] == '+') ? item.substr(1) : item;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        throw RunError("DSID \"" + std::string(item) +
                       "\" is not a whole number; it is not sent to the database");
    }
}

void CheckTableName(std::string_view tableName) {
    const auto dot = tableName.find('.');
    const bool valid = dot == std::string_view::npos
                           ? IsName(tableName)
                           : IsName(tableName.substr(0, dot)) && IsName(tableName.substr(dot + 1));
    if (!valid) {
        throw RunError("Table name \"" + std::string(tableName) +
                       "\" is not a table name (letters, digits and underscores, or schema.table);"
                       " it is not sent to the database");
    }
}

std::string SiteQueryText(std::string_view item) {
    std::string text = "Select site_name, datatype_name, unit_name,datatype_id, state, notes "
                       "from rsite where datatype_site_id=";
    text += item;
    return text;
}

std::string QueryTable(const std::string& tableName, std::int16_t datatypeId) {
    return datatypeId == 10 || datatypeId == 11 || datatypeId == 27 ? std::string("rday")
                                                                    : tableName;
}

DataQuery BuildDataQuery(std::string_view queryTable,
                         std::string_view item,
                         DateTime windowStart,
                         DateTime windowEnd,
                         char dateDelimiter) {
    DataQuery query;
    std::string& text = query.text;
    text = "select datatype_site_id, date_time, value from ";
    text += queryTable;
    text += " where datatype_site_id=";
    text += item;
    text += " and date_time between ";
    query.literals[0] = AppendDateLiteral(text, windowStart, 1);
    text += " and ";
    query.literals[1] = AppendDateLiteral(text, windowEnd, 2);
    text += " order by date_time;";
    if (dateDelimiter != '#') {
        std::replace(text.begin(), text.end(), '#', dateDelimiter);
    }
    return query;
}

std::string WithDatabaseLiterals(const DataQuery& query,
                                 std::string_view startLiteral,
                                 std::string_view endLiteral) {
    const auto& [start, end] = query.literals;
    const std::string_view text = query.text;
    std::string sent(text.substr(0, start.offset));
    sent += startLiteral;
    sent += text.substr(start.offset + start.length, end.offset - start.offset - start.length);
    sent += endLiteral;
    sent += text.substr(end.offset + end.length);
    return sent;
}

} // namespace rill
