#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace hecdss {

// Owns one POSIX file descriptor. Close() reports failures; the destructor closes silently.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int Get() const noexcept { return fd_; }
    bool IsOpen() const noexcept { return fd_ >= 0; }
    void Close(const std::string& what);

private:
    int fd_ = -1;
};

// Reads exactly bytes.size() bytes at offset; a short file is an error.
void ReadAt(const FileDescriptor& fd,
            std::span<std::byte> bytes,
            std::int64_t offset,
            const std::string& what);

// Writes all bytes at offset, retrying short writes; ENOSPC and friends throw.
void WriteAt(const FileDescriptor& fd,
             std::span<const std::byte> bytes,
             std::int64_t offset,
             const std::string& what);

std::int64_t FileSize(const FileDescriptor& fd, const std::string& what);
void Truncate(const FileDescriptor& fd, std::int64_t size, const std::string& what);
void SyncData(const FileDescriptor& fd, const std::string& what);

enum class LockKind { Shared, Exclusive };

// Takes a whole-file flock, retrying until the timeout; false when another holder kept it.
bool LockFile(const FileDescriptor& fd, LockKind kind, std::chrono::milliseconds timeout);

// strerror text for errno values, without the locale.
std::string ErrorText(int error);

} // namespace hecdss
