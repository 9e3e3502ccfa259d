#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/date_time.hpp"
#include "common/run_error.hpp"
#include "dbsession/backend.hpp"
#include "dbsession/db_session.hpp"
#include "pg_fixture.hpp"
#include "program_runner.hpp"

namespace rill {
namespace {

using testing::CreateSqliteDatabase;
using testing::PgAdminConnectionString;
using testing::PgReaderConnectionString;
using testing::PgSchemaTest;
using testing::TempDir;

// "Kind:value" for one value, so whole rows compare as text and a failure shows both sides.
std::string Show(const Value& value) {
    std::ostringstream out;
    out.precision(17);
    switch (value.Kind()) {
    case ValueKind::Null:
        return "Null";
    case ValueKind::Text:
        return "Text:" + value.Text();
    case ValueKind::Integer:
        out << "Integer:" << value.Integer();
        break;
    case ValueKind::Number:
        out << "Number:" << value.Number();
        break;
    case ValueKind::Timestamp: {
        const CivilDateTime civil = ToCivil(value.DateTimeValue());
        char millis[8];
        std::snprintf(millis, sizeof(millis), ".%03d", civil.millisecond);
        out << "Timestamp:" << FormatIsoDateTime(value.DateTimeValue()) << millis;
        break;
    }
    case ValueKind::Bool:
        out << "Bool:" << (value.Bool() ? "true" : "false");
        break;
    case ValueKind::Bytes: {
        out << "Bytes:";
        for (const unsigned char byte : value.Bytes()) {
            char hex[3];
            std::snprintf(hex, sizeof(hex), "%02x", byte);
            out << hex;
        }
        break;
    }
    }
    return out.str();
}

// Every row of the session's open query, from the current row on.
std::vector<std::vector<std::string>> WalkRows(DbSession& session) {
    std::vector<std::vector<std::string>> rows;
    for (; !session.Eof(); session.MoveNext()) {
        std::vector<std::string> row;
        for (int i = 0; i < session.FieldCount(); ++i) {
            row.push_back(Show(session.Field(i)));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> FieldNames(const DbSession& session) {
    std::vector<std::string> names;
    for (int i = 0; i < session.FieldCount(); ++i) {
        names.push_back(session.FieldName(i));
    }
    return names;
}

// The text of the RunError the action throws; a failure when it throws nothing.
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunError& error) {
        return error.what();
    }
    ADD_FAILURE() << "expected a RunError";
    return {};
}

void ExpectMentions(const std::string& message, const std::vector<std::string>& parts) {
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    for (const auto& part : parts) {
        EXPECT_NE(message.find(part), std::string::npos) << "'" << part << "' not in: " << message;
    }
}

// Text of `bytes` bytes built from a unit holding a two-byte UTF-8 character, so a value cut
// in the wrong place would show.
std::string LongText(std::size_t bytes) {
    static const std::string unit = "Wellspan gauge \xc3\xa9 ";
    std::string text;
    while (text.size() + unit.size() <= bytes) {
        text += unit;
    }
    text.append(bytes - text.size(), 'x');
    return text;
}

std::string HexOf(std::size_t bytes, unsigned seed) {
    std::string hex;
    for (std::size_t i = 0; i < bytes; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02x", static_cast<unsigned>((i * 7 + seed) & 0xff));
        hex += pair;
    }
    return hex;
}

const std::vector<std::size_t> kLongLengths = {0, 1, 4095, 4096, 4097, 70000, 300000};

std::string SqliteOdbcConnection(const std::filesystem::path& database) {
    return std::string("Driver=") + RILLFETCH_SQLITE_ODBC_DRIVER + ";Database=" + database.string();
}

class SqliteOdbcTest : public ::testing::Test {
protected:
    std::string Create(const std::string& sql) {
        CreateSqliteDatabase(dir_ / "wellspan.db", sql);
        return SqliteOdbcConnection(dir_ / "wellspan.db");
    }

private:
    TempDir dir_;
};

TEST_F(SqliteOdbcTest, RowsArriveInOrderWithTheirKindsAndNullStaysDistinct) {
    const std::string connection = Create(R"(
        CREATE TABLE obs(id INTEGER, site TEXT, level REAL, taken TIMESTAMP, day DATE, at TIME,
                         ok BOOLEAN, raw BLOB, code VARCHAR(8), amount NUMERIC(10,2));
        INSERT INTO obs VALUES (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
        INSERT INTO obs VALUES (1, 'Lower Rill', 1.5, '2024-01-02 03:04:05', '2024-01-02',
                                '03:04:05', 1, x'00ff10', 'A1', 12.25);
        INSERT INTO obs VALUES (2, '', -0.25, '1899-12-30 00:00:00', '1900-03-01', '23:59:59',
                                0, x'01', '', 0);
    )");
    DbSession session;
    session.OpenConnection(connection, DelimiterStep::Classify);
    session.OpenQuery("SELECT * FROM obs ORDER BY id");
    EXPECT_EQ(FieldNames(session),
              (std::vector<std::string>{
                  "id", "site", "level", "taken", "day", "at", "ok", "raw", "code", "amount"}));
    const std::vector<std::vector<std::string>> expected = {
        {"Integer:1",
         "Text:Lower Rill",
         "Number:1.5",
         "Timestamp:2024-01-02 03:04:05.000",
         "Timestamp:2024-01-02 00:00:00.000",
         "Timestamp:1899-12-30 03:04:05.000",
         "Bool:true",
         "Bytes:00ff10",
         "Text:A1",
         "Number:12.25"},
        {"Integer:2",
         "Text:",
         "Number:-0.25",
         "Timestamp:1899-12-30 00:00:00.000",
         "Timestamp:1900-03-01 00:00:00.000",
         "Timestamp:1899-12-30 23:59:59.000",
         "Bool:false",
         "Bytes:01",
         "Text:",
         "Number:0"},
        {"Integer:3", "Null", "Null", "Null", "Null", "Null", "Null", "Null", "Null", "Null"},
    };
    EXPECT_EQ(WalkRows(session), expected);
    session.CloseQuery();
    session.CloseSession();
}

TEST_F(SqliteOdbcTest, LongTextAndBinaryValuesArriveWhole) {
    std::string sql = "CREATE TABLE doc(body TEXT, id INTEGER, raw BLOB);\n";
    for (std::size_t i = 0; i < kLongLengths.size(); ++i) {
        sql += "INSERT INTO doc VALUES ('" + LongText(kLongLengths[i]) + "', " + std::to_string(i) +
               ", x'" + HexOf(kLongLengths[i], static_cast<unsigned>(i)) + "');\n";
    }
    const std::string connection = Create(sql);
    auto backend = OpenOdbcBackend(connection);
    {
        auto cursor = backend->Execute("SELECT body, id, raw FROM doc ORDER BY id");
        std::vector<Value> row(3);
        for (std::size_t i = 0; i < kLongLengths.size(); ++i) {
            SCOPED_TRACE("length " + std::to_string(kLongLengths[i]));
            ASSERT_TRUE(cursor->Fetch(row));
            EXPECT_EQ(row[0].Kind(), ValueKind::Text);
            EXPECT_TRUE(row[0].Text() == LongText(kLongLengths[i]))
                << "text of " << row[0].Text().size() << " bytes differs";
            EXPECT_EQ(Show(row[1]), "Integer:" + std::to_string(i));
            EXPECT_TRUE(Show(row[2]) == "Bytes:" + HexOf(kLongLengths[i], static_cast<unsigned>(i)))
                << "bytes differ";
        }
        EXPECT_FALSE(cursor->Fetch(row));
    }
    backend->Close();
}

TEST_F(SqliteOdbcTest, ForwardWalkStreamsAndWholeResultComesFromRerunning) {
    constexpr int kRows = 100000;
    const std::string connection =
        Create("CREATE TABLE series(id INTEGER, label TEXT, level REAL);\n"
               "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < " +
               std::to_string(kRows) +
               ")\n"
               "INSERT INTO series SELECT x, 'r' || x, x * 0.5 FROM n;\n");
    DbSession session;
    session.OpenConnection(connection, DelimiterStep::Classify);
    session.OpenQuery("SELECT id, label, level FROM series ORDER BY id");
    int count = 0;
    for (; !session.Eof(); session.MoveNext()) {
        ++count;
        if (session.Field(0).Integer() != count ||
            session.Field(1).Text() != "r" + std::to_string(count) ||
            session.Field(2).Number() != count * 0.5) {
            FAIL() << "row " << count << " reads " << Show(session.Field(0)) << " "
                   << Show(session.Field(1)) << " " << Show(session.Field(2));
        }
    }
    EXPECT_EQ(count, kRows);

    session.MoveLast();
    EXPECT_EQ(Show(session.Field(0)), "Integer:100000");
    EXPECT_EQ(Show(session.Field(1)), "Text:r100000");
    EXPECT_EQ(session.RecordCount(), kRows);
    session.MoveFirst();
    EXPECT_EQ(Show(session.Field(0)), "Integer:1");
    session.MoveNext();
    EXPECT_EQ(Show(session.Field(1)), "Text:r2");
    session.CloseQuery();

    // Counting part-way through keeps the current row.
    session.OpenQuery("SELECT id FROM series WHERE id > 99990 ORDER BY id");
    session.MoveNext();
    session.MoveNext();
    EXPECT_EQ(session.RecordCount(), 10);
    EXPECT_EQ(Show(session.Field(0)), "Integer:99993");
    session.CloseSession();
}

TEST_F(SqliteOdbcTest, FailuresCarryTheDriversStateAndText) {
    const std::string connection = Create("CREATE TABLE obs(id INTEGER);\n"
                                          "INSERT INTO obs VALUES (1);\n");
    struct Case {
        std::string connection;
        std::string sql; // empty: opening the connection fails
        std::vector<std::string> mentions;
    };
    const std::vector<Case> cases = {
        {connection, "SELECT * FROM missing", {"SQLSTATE HY000", "no such table: missing"}},
        // The driver only compiles a statement when it runs it: a text that describes no
        // columns is refused unrun, whether it is mistyped or would delete rows.
        {connection, "SELEC 1", {"no rows and columns", "not"}},
        {connection, "DELETE FROM obs WHERE id = 1", {"no rows and columns"}},
        {"Driver=/nonexistent/libnothing.so;Database=x",
         "",
         {"SQLSTATE 01000", "Can't open lib '/nonexistent/libnothing.so'"}},
        {"DSN=rillfetch_no_such_dsn", "", {"SQLSTATE IM002", "Data source name not found"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connection + " / " + c.sql);
        DbSession session;
        if (c.sql.empty()) {
            ExpectMentions(
                ErrorOf([&] { session.OpenConnection(c.connection, DelimiterStep::Classify); }),
                c.mentions);
            EXPECT_FALSE(session.IsOpen());
            continue;
        }
        session.OpenConnection(c.connection, DelimiterStep::Classify);
        ExpectMentions(ErrorOf([&] { session.OpenQuery(c.sql); }), c.mentions);
        EXPECT_FALSE(session.QueryIsOpen());
    }
    // This driver ignores the read-only request: the refused DELETE must not have run.
    DbSession check;
    check.OpenConnection(connection, DelimiterStep::Classify);
    check.OpenQuery("SELECT count(*) FROM obs");
    EXPECT_EQ(Show(check.Field(0)), "Integer:1");
}

TEST_F(SqliteOdbcTest, RestartRereadsFromTheFirstRowAndCloseEndsTheConnection) {
    const std::string connection = Create("CREATE TABLE obs(id INTEGER);\n"
                                          "INSERT INTO obs VALUES (1), (2), (3);\n");
    auto backend = OpenOdbcBackend(connection);
    EXPECT_EQ(backend->DateTimeLiteral(ToDateTime({2024, 3, 5, 6, 7, 8, 0})),
              "{ts '2024-03-05 06:07:08'}");
    {
        auto cursor = backend->Execute("SELECT id FROM obs ORDER BY id");
        std::vector<Value> row(1);
        ASSERT_TRUE(cursor->Fetch(row));
        ASSERT_TRUE(cursor->Fetch(row));
        EXPECT_EQ(Show(row[0]), "Integer:2");
        cursor->Restart();
        std::vector<std::string> ids;
        while (cursor->Fetch(row)) {
            ids.push_back(Show(row[0]));
        }
        EXPECT_EQ(ids, (std::vector<std::string>{"Integer:1", "Integer:2", "Integer:3"}));
    }
    backend->Close();
    ExpectMentions(ErrorOf([&] { backend->Execute("SELECT 1"); }), {"closed"});
}

using PostgresOdbcTest = PgSchemaTest;

TEST_F(PostgresOdbcTest, ValuesArriveWithTheirKindsWhicheverWayBooleansAreReported) {
    Fill(R"(
        CREATE TABLE reading(id integer, site text, code varchar(12), tag char(3),
                             n numeric(12,3), d double precision, r real, big bigint,
                             small smallint, taken timestamp, day date, at time, ok boolean,
                             raw bytea);
        INSERT INTO reading VALUES
          (1, 'Zürich – Süd', 'A-1', 'x', 12.125, -0.5, 2.5, 9007199254740993, -7,
           '2024-02-29 23:59:58.25', '2024-02-29', '12:34:56', true, '\x00ff10'),
          (2, '', '', '', 0, 0, 0, 0, 0, '1899-12-30 00:00:00', '1899-12-29', '00:00:00',
           false, ''),
          (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    )");
    const std::vector<std::vector<std::string>> expected = {
        {"Integer:1",
         "Text:Z\xc3\xbcrich \xe2\x80\x93 S\xc3\xbc"
         "d",
         "Text:A-1",
         "Text:x  ",
         "Number:12.125",
         "Number:-0.5",
         "Number:2.5",
         "Integer:9007199254740993",
         "Integer:-7",
         "Timestamp:2024-02-29 23:59:58.250",
         "Timestamp:2024-02-29 00:00:00.000",
         "Timestamp:1899-12-30 12:34:56.000",
         "Bool:true",
         "Bytes:00ff10"},
        {"Integer:2",
         "Text:",
         "Text:",
         "Text:   ",
         "Number:0",
         "Number:0",
         "Number:0",
         "Integer:0",
         "Integer:0",
         "Timestamp:1899-12-30 00:00:00.000",
         "Timestamp:1899-12-29 00:00:00.000",
         "Timestamp:1899-12-30 00:00:00.000",
         "Bool:false",
         "Bytes:"},
        {"Integer:3",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null",
         "Null"},
    };
    // psqlODBC reports boolean as a character column unless BoolsAsChar=0.
    for (const std::string suffix : {"", ";BoolsAsChar=0"}) {
        SCOPED_TRACE("connection options '" + suffix + "'");
        DbSession session;
        session.OpenConnection(PgReaderConnectionString() + suffix, DelimiterStep::Classify);
        session.OpenQuery("SELECT * FROM " + Table("reading") + " ORDER BY id");
        EXPECT_EQ(FieldNames(session),
                  (std::vector<std::string>{"id",
                                            "site",
                                            "code",
                                            "tag",
                                            "n",
                                            "d",
                                            "r",
                                            "big",
                                            "small",
                                            "taken",
                                            "day",
                                            "at",
                                            "ok",
                                            "raw"}));
        EXPECT_EQ(WalkRows(session), expected);
        session.CloseSession();
    }
}

TEST_F(PostgresOdbcTest, LongValuesArriveWholeAnywhereInABlock) {
    // Long values sit at the start, on and around block boundaries and at the end of the result.
    constexpr int kRows = 600;
    const std::vector<int> longRows = {0, 1, 112, 113, 114, 255, 256, 257, 300, 599};
    std::string sql = "CREATE TABLE doc(id integer, body text, raw bytea, note varchar);\n";
    const auto lengthOf = [&](int id) -> std::size_t {
        for (std::size_t i = 0; i < longRows.size(); ++i) {
            if (longRows[i] == id) {
                return kLongLengths[i % kLongLengths.size()] + i;
            }
        }
        return static_cast<std::size_t>(id % 50);
    };
    for (int id = 0; id < kRows; ++id) {
        const std::size_t length = lengthOf(id);
        sql += "INSERT INTO doc VALUES (" + std::to_string(id) + ", '" + LongText(length) +
               "', '\\x" + HexOf(length, static_cast<unsigned>(id)) + "', '" +
               LongText(length % 3000 + 1000) + "');\n";
    }
    Fill(sql);

    auto backend = OpenOdbcBackend(PgReaderConnectionString());
    {
        auto cursor =
            backend->Execute("SELECT id, body, raw, note FROM " + Table("doc") + " ORDER BY id");
        std::vector<Value> row(4);
        int id = 0;
        while (cursor->Fetch(row)) {
            const std::size_t length = lengthOf(id);
            SCOPED_TRACE("row " + std::to_string(id) + ", length " + std::to_string(length));
            ASSERT_EQ(Show(row[0]), "Integer:" + std::to_string(id));
            ASSERT_EQ(row[1].Kind(), ValueKind::Text);
            ASSERT_TRUE(row[1].Text() == LongText(length))
                << "text of " << row[1].Text().size() << " bytes differs";
            ASSERT_TRUE(Show(row[2]) == "Bytes:" + HexOf(length, static_cast<unsigned>(id)))
                << "bytes differ";
            ASSERT_TRUE(row[3].Text() == LongText(length % 3000 + 1000)) << "note differs";
            ++id;
        }
        EXPECT_EQ(id, kRows);
    }
    backend->Close();
}

TEST_F(PostgresOdbcTest, BlocksOfRowsStreamAndWholeResultComesFromRerunning) {
    Fill("CREATE TABLE series AS SELECT x AS id, 'r' || x AS label FROM "
         "generate_series(1, 5000) AS x;");
    DbSession session;
    session.OpenConnection(PgReaderConnectionString(), DelimiterStep::Classify);
    session.OpenQuery("SELECT id, label FROM " + Table("series") + " ORDER BY id");
    int count = 0;
    for (; !session.Eof(); session.MoveNext()) {
        ++count;
        if (session.Field(0).Integer() != count ||
            session.Field(1).Text() != "r" + std::to_string(count)) {
            FAIL() << "row " << count << " reads " << Show(session.Field(0)) << " "
                   << Show(session.Field(1));
        }
    }
    EXPECT_EQ(count, 5000);
    session.MoveLast();
    EXPECT_EQ(Show(session.Field(1)), "Text:r5000");
    EXPECT_EQ(session.RecordCount(), 5000);
    session.MoveFirst();
    EXPECT_EQ(Show(session.Field(1)), "Text:r1");
    session.CloseSession();
}

TEST_F(PostgresOdbcTest, TimestampEscapeLiteralComparesWithTimestampColumns) {
    Fill("CREATE TABLE gauge AS SELECT h AS id, timestamp '2024-03-10 00:00' + h * interval "
         "'1 hour' AS taken FROM generate_series(0, 23) AS h;");
    DbSession session;
    session.OpenConnection(PgReaderConnectionString(), DelimiterStep::Classify);
    const auto at = [&](int hour) {
        return session.DateTimeLiteral(ToDateTime({2024, 3, 10, hour, 0, 0, 0}));
    };
    EXPECT_EQ(at(2), "{ts '2024-03-10 02:00:00'}");
    struct Case {
        std::string where;
        std::vector<std::vector<std::string>> ids;
    };
    const std::vector<Case> cases = {
        {"taken >= " + at(2) + " AND taken < " + at(5),
         {{"Integer:2"}, {"Integer:3"}, {"Integer:4"}}},
        {"taken = " + at(7), {{"Integer:7"}}},
        {"taken > " + at(23), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        session.OpenQuery("SELECT id FROM " + Table("gauge") + " WHERE " + c.where +
                          " ORDER BY id");
        EXPECT_EQ(WalkRows(session), c.ids);
        session.CloseQuery();
    }
}

TEST_F(PostgresOdbcTest, RejectedStatementsCarryTheirSqlState) {
    Fill("CREATE TABLE level(id integer);");
    struct Case {
        std::string sql;
        std::vector<std::string> mentions;
    };
    const std::vector<Case> cases = {
        {"SELECT * FROM " + Table("no_such_table"), {"SQLSTATE 42P01", "no_such_table"}},
        {"SELEC 1", {"SQLSTATE 42601", "syntax error"}},
        {"SELECT 1 / 0", {"SQLSTATE 22012", "division by zero"}},
        {"SET search_path TO public", {"no rows and columns"}},
    };
    DbSession session;
    session.OpenConnection(PgReaderConnectionString(), DelimiterStep::Classify);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        ExpectMentions(ErrorOf([&] { session.OpenQuery(c.sql); }), c.mentions);
    }
    // The session survives its failed statements.
    session.OpenQuery("SELECT count(*) FROM " + Table("level"));
    EXPECT_EQ(Show(session.Field(0)), "Integer:0");
}

TEST_F(PostgresOdbcTest, WritesAreRefusedAndLeaveTheTablesUnchanged) {
    Fill("CREATE TABLE level(id integer);\nINSERT INTO level VALUES (1), (2), (3);");
    struct Case {
        std::string connection;
        std::string sql;
        std::string mention;
    };
    // Statements without rows are refused before they run; a write that returns rows runs
    // and is refused by the read-only session, for the owner too.
    const std::vector<Case> cases = {
        {PgReaderConnectionString(),
         "INSERT INTO " + Table("level") + " VALUES (4)",
         "no rows and columns"},
        {PgReaderConnectionString(), "DELETE FROM " + Table("level"), "no rows and columns"},
        {PgReaderConnectionString(),
         "CREATE TABLE " + Table("extra") + " (a integer)",
         "no rows and columns"},
        {PgAdminConnectionString(),
         "INSERT INTO " + Table("level") + " VALUES (5) RETURNING id",
         "SQLSTATE 25006"},
        {PgAdminConnectionString(),
         "UPDATE " + Table("level") + " SET id = id + 10",
         "no rows and columns"},
        {PgAdminConnectionString(),
         "CREATE TABLE " + Table("extra") + " (a integer)",
         "no rows and columns"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        DbSession session;
        session.OpenConnection(c.connection, DelimiterStep::Classify);
        ExpectMentions(ErrorOf([&] { session.OpenQuery(c.sql); }), {c.mention});
        session.CloseSession();
    }
    DbSession check;
    check.OpenConnection(PgAdminConnectionString(), DelimiterStep::Classify);
    check.OpenQuery("SELECT count(*), sum(id), to_regclass('" + Table("extra") +
                    "') IS NULL FROM " + Table("level"));
    EXPECT_EQ(WalkRows(check),
              (std::vector<std::vector<std::string>>{{"Integer:3", "Integer:6", "Bool:true"}}));
}

TEST_F(PostgresOdbcTest, OnlyTheFirstResultSetIsRead) {
    auto backend = OpenOdbcBackend(PgReaderConnectionString());
    {
        auto cursor = backend->Execute("SELECT 1 AS first; SELECT 2 AS second, 3 AS third");
        EXPECT_EQ(cursor->ColumnNames(), std::vector<std::string>{"first"});
        std::vector<Value> row(1);
        ASSERT_TRUE(cursor->Fetch(row));
        EXPECT_EQ(Show(row[0]), "Integer:1");
        EXPECT_FALSE(cursor->Fetch(row));
    }
    backend->Close();
}

TEST_F(PostgresOdbcTest, UnreachableServerFailsWithTheDriversMessage) {
    std::string connection = PgReaderConnectionString();
    const auto port = connection.find("Port=");
    ASSERT_NE(port, std::string::npos) << connection;
    const auto end = connection.find(';', port);
    connection.replace(port, end == std::string::npos ? std::string::npos : end - port, "Port=1");
    DbSession session;
    ExpectMentions(ErrorOf([&] { session.OpenConnection(connection, DelimiterStep::Classify); }),
                   {"cannot connect", "SQLSTATE 08001", "port 1 failed"});
    EXPECT_FALSE(session.IsOpen());
}

} // namespace
} // namespace rill
