#include <gtest/gtest.h>

#include "dbsession/connection_string.hpp"

namespace rill {
namespace {

TEST(ClassifyDateDelimiterTest, JetAccessAndExcelKeepHash) {
    const std::vector<std::pair<std::string, char>> cases = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\w\\wellspan.mdb", '#'},
        {"PROVIDER=MICROSOFT.JET.OLEDB.4.0", '#'},
        {"Driver={Microsoft Access Driver (*.mdb)};Dbq=C:\\w.mdb", '#'},
        {"Driver={Microsoft Excel Driver (*.xls)};DBQ=C:\\w.xls", '#'},
        {"Provider=Microsoft.ACE.OLEDB.12.0;Extended Properties=Excel 8.0", '#'},
        {"Driver={SQL Server};Server=hydro;Database=wellspan", '\''},
        {"Driver={PostgreSQL Unicode};Servername=127.0.0.1;Database=wellspan", '\''},
        {"Driver=SQLite3;Database=/data/wellspan.db", '\''},
        {"Provider=Microsoft.ACE.OLEDB.12.0;Data Source=w.accdb", '\''},
        {"DSN=jet", '\''},
        {"", '\''},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ClassifyDateDelimiter(text), expected) << text;
    }
}

TEST(ConnectionStringTest, NativeSqliteOnlyForTheSqlite3DriverByName) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"Driver=SQLite3;Database=/data/w.db", "/data/w.db"},
        {"driver={sqlite3};database=w.db;", "w.db"},
        {"DRIVER = {SQLite3} ; DATABASE = {/data/my;db.db}", "/data/my;db.db"},
        {"Database=/data/w.db;Driver=SQLite3", "/data/w.db"},
        {"Driver=SQLite3", ""},
        {"Driver=SQLite;Database=/data/w.db", std::nullopt},
        {"Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=/d/w.db", std::nullopt},
        {"DSN=wellspan", std::nullopt},
        {"Driver={PostgreSQL Unicode};Database=wellspan", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(NativeSqliteDatabase(text), expected) << text;
    }
}

TEST(ConnectionStringTest, OleDbStringsAreRecognised) {
    EXPECT_TRUE(IsOleDbConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"));
    EXPECT_TRUE(IsOleDbConnectionString("Data Source=x; provider = SQLOLEDB"));
    EXPECT_FALSE(
        IsOleDbConnectionString("Driver={PostgreSQL Unicode};Servername=provider.example"));
}

} // namespace
} // namespace rill
