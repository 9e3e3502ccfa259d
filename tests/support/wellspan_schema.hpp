#pragma once

#include <string>

namespace rill::testing {

// The Wellspan tables the programs read, in SQLite's types: date-times are ISO text in columns
// declared DATETIME. Fixtures add their rows after it.
inline const std::string kWellspanTables = R"sql(
CREATE TABLE rsite (datatype_site_id INTEGER, site_name TEXT, datatype_name TEXT,
                    unit_name TEXT, datatype_id INTEGER, state TEXT, notes TEXT);
CREATE TABLE rupdate (datatype_site_id INTEGER, value DATETIME, site_name TEXT);
CREATE TABLE rhour (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE rday (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE runit (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE rmonth (datatype_site_id INTEGER, date_time DATETIME, value REAL);
CREATE TABLE ryear (datatype_site_id INTEGER, date_time DATETIME, value REAL);
)sql";

} // namespace rill::testing
