#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <thread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "common/run_error.hpp"
#include "dbsession/db_session.hpp"
#include "program_runner.hpp"

namespace rill {
namespace {

class SqliteSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbPath_ = (dir_ / "w.db").string();
        testing::CreateSqliteDatabase(dbPath_, R"sql(
            CREATE TABLE kinds (id INTEGER, name TEXT, amount REAL, stamp DATETIME, flag BOOLEAN,
                                raw BLOB, day DATE);
            INSERT INTO kinds VALUES (1, 'North Fork', 3.42, '2009-01-05 22:00:00', 1, x'00FF10',
                                      '2009-01-05');
            INSERT INTO kinds VALUES (2, NULL, NULL, NULL, NULL, NULL, NULL);
            INSERT INTO kinds VALUES (3, '', -0.5, 'not a date', 0, x'', '2009-01-06');
            CREATE TABLE numbers (n INTEGER);
            WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000)
            INSERT INTO numbers SELECT i FROM c;
        )sql");
        session_.OpenConnection("Driver=SQLite3;Database=" + dbPath_, DelimiterStep::Classify);
    }

    testing::TempDir dir_;
    std::string dbPath_;
    DbSession session_;
};

TEST_F(SqliteSessionTest, ValuesKeepTheirKinds) {
    session_.OpenQuery("SELECT id, name, amount, stamp, flag, raw, day FROM kinds ORDER BY id");
    ASSERT_FALSE(session_.Eof());
    EXPECT_EQ(session_.FieldCount(), 7);
    EXPECT_EQ(session_.FieldName(3), "stamp");
    EXPECT_EQ(session_.Field(0).Kind(), ValueKind::Integer);
    EXPECT_EQ(session_.Field(1).Text(), "North Fork");
    EXPECT_DOUBLE_EQ(session_.Field(2).Number(), 3.42);
    ASSERT_EQ(session_.Field(3).Kind(), ValueKind::Timestamp);
    EXPECT_DOUBLE_EQ(session_.Field(3).DateTimeValue(), 39818.0 + 22.0 / 24.0);
    EXPECT_EQ(session_.Field(4).Kind(), ValueKind::Bool);
    EXPECT_TRUE(session_.Field(4).Bool());
    EXPECT_EQ(session_.Field(5).Bytes(), (std::vector<unsigned char>{0x00, 0xFF, 0x10}));
    EXPECT_DOUBLE_EQ(session_.Field(6).DateTimeValue(), 39818.0);

    session_.MoveNext();
    for (int i = 1; i < 7; ++i) {
        EXPECT_TRUE(session_.Field(i).IsNull()) << i;
    }
    session_.MoveNext();
    EXPECT_EQ(session_.Field(1).Text(), "");
    // Text in a date-time column that is not a date stays text.
    EXPECT_EQ(session_.Field(3).Kind(), ValueKind::Text);
    EXPECT_FALSE(session_.Field(4).Bool());
    session_.MoveNext();
    EXPECT_TRUE(session_.Eof());
    EXPECT_THROW(session_.Field(0), RunError);
    EXPECT_THROW(session_.MoveNext(), RunError);
    session_.CloseQuery();
}

TEST_F(SqliteSessionTest, NoRowsMeansEofAtOnce) {
    session_.OpenQuery("SELECT * FROM kinds WHERE id = 99");
    EXPECT_TRUE(session_.Eof());
    EXPECT_EQ(session_.RecordCount(), 0);
    EXPECT_EQ(session_.FieldCount(), 7);
    session_.CloseQuery();
}

TEST_F(SqliteSessionTest, CountAndMovesAfterAPartialForwardWalk) {
    session_.OpenQuery("SELECT n FROM numbers ORDER BY n");
    session_.MoveNext();
    session_.MoveNext();
    EXPECT_EQ(ValueToDouble(session_.Field(0), "n"), 3.0);
    EXPECT_EQ(session_.RecordCount(), 5000);
    // The count keeps the current row.
    EXPECT_EQ(ValueToDouble(session_.Field(0), "n"), 3.0);
    session_.MoveLast();
    EXPECT_EQ(ValueToDouble(session_.Field(0), "n"), 5000.0);
    session_.MoveFirst();
    EXPECT_EQ(ValueToDouble(session_.Field(0), "n"), 1.0);
    int seen = 0;
    while (!session_.Eof()) {
        ++seen;
        session_.MoveNext();
    }
    EXPECT_EQ(seen, 5000);
    session_.CloseQuery();
}

TEST_F(SqliteSessionTest, MoveLastThenMoveFirstWalksEveryRow) {
    session_.OpenQuery("SELECT n FROM numbers WHERE n <= 3 ORDER BY n DESC");
    session_.MoveLast();
    EXPECT_EQ(session_.RecordCount(), 3);
    EXPECT_EQ(ValueToDouble(session_.Field(0), "n"), 1.0);
    session_.MoveFirst();
    std::vector<double> order;
    for (; !session_.Eof(); session_.MoveNext()) {
        order.push_back(ValueToDouble(session_.Field(0), "n"));
    }
    EXPECT_EQ(order, (std::vector<double>{3, 2, 1}));
    session_.CloseQuery();
}

TEST_F(SqliteSessionTest, QueryOrderRules) {
    EXPECT_FALSE(session_.QueryIsOpen());
    session_.OpenQuery("SELECT 1");
    EXPECT_TRUE(session_.QueryIsOpen());
    EXPECT_THROW(session_.OpenQuery("SELECT 2"), RunError);
    session_.CloseQuery();
    EXPECT_THROW(session_.CloseQuery(), RunError);
    EXPECT_THROW(session_.Eof(), RunError);
    // A failed query leaves no query open.
    EXPECT_THROW(session_.OpenQuery("SELECT * FROM missing_table"), RunError);
    EXPECT_FALSE(session_.QueryIsOpen());
    session_.OpenQuery("SELECT 3");
    EXPECT_THROW(session_.Field(1), RunError);
    EXPECT_THROW(session_.FieldName(-1), RunError);
    session_.CloseQuery();
}

TEST_F(SqliteSessionTest, StatementsThatWriteAreRefusedAndChangeNothing) {
    for (const std::string sql : {"DELETE FROM kinds",
                                  "INSERT INTO kinds (id) VALUES (9)",
                                  "DROP TABLE kinds",
                                  "CREATE TABLE x (a)",
                                  "SELECT 1; DELETE FROM kinds",
                                  "UPDATE kinds SET id = 7;",
                                  "ATTACH DATABASE 'other.db' AS o"}) {
        EXPECT_THROW(session_.OpenQuery(sql), RunError) << sql;
        EXPECT_FALSE(session_.QueryIsOpen());
    }
    session_.OpenQuery("SELECT count(*) FROM kinds");
    EXPECT_EQ(session_.Field(0).Integer(), 3);
    session_.CloseQuery();
}

// Runs the action while another connection holds the database exclusively, as a loader does
// while it commits, and ends that hold shortly after. The pause only lets the action meet the
// lock; what the test checks does not depend on its length.
void WhileAWriterHoldsTheDatabase(const std::string& dbPath, const std::function<void()>& action) {
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    });
    action();
    release.join();
    sqlite3_close(writer);
}

TEST_F(SqliteSessionTest, OpeningAndQueryingWaitForAWriter) {
    DbSession other;
    WhileAWriterHoldsTheDatabase(dbPath_, [&] {
        EXPECT_NO_THROW(
            other.OpenConnection("Driver=SQLite3;Database=" + dbPath_, DelimiterStep::Skip));
    });
    WhileAWriterHoldsTheDatabase(dbPath_, [&] {
        try {
            session_.OpenQuery("SELECT count(*) FROM numbers");
            EXPECT_EQ(session_.Field(0).Integer(), 5000);
            session_.CloseQuery();
        } catch (const RunError& e) {
            ADD_FAILURE() << e.what();
        }
    });
}

TEST_F(SqliteSessionTest, ErrorsCarryTheEngineText) {
    try {
        session_.OpenQuery("SELECT * FROM rhourr");
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table: rhourr"), std::string::npos)
            << e.what();
    }
}

TEST_F(SqliteSessionTest, DateTimeLiteralIsIsoText) {
    EXPECT_EQ(session_.DateTimeLiteral(39818.0 + 1.0 / 1440.0), "'2009-01-05 00:01:00'");
}

TEST(DbSessionOpenTest, BadConnectionsAreErrors) {
    testing::TempDir dir;
    dir.WriteFile("not-a-database.db", std::string(4096, 'x'));
    const std::vector<std::string> cases = {
        "Driver=SQLite3;Database=" + (dir / "missing.db").string(),
        "Driver=SQLite3;Database=" + (dir / "not-a-database.db").string(),
        "Driver=SQLite3",
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\wellspan.mdb",
    };
    for (const auto& cs : cases) {
        DbSession session;
        EXPECT_THROW(session.OpenConnection(cs, DelimiterStep::Classify), RunError) << cs;
        EXPECT_FALSE(session.IsOpen());
        session.CloseSession();
    }
    // A missing database file is never created.
    EXPECT_FALSE(dir.Exists("missing.db"));
}

TEST(DbSessionOpenTest, CloseSessionOnAnUnopenedSessionDoesNothing) {
    DbSession session;
    EXPECT_NO_THROW(session.CloseSession());
    EXPECT_NO_THROW(session.CloseSession());
}

TEST(DbSessionOpenTest, DelimiterOnlyWhenClassified) {
    testing::TempDir dir;
    testing::CreateSqliteDatabase(dir / "w.db", "CREATE TABLE t (a);");
    DbSession skipped;
    skipped.OpenConnection("Driver=SQLite3;Database=" + (dir / "w.db").string() + ";X=excel",
                           DelimiterStep::Skip);
    EXPECT_EQ(skipped.DateDelimiter(), '\'');
    DbSession classified;
    classified.OpenConnection("Driver=SQLite3;Database=" + (dir / "w.db").string() + ";X=excel",
                              DelimiterStep::Classify);
    EXPECT_EQ(classified.DateDelimiter(), '#');
}

// A forward walk reads rows one at a time: walking a large result must not hold it.
TEST(DbSessionStreamingTest, ForwardWalkDoesNotHoldRows) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine; peak RSS says nothing";
#endif
    testing::TempDir dir;
    testing::CreateSqliteDatabase(dir / "big.db", "SELECT 1;");
    DbSession session;
    session.OpenConnection("Driver=SQLite3;Database=" + (dir / "big.db").string(),
                           DelimiterStep::Skip);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    session.OpenQuery("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < "
                      "2000000) SELECT i, 'some text of a row ' || i FROM c");
    long long rows = 0;
    for (; !session.Eof(); session.MoveNext()) {
        ++rows;
    }
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(rows, 2'000'000);
    // Holding the rows would take well over 100 MB.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 50'000) << "peak RSS grew by KiB";
    session.CloseQuery();
}

} // namespace
} // namespace rill
