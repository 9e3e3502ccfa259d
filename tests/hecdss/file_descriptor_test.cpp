#include <array>
#include <fcntl.h>

#include <gtest/gtest.h>

#include "hecdss/dss_error.hpp"
#include "hecdss/file_descriptor.hpp"
#include "test_support.hpp"

namespace hecdss {
namespace {

using test::TempDirTest;

class FileDescriptorTest : public TempDirTest {};

TEST_F(FileDescriptorTest, AFullDiskIsAnErrorNotAShortFile) {
    FileDescriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full.IsOpen());
    const std::array<std::byte, 64> bytes{};
    try {
        WriteAt(full, bytes, 0, "/dev/full");
        ADD_FAILURE() << "write succeeded";
    } catch (const DssError& error) {
        EXPECT_EQ(error.Kind(), DssErrorKind::Io);
        EXPECT_NE(std::string(error.what()).find("/dev/full"), std::string::npos);
    }
}

TEST_F(FileDescriptorTest, ReadingPastTheEndIsAnError) {
    const auto path = dir_ / "short";
    test::WriteBinaryFile(path, "12345678");
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::array<std::byte, 8> bytes{};
    EXPECT_NO_THROW(ReadAt(fd, bytes, 0, "short"));
    EXPECT_THROW(ReadAt(fd, bytes, 4, "short"), DssError);
}

TEST_F(FileDescriptorTest, MovingHandsOverTheDescriptorAndCloseIsExplicit) {
    const auto path = dir_ / "file";
    test::WriteBinaryFile(path, "x");
    FileDescriptor first(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const int raw = first.Get();
    FileDescriptor second = std::move(first);
    EXPECT_FALSE(first.IsOpen()); // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_EQ(second.Get(), raw);
    second.Close("file");
    EXPECT_FALSE(second.IsOpen());
    EXPECT_NO_THROW(second.Close("file"));
}

TEST_F(FileDescriptorTest, AnExclusiveLockKeepsOtherDescriptorsOut) {
    const auto path = dir_ / "file";
    test::WriteBinaryFile(path, "x");
    FileDescriptor holder(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    FileDescriptor other(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_TRUE(LockFile(holder, LockKind::Exclusive, std::chrono::milliseconds(0)));
    EXPECT_FALSE(LockFile(other, LockKind::Exclusive, std::chrono::milliseconds(0)));
    EXPECT_FALSE(LockFile(other, LockKind::Shared, std::chrono::milliseconds(60)));
    holder.Close("file");
    EXPECT_TRUE(LockFile(other, LockKind::Exclusive, std::chrono::milliseconds(0)));
}

} // namespace
} // namespace hecdss
