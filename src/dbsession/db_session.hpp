#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/date_time.hpp"
#include "dbsession/value.hpp"

namespace rill {

class DbBackend;
class QueryCursor;

enum class DelimiterStep { Classify, Skip };

// The one database session of a run: one connection and one result set that every query of
// the run is opened into. A forward walk streams rows from the database; the rows are held in
// memory only when MoveLast or RecordCount asks for the whole result.
class DbSession {
public:
    DbSession();
    DbSession(const DbSession&) = delete;
    DbSession& operator=(const DbSession&) = delete;
    ~DbSession();

    // Reads the connection setup file of the program directory and opens the connection.
    void OpenSession(const std::string& programDirectory, DelimiterStep step);
    // Opens the connection from a connection string directly.
    void OpenConnection(const std::string& connectionString, DelimiterStep step);

    bool IsOpen() const { return backend_ != nullptr; }
    const std::string& ConnectionString() const { return connectionString_; }
    char DateDelimiter() const { return dateDelimiter_; }
    // The literal for a date-time value that the connected database compares correctly.
    std::string DateTimeLiteral(DateTime value) const;

    void OpenQuery(const std::string& sql);
    bool QueryIsOpen() const { return cursor_ != nullptr; }
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    std::int64_t RecordCount();
    const Value& Field(int index) const;
    int FieldCount() const;
    const std::string& FieldName(int index) const;
    void CloseQuery();
    void CloseSession();

private:
    void RequireQuery(const char* operation) const;
    void Materialize();
    const std::vector<Value>& CurrentRow() const;

    std::string connectionString_;
    char dateDelimiter_ = '\'';
    std::unique_ptr<DbBackend> backend_;
    std::unique_ptr<QueryCursor> cursor_;
    // Streaming state: the row at position_ lives in streamRow_ unless materialized_.
    std::vector<Value> streamRow_;
    std::vector<std::vector<Value>> rows_;
    bool materialized_ = false;
    bool eof_ = true;
    std::int64_t position_ = 0;
};

} // namespace rill
