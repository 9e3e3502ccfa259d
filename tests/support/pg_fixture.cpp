#include "pg_fixture.hpp"

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#include "dbsession/connection_string.hpp"
#include "program_runner.hpp"

namespace rill::testing {

namespace {

constexpr const char* kDefaultAdmin =
    "Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=55432;Database=rillfetch_test;"
    "Username=rillfetch_admin;Password=rillfetch_admin";
constexpr const char* kDefaultReader =
    "Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=55432;Database=rillfetch_test;"
    "Username=rillfetch;Password=rillfetch";

std::string FromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

// The first of the keywords psqlODBC accepts for one setting.
std::string Setting(const std::string& connectionString,
                    std::initializer_list<const char*> keywords,
                    const char* fallback) {
    for (const char* keyword : keywords) {
        if (auto value = ConnectionStringValue(connectionString, keyword)) {
            return *value;
        }
    }
    return fallback;
}

std::string ReaderRole() {
    return Setting(PgReaderConnectionString(), {"Username", "UID", "User"}, "rillfetch");
}

RunResult RunPsql(const std::string& sql) {
    const std::string admin = PgAdminConnectionString();
    TempDir scratch;
    scratch.WriteFile("fixture.sql", sql);
    RunOptions options;
    options.extraEnvironment["PGPASSWORD"] = Setting(admin, {"Password", "PWD"}, "");
    options.extraEnvironment["PGCONNECT_TIMEOUT"] = "5";
    return RunProgram("psql",
                      {"-X",
                       "-q",
                       "-v",
                       "ON_ERROR_STOP=1",
                       "-h",
                       Setting(admin, {"Servername", "Server"}, "127.0.0.1"),
                       "-p",
                       Setting(admin, {"Port"}, "5432"),
                       "-U",
                       Setting(admin, {"Username", "UID", "User"}, ""),
                       "-d",
                       Setting(admin, {"Database"}, ""),
                       "-f",
                       (scratch / "fixture.sql").string()},
                      options);
}

// Asked once per test program; the answer holds psql's complaint when the server is away.
const std::optional<std::string>& ServerProblem() {
    static const std::optional<std::string> problem = []() -> std::optional<std::string> {
        try {
            const RunResult result = RunPsql("SELECT 1;");
            if (result.exitCode != 0) {
                return result.standardError;
            }
            return std::nullopt;
        } catch (const std::exception& error) {
            return std::string(error.what());
        }
    }();
    return problem;
}

} // namespace

std::string PgAdminConnectionString() {
    return FromEnvironment("RILLFETCH_PG_ADMIN", kDefaultAdmin);
}

std::string PgReaderConnectionString() {
    return FromEnvironment("RILLFETCH_PG_READER", kDefaultReader);
}

void RunPgAdminSql(const std::string& sql) {
    const RunResult result = RunPsql(sql);
    if (result.exitCode != 0) {
        throw std::runtime_error("psql failed: " + result.standardError);
    }
}

void PgSchemaTest::SetUp() {
    if (const auto& problem = ServerProblem()) {
        const char* require = std::getenv("RILLFETCH_REQUIRE_SERVICES");
        if (require != nullptr && std::string(require) == "1") {
            FAIL() << "the test PostgreSQL server is required but unreachable: " << *problem;
        }
        GTEST_SKIP() << "no test PostgreSQL server (scripts/test-services start): " << *problem;
    }
    schema_ = "rf_test_" + std::to_string(::getpid());
    RunPgAdminSql("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE;\nCREATE SCHEMA " + schema_ +
                  ";\nGRANT USAGE ON SCHEMA " + schema_ + " TO " + ReaderRole() + ";\n");
}

void PgSchemaTest::TearDown() {
    if (!schema_.empty()) {
        RunPgAdminSql("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE;\n");
    }
}

void PgSchemaTest::Fill(const std::string& sql) const {
    RunPgAdminSql("SET search_path TO " + schema_ + ";\n" + sql +
                  "\nGRANT SELECT ON ALL TABLES IN SCHEMA " + schema_ + " TO " + ReaderRole() +
                  ";\n");
}

} // namespace rill::testing
