#pragma once

#include <string>
#include <string_view>

namespace rill {

enum class OpenMode { CreateNew, Append };

// The one text output file of a run: buffered, every line ended with CR LF, every write
// checked. A failed write (full disk, vanished directory) throws RunError; Close() flushes and
// reports a failed close, the destructor only releases the descriptor.
class TextOutput {
public:
    TextOutput() = default;
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    TextOutput(TextOutput&& other) noexcept;
    TextOutput& operator=(TextOutput&& other) noexcept;
    ~TextOutput();

    // Creates (replacing earlier content) or appends; throws RunError naming the path.
    void Open(const std::string& path, OpenMode mode);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Text without a line end (a line may be built in pieces).
    void Write(std::string_view text);
    // Text followed by CR LF.
    void WriteLine(std::string_view text);
    void EndLine() { Write("\r\n"); }

    void Flush();
    void Close();

private:
    void WriteAll(const char* data, std::size_t size);

    int fd_ = -1;
    std::string path_;
    std::string buffer_;
};

} // namespace rill
