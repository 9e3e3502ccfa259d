#include "dbsession/db_session.hpp"

#include "common/run_error.hpp"
#include "dbsession/backend.hpp"
#include "dbsession/connection_string.hpp"
#include "dbsession/setup_file.hpp"

namespace rill {

DbSession::DbSession() = default;

DbSession::~DbSession() {
    try {
        CloseSession();
    } catch (...) {
        // The end of a run closes explicitly; here only the handles are released.
    }
}

void DbSession::OpenSession(const std::string& programDirectory, DelimiterStep step) {
    OpenConnection(ReadConnectionString(programDirectory), step);
}

void DbSession::OpenConnection(const std::string& connectionString, DelimiterStep step) {
    connectionString_ = connectionString;
    if (step == DelimiterStep::Classify) {
        dateDelimiter_ = ClassifyDateDelimiter(connectionString);
    }
    if (IsOleDbConnectionString(connectionString)) {
        throw RunError("The connection string names an OLE DB provider; on this platform it "
                       "must be an ODBC connection string (for example Driver=SQLite3;"
                       "Database=wellspan.db or DSN=wellspan)");
    }
    if (const auto database = NativeSqliteDatabase(connectionString)) {
        backend_ = OpenSqliteBackend(*database);
    } else {
        backend_ = OpenOdbcBackend(connectionString);
    }
}

std::string DbSession::DateTimeLiteral(DateTime value) const {
    if (!backend_) {
        throw RunError("The database session is not open");
    }
    return backend_->DateTimeLiteral(value);
}

void DbSession::OpenQuery(const std::string& sql) {
    if (!backend_) {
        throw RunError("The database session is not open");
    }
    if (cursor_) {
        throw RunError("A query is already open in the result set");
    }
    auto cursor = backend_->Execute(sql);
    streamRow_.assign(cursor->ColumnNames().size(), Value());
    rows_.clear();
    materialized_ = false;
    position_ = 0;
    eof_ = !cursor->Fetch(streamRow_);
    cursor_ = std::move(cursor);
}

void DbSession::RequireQuery(const char* operation) const {
    if (!cursor_) {
        throw RunError(std::string("Operation is not allowed when the result set is closed (") +
                       operation + ")");
    }
}

bool DbSession::Eof() const {
    RequireQuery("EOF");
    return eof_;
}

void DbSession::Materialize() {
    if (materialized_) {
        return;
    }
    const std::size_t columns = streamRow_.size();
    if (position_ > 0) {
        // Rows already walked past are gone from a forward cursor: read the result again.
        cursor_->Restart();
        streamRow_.assign(columns, Value());
        eof_ = !cursor_->Fetch(streamRow_);
    }
    if (!eof_) {
        rows_.push_back(std::move(streamRow_));
        std::vector<Value> row(columns);
        while (cursor_->Fetch(row)) {
            rows_.push_back(row);
        }
    }
    materialized_ = true;
    eof_ = position_ >= static_cast<std::int64_t>(rows_.size());
}

void DbSession::MoveFirst() {
    RequireQuery("MoveFirst");
    if (!materialized_ && position_ == 0) {
        return;
    }
    Materialize();
    position_ = 0;
    eof_ = rows_.empty();
}

void DbSession::MoveLast() {
    RequireQuery("MoveLast");
    Materialize();
    if (rows_.empty()) {
        throw RunError("Either BOF or EOF is True: the query returned no rows (MoveLast)");
    }
    position_ = static_cast<std::int64_t>(rows_.size()) - 1;
    eof_ = false;
}

void DbSession::MoveNext() {
    RequireQuery("MoveNext");
    if (eof_) {
        throw RunError("Either BOF or EOF is True: there is no current row (MoveNext)");
    }
    ++position_;
    if (materialized_) {
        eof_ = position_ >= static_cast<std::int64_t>(rows_.size());
    } else {
        eof_ = !cursor_->Fetch(streamRow_);
    }
}

std::int64_t DbSession::RecordCount() {
    RequireQuery("RecordCount");
    Materialize();
    return static_cast<std::int64_t>(rows_.size());
}

const std::vector<Value>& DbSession::CurrentRow() const {
    RequireQuery("Field");
    if (eof_) {
        throw RunError("Either BOF or EOF is True: there is no current row");
    }
    return materialized_ ? rows_[static_cast<std::size_t>(position_)] : streamRow_;
}

const Value& DbSession::Field(int index) const {
    const auto& row = CurrentRow();
    if (index < 0 || static_cast<std::size_t>(index) >= row.size()) {
        throw RunError("Item cannot be found in the collection: the query has no column " +
                       std::to_string(index));
    }
    return row[static_cast<std::size_t>(index)];
}

int DbSession::FieldCount() const {
    RequireQuery("FieldCount");
    return static_cast<int>(cursor_->ColumnNames().size());
}

const std::string& DbSession::FieldName(int index) const {
    RequireQuery("FieldName");
    const auto& names = cursor_->ColumnNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
        throw RunError("Item cannot be found in the collection: the query has no column " +
                       std::to_string(index));
    }
    return names[static_cast<std::size_t>(index)];
}

void DbSession::CloseQuery() {
    RequireQuery("Close");
    cursor_.reset();
    rows_.clear();
    rows_.shrink_to_fit();
    streamRow_.clear();
    materialized_ = false;
    eof_ = true;
    position_ = 0;
}

void DbSession::CloseSession() {
    cursor_.reset();
    rows_.clear();
    if (backend_) {
        auto backend = std::move(backend_);
        backend->Close();
    }
}

} // namespace rill
