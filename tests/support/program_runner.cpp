#include "program_runner.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <random>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

extern char** environ;

namespace rill::testing {

namespace fs = std::filesystem;

fs::path BuiltProgramsDirectory() {
    return fs::path(RILLFETCH_BIN_DIR);
}

TempDir::TempDir() {
    std::random_device random;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string stem = info ? std::string(info->test_suite_name()) + "." + info->name() : "rill";
    for (char& c : stem) {
        if (c == '/') {
            c = '_';
        }
    }
    path_ = fs::temp_directory_path() / ("rillfetch-" + stem + "-" + std::to_string(::getpid()) +
                                         "-" + std::to_string(random()));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    if (::testing::Test::HasFailure()) {
        std::cerr << "kept test folder: " << path_ << "\n";
        return;
    }
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempDir::WriteFile(const std::string& name, const std::string& content) const {
    WriteWholeFile(path_ / name, content);
}

std::string TempDir::ReadFile(const std::string& name) const {
    return ReadWholeFile(path_ / name);
}

bool TempDir::Exists(const std::string& name) const {
    return fs::exists(path_ / name);
}

ProgramDir::ProgramDir(const std::vector<std::string>& programs) {
    for (const auto& name : programs) {
        fs::copy_file(
            BuiltProgramsDirectory() / name, Path() / name, fs::copy_options::overwrite_existing);
    }
}

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

RunResult RunProgram(const fs::path& program,
                     const std::vector<std::string>& args,
                     const RunOptions& options) {
    TempDir capture;
    const fs::path outPath = capture / "stdout";
    const fs::path errPath = capture / "stderr";

    std::vector<std::string> argv;
    if (!options.fakeTime.empty()) {
        argv = {"faketime", options.fakeTime};
    }
    argv.push_back(program.string());
    argv.insert(argv.end(), args.begin(), args.end());

    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const auto eq = entry.find('=');
        if (eq != std::string::npos) {
            env[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
    }
    // No desktop: a usage run shows its text on standard output instead of opening a viewer.
    env.erase("DISPLAY");
    env.erase("WAYLAND_DISPLAY");
    env["TZ"] = options.timeZone;
    // faketime preloads its library ahead of the sanitizer runtime.
    env["ASAN_OPTIONS"] = "verify_asan_link_order=0:detect_leaks=0";
    for (const auto& [key, value] : options.extraEnvironment) {
        env[key] = value;
    }
    std::vector<std::string> envStrings;
    for (const auto& [key, value] : env) {
        envStrings.push_back(key + "=" + value);
    }
    std::vector<char*> argvPtrs;
    for (auto& a : argv) {
        argvPtrs.push_back(a.data());
    }
    argvPtrs.push_back(nullptr);
    std::vector<char*> envPtrs;
    for (auto& e : envStrings) {
        envPtrs.push_back(e.data());
    }
    envPtrs.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(
        &actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (options.workingDirectory) {
        posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory->c_str());
    }
    pid_t pid = 0;
    const int rc =
        posix_spawnp(&pid, argvPtrs[0], &actions, nullptr, argvPtrs.data(), envPtrs.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.standardOutput = ReadWholeFile(outPath);
    result.standardError = ReadWholeFile(errPath);
    return result;
}

void CreateSqliteDatabase(const fs::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + path.string() + ": " + message);
    }
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        sqlite3_close(db);
        throw std::runtime_error("cannot fill " + path.string() + ": " + message);
    }
    sqlite3_close(db);
}

} // namespace rill::testing
