#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/date_time.hpp"

namespace rill {

// DSID items shorter than this are reported as not found without asking the database.
inline constexpr std::size_t kShortestDsidItem = 3;

// Throws RunError unless the item is a whole number (an optional sign, then digits), so that
// nothing else is ever pasted into a query.
void CheckDsidItem(std::string_view item);
// Throws RunError unless the name is letters, digits and underscores, or two such names joined
// by one "." (schema.table).
void CheckTableName(std::string_view tableName);

// The query for the description of one series in rsite.
std::string SiteQueryText(std::string_view item);

// The table the values of a series are read from in the text report: daily values for the
// data types 10, 11 and 27, whatever table was asked for.
std::string QueryTable(const std::string& tableName, std::int16_t datatypeId);

// The data query of one series as the report describes it: both date literals written
// mm/dd/yyyy hh:mm (two blanks before the end's time) between the session's date delimiter.
struct DataQuery {
    struct DateLiteral {
        std::size_t offset = 0; // in text, delimiters included
        std::size_t length = 0;
        DateTime shown = 0.0; // the date and minute the literal shows
    };
    std::string text;
    std::array<DateLiteral, 2> literals;
};

DataQuery BuildDataQuery(std::string_view queryTable,
                         std::string_view item,
                         DateTime windowStart,
                         DateTime windowEnd,
                         char dateDelimiter);

// The query's text with its two date literals replaced by the connected database's own
// literals for the times they show (`startLiteral`, `endLiteral`).
std::string WithDatabaseLiterals(const DataQuery& query,
                                 std::string_view startLiteral,
                                 std::string_view endLiteral);

} // namespace rill
