#pragma once

#include <string>
#include <string_view>

#include "common/date_time.hpp"
#include "dbsession/value.hpp"

namespace rill::sqlexport {

// A number in its shortest text that reads back as the same value, at most 15 significant
// digits, "." as decimal separator; exponent form ("1E+15", "1.5E-06") only below 1e-5 or from
// 1e15 on.
std::string FormatNumber(double value);

// US form without leading zeros: "11/13/2014 4:00:00 AM"; the date alone at midnight, the time
// alone on the zero date (30 December 1899). Rounded to the nearest second.
std::string FormatDateTime(DateTime value);

// The text of one result cell: text as stored, a number between one leading blank (or its
// minus sign) and one trailing blank, "True"/"False", "Null", bytes as upper-case hex digits.
// The view points into the value or into `scratch`, which is reused from cell to cell.
std::string_view CellText(const Value& value, std::string& scratch);

// The text a value adds to the site header line: as in a cell, but a number without its
// blanks and Null as nothing.
std::string_view PlainText(const Value& value, std::string& scratch);

} // namespace rill::sqlexport
