#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rill::testing {

// The folder the build puts the programs in.
std::filesystem::path BuiltProgramsDirectory();

// A temporary folder for one test: removed when the test passed, kept (and its path printed)
// when it failed, so the files of a failed run can be read.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void WriteFile(const std::string& name, const std::string& content) const;
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// A program directory: a temporary folder holding a copy of a built program, so the program
// finds its setup files and writes its default output beside itself.
class ProgramDir : public TempDir {
public:
    // Copies the named program (and any other named ones) from the build.
    explicit ProgramDir(const std::vector<std::string>& programs);
    std::filesystem::path Program(const std::string& name) const { return Path() / name; }
};

struct RunOptions {
    // Local time the run sees, "YYYY-MM-DD HH:MM:SS", through faketime; empty for the real clock.
    std::string fakeTime;
    std::string timeZone = "UTC";
    std::map<std::string, std::string> extraEnvironment;
    std::optional<std::filesystem::path> workingDirectory;
};

struct RunResult {
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};

// Runs a program with its arguments (each passed as one argv entry) and waits for it.
RunResult RunProgram(const std::filesystem::path& program,
                     const std::vector<std::string>& args,
                     const RunOptions& options = {});

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& content);

// Joins lines with CR LF after each, the way the programs write their files.
std::string CrLfLines(const std::vector<std::string>& lines);

// Builds a SQLite database file from SQL text with the sqlite3 library.
void CreateSqliteDatabase(const std::filesystem::path& path, const std::string& sql);

} // namespace rill::testing
