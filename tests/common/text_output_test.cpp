#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "common/text_output.hpp"
#include "program_runner.hpp"

namespace rill {
namespace {

TEST(TextOutputTest, LinesEndWithCrLfAndAppendKeepsContent) {
    testing::TempDir dir;
    const std::string path = (dir / "out.txt").string();
    TextOutput out;
    out.Open(path, OpenMode::CreateNew);
    out.WriteLine("first");
    out.Write("partial");
    out.WriteLine(" line");
    out.Close();
    TextOutput more;
    more.Open(path, OpenMode::Append);
    more.WriteLine("FTP put failed");
    more.Close();
    EXPECT_EQ(dir.ReadFile("out.txt"), "first\r\npartial line\r\nFTP put failed\r\n");
}

TEST(TextOutputTest, FullDiskIsAnErrorNotAShortFile) {
    TextOutput out;
    out.Open("/dev/full", OpenMode::CreateNew);
    out.WriteLine("header");
    EXPECT_THROW(out.Close(), RunError);
}

TEST(TextOutputTest, LargeWritesReachTheDiskWhole) {
    testing::TempDir dir;
    TextOutput out;
    out.Open((dir / "big.txt").string(), OpenMode::CreateNew);
    const std::string line(1000, 'x');
    for (int i = 0; i < 500; ++i) {
        out.WriteLine(line);
    }
    out.Write(std::string(200'000, 'y'));
    out.Close();
    EXPECT_EQ(dir.ReadFile("big.txt").size(), 500u * 1002u + 200'000u);
}

TEST(TextOutputTest, MissingDirectoryIsAnError) {
    TextOutput out;
    EXPECT_THROW(out.Open("/nonexistent-dir/x.txt", OpenMode::CreateNew), RunError);
    EXPECT_THROW(out.WriteLine("x"), RunError);
}

} // namespace
} // namespace rill
