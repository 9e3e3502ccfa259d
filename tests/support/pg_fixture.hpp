#pragma once

#include <string>

#include <gtest/gtest.h>

namespace rill::testing {

// Connection strings of the test PostgreSQL server (scripts/test-services start), from
// RILLFETCH_PG_ADMIN and RILLFETCH_PG_READER when set: the admin builds fixtures, the reader
// only reads what a test grants it.
std::string PgAdminConnectionString();
std::string PgReaderConnectionString();

// Runs SQL text as the admin through psql; throws std::runtime_error with psql's messages.
void RunPgAdminSql(const std::string& sql);

// One schema per test, so tests run in parallel. When the server cannot be reached the test is
// skipped, or fails when RILLFETCH_REQUIRE_SERVICES=1.
class PgSchemaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Schema() const { return schema_; }
    // The schema-qualified name of a table of the test's schema.
    std::string Table(const std::string& name) const { return schema_ + "." + name; }
    // Runs fixture SQL as the admin with the test's schema first on the search path, then
    // grants the reader SELECT (and nothing else) on every table of the schema.
    void Fill(const std::string& sql) const;

private:
    std::string schema_;
};

} // namespace rill::testing
