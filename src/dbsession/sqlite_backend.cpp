// The built-in engine for connection strings that name the SQLite 3 driver: the database file
// is opened read-only and statements that would write are refused before they run.
#include <memory>

#include <sqlite3.h>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "dbsession/backend.hpp"

namespace rill {

namespace {

// A loader that commits to the database holds it for a moment; a run that meets it waits this
// long for the lock instead of failing at once.
constexpr int kBusyTimeoutMs = 30'000;

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, SqliteCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw RunError("SQLite: " + what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

enum class ColumnStyle { Plain, DateTime, Bool };

// How a column's declared type asks its values to be read: SQLite keeps date-times as ISO
// text in columns declared DATETIME, TIMESTAMP or DATE.
ColumnStyle StyleOf(const char* declared) {
    if (declared == nullptr) {
        return ColumnStyle::Plain;
    }
    const std::string upper = ToUpperAscii(declared);
    if (upper.find("DATE") != std::string::npos || upper.find("TIMESTAMP") != std::string::npos) {
        return ColumnStyle::DateTime;
    }
    if (upper.find("BOOL") != std::string::npos || upper == "BIT") {
        return ColumnStyle::Bool;
    }
    return ColumnStyle::Plain;
}

class SqliteCursor final : public QueryCursor {
public:
    SqliteCursor(sqlite3* db, StatementHandle statement)
        : db_(db), statement_(std::move(statement)) {
        const int count = sqlite3_column_count(statement_.get());
        for (int i = 0; i < count; ++i) {
            const char* name = sqlite3_column_name(statement_.get(), i);
            names_.emplace_back(name ? name : "");
            styles_.push_back(StyleOf(sqlite3_column_decltype(statement_.get(), i)));
        }
    }

    const std::vector<std::string>& ColumnNames() const override { return names_; }

    bool Fetch(std::vector<Value>& row) override {
        if (done_) {
            return false;
        }
        sqlite3_stmt* stmt = statement_.get();
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) {
            done_ = true;
            return false;
        }
        if (rc != SQLITE_ROW) {
            Fail(db_, "query failed");
        }
        for (std::size_t i = 0; i < names_.size(); ++i) {
            ReadColumn(stmt, static_cast<int>(i), styles_[i], row[i]);
        }
        return true;
    }

    void Restart() override {
        sqlite3_reset(statement_.get());
        done_ = false;
    }

private:
    static void ReadColumn(sqlite3_stmt* stmt, int i, ColumnStyle style, Value& out) {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            out.SetNull();
            return;
        case SQLITE_INTEGER: {
            const sqlite3_int64 value = sqlite3_column_int64(stmt, i);
            if (style == ColumnStyle::Bool) {
                out.SetBool(value != 0);
            } else {
                out.SetInteger(value);
            }
            return;
        }
        case SQLITE_FLOAT:
            out.SetNumber(sqlite3_column_double(stmt, i));
            return;
        case SQLITE_BLOB: {
            const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, i));
            out.SetBytes(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
            return;
        }
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            const std::string_view view(text,
                                        static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
            if (style == ColumnStyle::DateTime) {
                if (const auto parsed = ParseIsoDateTime(view)) {
                    out.SetDateTime(*parsed);
                    return;
                }
            }
            out.SetText(view);
            return;
        }
        }
    }

    sqlite3* db_;
    StatementHandle statement_;
    std::vector<std::string> names_;
    std::vector<ColumnStyle> styles_;
    bool done_ = false;
};

bool OnlyWhiteSpaceAndSemicolons(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n' && *text != ';') {
            return false;
        }
    }
    return true;
}

class SqliteBackend final : public DbBackend {
public:
    explicit SqliteBackend(const std::string& path) {
        if (path.empty()) {
            throw RunError("SQLite: the connection string names no database file (Database=)");
        }
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(
            path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        db_.reset(raw);
        if (rc != SQLITE_OK) {
            Fail(db_.get(), "cannot open database " + path);
        }
        sqlite3_busy_timeout(db_.get(), kBusyTimeoutMs);
        // A file that is not a database opens without complaint; reading its schema tells.
        if (sqlite3_exec(
                db_.get(), "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            Fail(db_.get(), "cannot read database " + path);
        }
    }

    std::unique_ptr<QueryCursor> Execute(const std::string& sql) override {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(
                db_.get(), sql.c_str(), static_cast<int>(sql.size()) + 1, &raw, &tail) !=
            SQLITE_OK) {
            Fail(db_.get(), "cannot run query");
        }
        StatementHandle statement(raw);
        if (!statement) {
            throw RunError("SQLite: the query text holds no statement");
        }
        if (tail != nullptr && !OnlyWhiteSpaceAndSemicolons(tail)) {
            throw RunError("SQLite: only one statement can be run at a time");
        }
        if (!sqlite3_stmt_readonly(statement.get())) {
            throw RunError("SQLite: the session is read-only; statements that change the "
                           "database are refused");
        }
        return std::make_unique<SqliteCursor>(db_.get(), std::move(statement));
    }

    std::string DateTimeLiteral(DateTime value) const override {
        std::string literal(1, '\'');
        literal += FormatIsoDateTime(value);
        literal += '\'';
        return literal;
    }

    void Close() override {
        if (db_ && sqlite3_close(db_.get()) != SQLITE_OK) {
            Fail(db_.get(), "cannot close database");
        }
        (void)db_.release();
    }

private:
    DatabaseHandle db_;
};

} // namespace

std::unique_ptr<DbBackend> OpenSqliteBackend(const std::string& databasePath) {
    return std::make_unique<SqliteBackend>(databasePath);
}

} // namespace rill
