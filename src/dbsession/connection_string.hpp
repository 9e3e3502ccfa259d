#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rill {

// The date-literal delimiter for the queries RillfetchNOW builds: '#' for Jet, Access and Excel
// connection strings, '\'' for every other.
char ClassifyDateDelimiter(std::string_view connectionString);

// The value of a keyword of an ODBC connection string (keyword matched without regard to case,
// braces around the value removed); nullopt when the keyword is absent.
std::optional<std::string> ConnectionStringValue(std::string_view connectionString,
                                                 std::string_view keyword);

// The database file when the string names the SQLite 3 driver by name, so that the built-in
// engine serves it; nullopt otherwise.
std::optional<std::string> NativeSqliteDatabase(std::string_view connectionString);

// True when the connection string is served by the built-in engine and its database file is
// the file at `path`: writing there would destroy the data the run reads.
bool NamesNativeDatabaseFile(std::string_view connectionString, const std::string& path);

// True for an OLE DB connection string (it names a Provider), which ODBC cannot open.
bool IsOleDbConnectionString(std::string_view connectionString);

} // namespace rill
