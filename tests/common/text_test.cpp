#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "common/text.hpp"

namespace rill {
namespace {

TEST(ReadLinesTest, LineEndsAndByteOrderMark) {
    struct Case {
        std::string content;
        std::size_t maxLines;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"", 3, {}},
        {"one", 3, {"one"}},
        {"one\r\ntwo\r\n", 3, {"one", "two"}},
        {"one\ntwo\rthree", 3, {"one", "two", "three"}},
        {"one\r\n\r\nthree\r\nfour", 3, {"one", "", "three"}},
        {"\r\nsecond", 1, {""}},
        {"\xEF\xBB\xBF"
         "Driver=SQLite3\r\n",
         1,
         {"Driver=SQLite3"}},
        {"  blanks kept  \n", 1, {"  blanks kept  "}},
        {"a\r\r\nb", 3, {"a", "", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadLines(c.content, c.maxLines), c.expected) << "content: " << c.content;
    }
}

TEST(TextTest, TrimBlanksOnlyRemovesSpaces) {
    EXPECT_EQ(TrimBlanks("  rhour "), "rhour");
    EXPECT_EQ(TrimBlanks("\trhour\t"), "\trhour\t");
    EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(TextTest, SplitAllKeepsEmptyPieces) {
    EXPECT_EQ(SplitAll("a,,b,", ','), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitAll("", ','), (std::vector<std::string>{""}));
}

TEST(RunErrorTest, DescriptionIsOneLine) {
    EXPECT_STREQ(RunError("ERROR: syntax error\nLINE 1: selec\r\n  ^\n").what(),
                 "ERROR: syntax error LINE 1: selec ^");
}

} // namespace
} // namespace rill
