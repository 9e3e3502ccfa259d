// Connections through the ODBC driver manager for every connection string that the built-in
// SQLite engine does not serve. Rows are fetched in blocks into column-wise bound arrays; text
// and binary values longer than their bound buffer are read whole with SQLGetData.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sql.h>
#include <sqlext.h>

#include "common/run_error.hpp"
#include "common/text.hpp"
#include "dbsession/backend.hpp"

namespace rill {

namespace {

constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr SQLULEN kMaxRowsPerBlock = 256;
constexpr std::size_t kBlockBudgetBytes = std::size_t{1} << 20;
// Character and binary columns declared up to this size are bound whole; longer or unbounded
// ones get a head buffer of kLongHeadBytes and the rest is read when a value overflows it.
constexpr SQLULEN kBoundWholeLimit = 8192;
constexpr std::size_t kLongHeadBytes = 4096;
constexpr std::size_t kGetDataChunkBytes = 65536;

template <SQLSMALLINT HandleType> struct HandleFreer {
    void operator()(SQLHANDLE handle) const { SQLFreeHandle(HandleType, handle); }
};

struct ConnectionFreer {
    // Disconnecting an unconnected handle fails harmlessly; either way the handle is freed.
    void operator()(SQLHDBC handle) const {
        SQLDisconnect(handle);
        SQLFreeHandle(SQL_HANDLE_DBC, handle);
    }
};

using EnvHandle = std::unique_ptr<void, HandleFreer<SQL_HANDLE_ENV>>;
using ConnectionHandle = std::unique_ptr<void, ConnectionFreer>;
using StatementHandle = std::unique_ptr<void, HandleFreer<SQL_HANDLE_STMT>>;

// "SQLSTATE message" for every diagnostic record of the handle, joined with "; ".
std::string Diagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER nativeError = 0;
        std::vector<SQLCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRec(handleType,
                                     handle,
                                     record,
                                     state,
                                     &nativeError,
                                     message.data(),
                                     static_cast<SQLSMALLINT>(message.size()),
                                     &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(length) + 1);
            rc = SQLGetDiagRec(handleType,
                               handle,
                               record,
                               state,
                               &nativeError,
                               message.data(),
                               static_cast<SQLSMALLINT>(message.size()),
                               &length);
        }
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        if (!text.empty()) {
            text += "; ";
        }
        const auto shown = std::min(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                                    message.size() - 1);
        text += "SQLSTATE ";
        text += reinterpret_cast<const char*>(state);
        text += ": ";
        text.append(reinterpret_cast<const char*>(message.data()), shown);
    }
    return text.empty() ? "the driver gave no diagnostics" : text;
}

// The one place that judges ODBC return codes: success (with or without information) passes,
// anything else becomes a RunError carrying the driver's SQLSTATE and message.
void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, std::string_view what) {
    if (SQL_SUCCEEDED(rc)) {
        return;
    }
    std::string message = "ODBC: ";
    message += what;
    message += ": ";
    if (rc == SQL_INVALID_HANDLE) {
        message += "invalid handle";
    } else {
        message += Diagnostics(handleType, handle);
    }
    throw RunError(message);
}

enum class CellKind { Text, Integer, Number, Timestamp, Time, Bool, BoolText, Bytes };

struct Column {
    CellKind kind = CellKind::Text;
    SQLSMALLINT cType = SQL_C_CHAR;
    // Bytes per element of the bound array; 0 for a column read with SQLGetData only.
    std::size_t elementSize = 0;
    std::vector<unsigned char> buffer;
    std::vector<SQLLEN> indicators;
};

bool IsCharacterType(SQLSMALLINT type) {
    switch (type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return true;
    default:
        return false;
    }
}

// How a column of the given SQL type is read. PostgreSQL's boolean arrives as a character
// column named "bool" when psqlODBC's BoolsAsChar is on (its default); it is read as Bool too.
CellKind KindOf(SQLSMALLINT type, std::string_view typeName) {
    switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return CellKind::Integer;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return CellKind::Number;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TIMESTAMP:
    case SQL_DATE:
        return CellKind::Timestamp;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return CellKind::Time;
    case SQL_BIT:
        return CellKind::Bool;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return CellKind::Bytes;
    default:
        if (IsCharacterType(type) &&
            (EqualsIgnoreCase(typeName, "bool") || EqualsIgnoreCase(typeName, "boolean"))) {
            return CellKind::BoolText;
        }
        return CellKind::Text;
    }
}

bool IsVariableLength(CellKind kind) {
    return kind == CellKind::Text || kind == CellKind::Bytes;
}

// Bound bytes per value: the whole declared size where it is known and modest (four bytes a
// character, as UTF-8 may need, plus the terminator), else a head buffer.
std::size_t BoundSize(CellKind kind, SQLSMALLINT type, SQLULEN columnSize) {
    switch (kind) {
    case CellKind::Integer:
        return sizeof(SQLBIGINT);
    case CellKind::Number:
        return sizeof(SQLDOUBLE);
    case CellKind::Timestamp:
        return sizeof(SQL_TIMESTAMP_STRUCT);
    case CellKind::Time:
        return sizeof(SQL_TIME_STRUCT);
    case CellKind::Bool:
        return sizeof(SQLCHAR);
    case CellKind::BoolText:
        return 8;
    case CellKind::Text:
    case CellKind::Bytes:
        break;
    }
    const bool longType =
        type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
    if (longType || columnSize == 0 || columnSize > kBoundWholeLimit) {
        return kLongHeadBytes;
    }
    return kind == CellKind::Text ? static_cast<std::size_t>(columnSize) * 4 + 1
                                  : static_cast<std::size_t>(columnSize);
}

SQLSMALLINT CTypeOf(CellKind kind) {
    switch (kind) {
    case CellKind::Integer:
        return SQL_C_SBIGINT;
    case CellKind::Number:
        return SQL_C_DOUBLE;
    case CellKind::Timestamp:
        return SQL_C_TYPE_TIMESTAMP;
    case CellKind::Time:
        return SQL_C_TYPE_TIME;
    case CellKind::Bool:
        return SQL_C_BIT;
    case CellKind::Bytes:
        return SQL_C_BINARY;
    case CellKind::Text:
    case CellKind::BoolText:
        break;
    }
    return SQL_C_CHAR;
}

template <typename T> T Load(const unsigned char* data) {
    T value;
    std::memcpy(&value, data, sizeof(T));
    return value;
}

DateTime FromTimestamp(const SQL_TIMESTAMP_STRUCT& ts) {
    CivilDateTime civil;
    civil.year = ts.year;
    civil.month = ts.month;
    civil.day = ts.day;
    civil.hour = ts.hour;
    civil.minute = ts.minute;
    civil.second = ts.second;
    civil.millisecond = static_cast<int>((ts.fraction + 500'000) / 1'000'000);
    return ToDateTime(civil);
}

// A time of day alone lies on the zero date, 1899-12-30.
DateTime FromTime(const SQL_TIME_STRUCT& time) {
    CivilDateTime civil;
    civil.hour = time.hour;
    civil.minute = time.minute;
    civil.second = time.second;
    return ToDateTime(civil);
}

bool BoolFromText(std::string_view text) {
    const std::string_view value = TrimBlanks(text);
    return !value.empty() && (value[0] == '1' || value[0] == 't' || value[0] == 'T' ||
                              value[0] == 'y' || value[0] == 'Y');
}

class OdbcCursor final : public QueryCursor {
public:
    OdbcCursor(SQLHDBC dbc, std::string sql, SQLUINTEGER getDataExtensions) : sql_(std::move(sql)) {
        SQLHANDLE raw = SQL_NULL_HANDLE;
        Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &raw),
              SQL_HANDLE_DBC,
              dbc,
              "cannot allocate a statement");
        statement_.reset(raw);
        // Both are the ODBC defaults; a driver that objects keeps its own, which only reads too.
        (void)SQLSetStmtAttr(
            Stmt(), SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY), 0);
        (void)SQLSetStmtAttr(
            Stmt(), SQL_ATTR_CONCURRENCY, reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
        Prepare();
        Run();
        Describe();
        Bind(getDataExtensions);
    }

    const std::vector<std::string>& ColumnNames() const override { return names_; }

    bool Fetch(std::vector<Value>& row) override {
        if (next_ >= fetched_) {
            if (done_ || !FetchBlock()) {
                return false;
            }
        }
        const SQLULEN index = next_++;
        positioned_ = false;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            ReadCell(i, index, row[i]);
        }
        return true;
    }

    void Restart() override {
        Check(SQLFreeStmt(Stmt(), SQL_CLOSE), SQL_HANDLE_STMT, Stmt(), "cannot close the query");
        Run();
        fetched_ = 0;
        next_ = 0;
        done_ = false;
    }

private:
    SQLHSTMT Stmt() const { return statement_.get(); }

    // Compiles the statement and, where the driver can tell before running it, refuses one that
    // returns no rows: drivers that ignore the read-only request would otherwise carry out an
    // UPDATE or DELETE before it could be refused.
    void Prepare() {
        Check(SQLPrepare(Stmt(),
                         reinterpret_cast<SQLCHAR*>(sql_.data()),
                         static_cast<SQLINTEGER>(sql_.size())),
              SQL_HANDLE_STMT,
              Stmt(),
              "the query failed");
        SQLSMALLINT count = 0;
        if (SQL_SUCCEEDED(SQLNumResultCols(Stmt(), &count)) && count <= 0) {
            throw RunError("ODBC: the statement returns no rows and columns; only queries that "
                           "read rows can be run, and this one was not");
        }
    }

    void Run() {
        const SQLRETURN rc = SQLExecute(Stmt());
        // A searched update that touches no row answers SQL_NO_DATA; it has no result set either.
        if (rc != SQL_NO_DATA) {
            Check(rc, SQL_HANDLE_STMT, Stmt(), "the query failed");
        }
        SQLSMALLINT count = 0;
        Check(SQLNumResultCols(Stmt(), &count),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot read the query's columns");
        if (count <= 0) {
            throw RunError("ODBC: the statement returned no rows and columns; only queries that "
                           "read rows can be run");
        }
        columnCount_ = static_cast<SQLUSMALLINT>(count);
    }

    void Describe() {
        names_.reserve(columnCount_);
        columns_.resize(columnCount_);
        for (SQLUSMALLINT number = 1; number <= columnCount_; ++number) {
            std::vector<SQLCHAR> name(256);
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT type = 0;
            SQLULEN size = 0;
            SQLSMALLINT digits = 0;
            SQLSMALLINT nullable = 0;
            const auto describe = [&] {
                Check(SQLDescribeCol(Stmt(),
                                     number,
                                     name.data(),
                                     static_cast<SQLSMALLINT>(name.size()),
                                     &nameLength,
                                     &type,
                                     &size,
                                     &digits,
                                     &nullable),
                      SQL_HANDLE_STMT,
                      Stmt(),
                      "cannot describe a column of the query");
            };
            describe();
            if (nameLength >= static_cast<SQLSMALLINT>(name.size())) {
                name.resize(static_cast<std::size_t>(nameLength) + 1);
                describe();
            }
            names_.emplace_back(reinterpret_cast<const char*>(name.data()),
                                static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)));

            std::string typeName;
            if (IsCharacterType(type)) {
                SQLCHAR buffer[64] = {};
                SQLSMALLINT length = 0;
                Check(SQLColAttribute(Stmt(),
                                      number,
                                      SQL_DESC_TYPE_NAME,
                                      buffer,
                                      sizeof(buffer),
                                      &length,
                                      nullptr),
                      SQL_HANDLE_STMT,
                      Stmt(),
                      "cannot read a column's type name");
                typeName = reinterpret_cast<const char*>(buffer);
            }
            Column& column = columns_[number - 1U];
            column.kind = KindOf(type, typeName);
            column.cType = CTypeOf(column.kind);
            column.elementSize = BoundSize(column.kind, type, size);
        }
    }

    // Blocks of rows need SQLGetData on bound columns of a positioned row to finish an
    // overflowing value. A driver without that reads one row at a time; one that cannot read a
    // bound column again leaves text and binary columns, and all after them, to SQLGetData.
    void Bind(SQLUINTEGER getDataExtensions) {
        const bool hasVariable = std::any_of(columns_.begin(), columns_.end(), [](const Column& c) {
            return IsVariableLength(c.kind);
        });
        const bool getDataOnBound = (getDataExtensions & SQL_GD_BOUND) != 0;
        const bool getDataInBlock = (getDataExtensions & SQL_GD_BLOCK) != 0;
        if (hasVariable && !getDataOnBound) {
            bool unbind = false;
            for (Column& column : columns_) {
                unbind = unbind || IsVariableLength(column.kind);
                if (unbind) {
                    column.elementSize = 0;
                }
            }
        }
        std::size_t rowBytes = 0;
        for (const Column& column : columns_) {
            rowBytes += column.elementSize + sizeof(SQLLEN);
        }
        rowsPerBlock_ = std::clamp<SQLULEN>(kBlockBudgetBytes / rowBytes, 1, kMaxRowsPerBlock);
        if (hasVariable && !(getDataOnBound && getDataInBlock)) {
            rowsPerBlock_ = 1;
        }

        Check(SQLSetStmtAttr(Stmt(),
                             SQL_ATTR_ROW_BIND_TYPE,
                             reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN),
                             0),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot bind the query's columns");
        Check(SQLSetStmtAttr(
                  Stmt(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsPerBlock_), 0),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot set the number of rows fetched at once");
        // A driver may lower the block size; it reports the size it uses.
        Check(SQLGetStmtAttr(Stmt(), SQL_ATTR_ROW_ARRAY_SIZE, &rowsPerBlock_, 0, nullptr),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot read the number of rows fetched at once");
        Check(SQLSetStmtAttr(Stmt(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched_, 0),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot bind the fetched-row count");
        rowStatus_.resize(rowsPerBlock_);
        Check(SQLSetStmtAttr(Stmt(), SQL_ATTR_ROW_STATUS_PTR, rowStatus_.data(), 0),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot bind the row status array");

        for (std::size_t i = 0; i < columns_.size(); ++i) {
            Column& column = columns_[i];
            if (column.elementSize == 0) {
                continue;
            }
            column.buffer.resize(column.elementSize * rowsPerBlock_);
            column.indicators.resize(rowsPerBlock_);
            Check(SQLBindCol(Stmt(),
                             static_cast<SQLUSMALLINT>(i + 1),
                             column.cType,
                             column.buffer.data(),
                             static_cast<SQLLEN>(column.elementSize),
                             column.indicators.data()),
                  SQL_HANDLE_STMT,
                  Stmt(),
                  "cannot bind a column of the query");
        }
    }

    bool FetchBlock() {
        fetched_ = 0;
        next_ = 0;
        const SQLRETURN rc = SQLFetch(Stmt());
        if (rc == SQL_NO_DATA) {
            done_ = true;
            return false;
        }
        Check(rc, SQL_HANDLE_STMT, Stmt(), "cannot read the query's rows");
        for (SQLULEN i = 0; i < fetched_; ++i) {
            if (rowStatus_[i] == SQL_ROW_ERROR) {
                throw RunError("ODBC: cannot read a row of the query: " +
                               Diagnostics(SQL_HANDLE_STMT, Stmt()));
            }
        }
        return fetched_ > 0;
    }

    void ReadCell(std::size_t i, SQLULEN index, Value& out) {
        Column& column = columns_[i];
        if (column.elementSize == 0) {
            ReadWithGetData(i, out);
            return;
        }
        const SQLLEN indicator = column.indicators[index];
        if (indicator == SQL_NULL_DATA) {
            out.SetNull();
            return;
        }
        const unsigned char* data = column.buffer.data() + index * column.elementSize;
        switch (column.kind) {
        case CellKind::Integer:
            out.SetInteger(Load<SQLBIGINT>(data));
            return;
        case CellKind::Number:
            out.SetNumber(Load<SQLDOUBLE>(data));
            return;
        case CellKind::Timestamp:
            out.SetDateTime(FromTimestamp(Load<SQL_TIMESTAMP_STRUCT>(data)));
            return;
        case CellKind::Time:
            out.SetDateTime(FromTime(Load<SQL_TIME_STRUCT>(data)));
            return;
        case CellKind::Bool:
            out.SetBool(data[0] != 0);
            return;
        case CellKind::BoolText:
            out.SetBool(BoolFromText(
                std::string_view(reinterpret_cast<const char*>(data),
                                 std::min(static_cast<std::size_t>(std::max<SQLLEN>(indicator, 0)),
                                          column.elementSize - 1))));
            return;
        case CellKind::Text:
        case CellKind::Bytes:
            break;
        }
        // A character value needs room for its terminator; a binary one does not.
        const std::size_t room =
            column.kind == CellKind::Text ? column.elementSize - 1 : column.elementSize;
        if (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room) {
            PositionOn(index);
            ReadWithGetData(i, out);
        } else if (column.kind == CellKind::Text) {
            out.SetText(std::string_view(reinterpret_cast<const char*>(data),
                                         static_cast<std::size_t>(indicator)));
        } else {
            out.SetBytes(data, static_cast<std::size_t>(indicator));
        }
    }

    // SQLGetData reads from the cursor's current row, which in a block is chosen by SQLSetPos.
    void PositionOn(SQLULEN index) {
        if (rowsPerBlock_ == 1 || positioned_) {
            return;
        }
        Check(SQLSetPos(
                  Stmt(), static_cast<SQLSETPOSIROW>(index + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE),
              SQL_HANDLE_STMT,
              Stmt(),
              "cannot position on a row of the query");
        positioned_ = true;
    }

    void ReadWithGetData(std::size_t i, Value& out) {
        const Column& column = columns_[i];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLLEN indicator = 0;
        const auto get = [&](SQLSMALLINT cType, SQLPOINTER target, SQLLEN size) {
            const SQLRETURN rc = SQLGetData(Stmt(), number, cType, target, size, &indicator);
            if (rc != SQL_NO_DATA) {
                Check(rc, SQL_HANDLE_STMT, Stmt(), "cannot read a value of the query");
            }
            return rc;
        };
        switch (column.kind) {
        case CellKind::Integer: {
            SQLBIGINT value = 0;
            get(column.cType, &value, 0);
            indicator == SQL_NULL_DATA ? out.SetNull() : out.SetInteger(value);
            return;
        }
        case CellKind::Number: {
            SQLDOUBLE value = 0;
            get(column.cType, &value, 0);
            indicator == SQL_NULL_DATA ? out.SetNull() : out.SetNumber(value);
            return;
        }
        case CellKind::Timestamp: {
            SQL_TIMESTAMP_STRUCT value{};
            get(column.cType, &value, 0);
            indicator == SQL_NULL_DATA ? out.SetNull() : out.SetDateTime(FromTimestamp(value));
            return;
        }
        case CellKind::Time: {
            SQL_TIME_STRUCT value{};
            get(column.cType, &value, 0);
            indicator == SQL_NULL_DATA ? out.SetNull() : out.SetDateTime(FromTime(value));
            return;
        }
        case CellKind::Bool: {
            SQLCHAR value = 0;
            get(column.cType, &value, 0);
            indicator == SQL_NULL_DATA ? out.SetNull() : out.SetBool(value != 0);
            return;
        }
        case CellKind::BoolText:
        case CellKind::Text:
        case CellKind::Bytes:
            break;
        }
        // Character and binary data arrive in pieces; each piece but the last fills the buffer
        // (less the terminator for characters).
        const bool characters = column.kind != CellKind::Bytes;
        chunk_.resize(kGetDataChunkBytes);
        whole_.clear();
        for (;;) {
            const SQLRETURN rc =
                get(column.cType, chunk_.data(), static_cast<SQLLEN>(chunk_.size()));
            if (rc == SQL_NO_DATA) {
                break;
            }
            if (indicator == SQL_NULL_DATA) {
                out.SetNull();
                return;
            }
            const std::size_t room = characters ? chunk_.size() - 1 : chunk_.size();
            const bool partial =
                indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
            whole_.insert(whole_.end(),
                          chunk_.begin(),
                          chunk_.begin() +
                              static_cast<std::ptrdiff_t>(
                                  partial ? room : static_cast<std::size_t>(indicator)));
            if (!partial) {
                break;
            }
        }
        const std::string_view text(reinterpret_cast<const char*>(whole_.data()), whole_.size());
        if (column.kind == CellKind::Bytes) {
            out.SetBytes(whole_.data(), whole_.size());
        } else if (column.kind == CellKind::BoolText) {
            out.SetBool(BoolFromText(text));
        } else {
            out.SetText(text);
        }
    }

    std::string sql_;
    StatementHandle statement_;
    SQLUSMALLINT columnCount_ = 0;
    std::vector<std::string> names_;
    std::vector<Column> columns_;
    SQLULEN rowsPerBlock_ = 1;
    SQLULEN fetched_ = 0;
    SQLULEN next_ = 0;
    std::vector<SQLUSMALLINT> rowStatus_;
    bool done_ = false;
    bool positioned_ = false;
    std::vector<unsigned char> chunk_;
    std::vector<unsigned char> whole_;
};

// Cursors hold statements of this connection: they end before Close() or the backend does,
// as DbSession's member order ensures.
class OdbcBackend final : public DbBackend {
public:
    explicit OdbcBackend(const std::string& connectionString) {
        SQLHANDLE raw = SQL_NULL_HANDLE;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw))) {
            throw RunError("ODBC: cannot allocate an environment: the driver manager failed");
        }
        env_.reset(raw);
        Check(SQLSetEnvAttr(
                  env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV,
              env_.get(),
              "cannot select ODBC version 3");
        raw = SQL_NULL_HANDLE;
        Check(SQLAllocHandle(SQL_HANDLE_DBC, env_.get(), &raw),
              SQL_HANDLE_ENV,
              env_.get(),
              "cannot allocate a connection");
        dbc_.reset(raw);
        Check(SQLSetConnectAttr(dbc_.get(),
                                SQL_ATTR_LOGIN_TIMEOUT,
                                reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds),
                                0),
              SQL_HANDLE_DBC,
              dbc_.get(),
              "cannot set the login timeout");
        // Only a request: drivers that cannot honour it connect read-write.
        (void)SQLSetConnectAttr(
            dbc_.get(), SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);

        std::string text = connectionString;
        if (text.size() > static_cast<std::size_t>(std::numeric_limits<SQLSMALLINT>::max())) {
            throw RunError("ODBC: cannot connect: the connection string is too long");
        }
        Check(SQLDriverConnect(dbc_.get(),
                               nullptr,
                               reinterpret_cast<SQLCHAR*>(text.data()),
                               static_cast<SQLSMALLINT>(text.size()),
                               nullptr,
                               0,
                               nullptr,
                               SQL_DRIVER_NOPROMPT),
              SQL_HANDLE_DBC,
              dbc_.get(),
              "cannot connect");
        Check(SQLGetInfo(dbc_.get(),
                         SQL_GETDATA_EXTENSIONS,
                         &getDataExtensions_,
                         sizeof(getDataExtensions_),
                         nullptr),
              SQL_HANDLE_DBC,
              dbc_.get(),
              "cannot read the driver's capabilities");
        MakeSessionReadOnly();
    }

    std::unique_ptr<QueryCursor> Execute(const std::string& sql) override {
        if (!dbc_) {
            throw RunError("ODBC: the connection is closed");
        }
        return std::make_unique<OdbcCursor>(dbc_.get(), sql, getDataExtensions_);
    }

    std::string DateTimeLiteral(DateTime value) const override {
        return "{ts '" + FormatIsoDateTime(value) + "'}";
    }

    void Close() override {
        if (!dbc_) {
            return;
        }
        Check(SQLDisconnect(dbc_.get()), SQL_HANDLE_DBC, dbc_.get(), "cannot disconnect");
        dbc_.reset();
        env_.reset();
    }

private:
    // psqlODBC accepts the read-only request but leaves the session writable; PostgreSQL itself
    // then refuses writes once the session's transactions are read-only.
    void MakeSessionReadOnly() {
        SQLUINTEGER mode = SQL_MODE_READ_WRITE;
        const SQLRETURN rc = SQLGetConnectAttr(dbc_.get(), SQL_ATTR_ACCESS_MODE, &mode, 0, nullptr);
        if (SQL_SUCCEEDED(rc) && mode == SQL_MODE_READ_ONLY) {
            return;
        }
        SQLCHAR name[64] = {};
        SQLSMALLINT length = 0;
        Check(SQLGetInfo(dbc_.get(), SQL_DBMS_NAME, name, sizeof(name), &length),
              SQL_HANDLE_DBC,
              dbc_.get(),
              "cannot read the database's name");
        if (!EqualsIgnoreCase(reinterpret_cast<const char*>(name), "PostgreSQL")) {
            return;
        }
        SQLHANDLE raw = SQL_NULL_HANDLE;
        Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc_.get(), &raw),
              SQL_HANDLE_DBC,
              dbc_.get(),
              "cannot allocate a statement");
        const StatementHandle statement(raw);
        std::string sql = "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY";
        Check(SQLExecDirect(statement.get(),
                            reinterpret_cast<SQLCHAR*>(sql.data()),
                            static_cast<SQLINTEGER>(sql.size())),
              SQL_HANDLE_STMT,
              statement.get(),
              "cannot make the session read-only");
    }

    EnvHandle env_;
    ConnectionHandle dbc_;
    SQLUINTEGER getDataExtensions_ = 0;
};

} // namespace

std::unique_ptr<DbBackend> OpenOdbcBackend(const std::string& connectionString) {
    return std::make_unique<OdbcBackend>(connectionString);
}

} // namespace rill
