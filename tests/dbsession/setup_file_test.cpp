#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "dbsession/setup_file.hpp"
#include "program_runner.hpp"

namespace rill {
namespace {

TEST(SetupFileTest, FirstLineAsRead) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Driver=SQLite3;Database=a.db\r\nDSN=other\r\n", "Driver=SQLite3;Database=a.db"},
        {"Driver=SQLite3;Database=a.db\nsecond", "Driver=SQLite3;Database=a.db"},
        {"Driver=SQLite3;Database=a.db\rsecond", "Driver=SQLite3;Database=a.db"},
        {"Driver=SQLite3;Database=a.db", "Driver=SQLite3;Database=a.db"},
        {"  DSN=wellspan  \r\n", "  DSN=wellspan  "},
        {"\xEF\xBB\xBF"
         "DSN=wellspan\r\n",
         "DSN=wellspan"},
        {"\r\nDSN=second-line-is-never-read\r\n", ""},
    };
    for (const auto& [content, expected] : cases) {
        EXPECT_EQ(ConnectionStringFromSetupText(content, "setup"), expected);
    }
}

TEST(SetupFileTest, EmptyOrBinaryContentIsAnError) {
    for (const std::string& content : {std::string(),
                                       std::string("\xEF\xBB\xBF"),
                                       std::string("SQLite format 3\0\x10\x00", 19)}) {
        EXPECT_THROW(ConnectionStringFromSetupText(content, "setup"), RunError);
    }
}

TEST(SetupFileTest, FoundInProgramDirectoryInAnyLetterCase) {
    testing::TempDir dir;
    EXPECT_THROW(ReadConnectionString(dir.Path().string()), RunError);
    dir.WriteFile("Wellspan_Setup.txt", "DSN=spelled-as-in-usage\r\n");
    EXPECT_EQ(ReadConnectionString(dir.Path().string()), "DSN=spelled-as-in-usage");
    dir.WriteFile("Wellspan_setup.txt", "DSN=exact\r\n");
    EXPECT_EQ(ReadConnectionString(dir.Path().string()), "DSN=exact");
}

TEST(SetupFileTest, MissingFileNamesThePath) {
    testing::TempDir dir;
    try {
        ReadConnectionString(dir.Path().string());
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_NE(std::string(e.what()).find("Wellspan_setup.txt"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace rill
