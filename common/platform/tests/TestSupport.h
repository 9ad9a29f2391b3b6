#pragma once

// Helpers for the platform tests: temporary folders, files, the child program, and how
// doctest prints the platform's types. The tests build natively and for Windows.

#include "platform/OpResult.h"
#include "platform/Processes.h"

#include <doctest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test {

namespace fs = std::filesystem;
using Kind = chain::platform::OpResult::Kind;
using chain::platform::ProcessAnswer;

// Paths as the platform layer takes them: UTF-8 on Windows, the system's bytes on POSIX.
fs::path toPath(const std::string& path);
std::string fromPath(const fs::path& path);

// A new empty folder in the system's temporary folder, removed with its contents at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    // The path of `name` (which may hold "/") inside the folder.
    std::string file(const std::string& name) const;

  private:
    std::string m_path;
};

bool writeFile(const std::string& path, std::string_view bytes);
// The contents of a file; nothing when it can't be read.
std::optional<std::string> readFile(const std::string& path);
// The names of every entry of a folder, hidden ones included, sorted.
std::vector<std::string> entriesOf(const std::string& folder);

std::string quoted(const std::string& path);
// Names drawn for this run, so that two runs of the tests never see each other's
// processes: "{tag}" becomes four random lower-case letters, "{TAG}" the same in upper case.
std::string named(std::string pattern);

// The child program (platform_child) built beside the tests, copied to `to`.
bool copyChild(const std::string& to);
// Asks `done` every 20 ms until it says yes (true) or the time is up (false).
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
// The lines the child wrote beside its copy at `child`, once it has written them.
std::optional<std::vector<std::string>> childReport(const std::string& child);

ProcessAnswer answerFor(const std::string& name);
// Asks the process list for `name` until the answer is `wanted`.
bool waitForAnswer(const std::string& name, ProcessAnswer wanted);

} // namespace test

// How doctest prints the platform's kinds and answers (found by argument-dependent lookup).
namespace chain::platform {
doctest::String toString(OpResult::Kind kind);
doctest::String toString(ProcessAnswer answer);
} // namespace chain::platform

template <> struct doctest::StringMaker<std::vector<std::string>> {
    static doctest::String convert(const std::vector<std::string>& list);
};
template <typename T> struct doctest::StringMaker<std::optional<T>> {
    static doctest::String convert(const std::optional<T>& value) {
        return value ? doctest::toString(*value) : doctest::String("(nothing)");
    }
};
