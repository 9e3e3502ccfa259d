#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/date_time.hpp"
#include "dbsession/value.hpp"

namespace rill {

// A query's rows, read forward only. Restart() runs the query again from its first row.
class QueryCursor {
public:
    virtual ~QueryCursor() = default;
    virtual const std::vector<std::string>& ColumnNames() const = 0;
    // Fills `row` (sized to the column count) with the next row; false after the last row.
    virtual bool Fetch(std::vector<Value>& row) = 0;
    virtual void Restart() = 0;
};

// One open database connection. Errors are RunError with the component's own text.
class DbBackend {
public:
    virtual ~DbBackend() = default;
    // Runs a statement that only reads; one that would change the database is refused.
    virtual std::unique_ptr<QueryCursor> Execute(const std::string& sql) = 0;
    // The date-time literal (quotes or escape included) that this database compares correctly
    // with its own date-time columns.
    virtual std::string DateTimeLiteral(DateTime value) const = 0;
    // Closes the connection; reports a failed close.
    virtual void Close() = 0;
};

std::unique_ptr<DbBackend> OpenSqliteBackend(const std::string& databasePath);
std::unique_ptr<DbBackend> OpenOdbcBackend(const std::string& connectionString);

} // namespace rill
