#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the stand-ins and the ffmpeg-backed tools share: ending with a message and an exit
// code, the folder they were started from, small files beside them, and paths from text.
namespace tools {

namespace fs = std::filesystem;

// Thrown for a problem that ends the run; carries the exit code and the message.
struct Stop {
    int code;
    std::string message;
};

// Runs the tool's body and returns its exit code. A Stop is printed as "<name>: message" on
// standard error and ends with its code; any other exception ends with `unexpectedCode`.
int runTool(std::string_view name, int unexpectedCode, const std::function<int()>& body);

// The folder the tool was started from, where its own files lie: that of argv[0] when it
// names a path, so that a tool linked into a folder works in that folder; else the folder of
// the executable itself.
fs::path startedFolder(const char* argv0);

// The arguments after the program's name, in UTF-8. On Windows they come from the wide
// command line: argv holds them in the ANSI code page, which can't hold every file name (a
// Japanese one on a Western system, or a character outside cp932 on a Japanese one).
std::vector<std::string> utf8Arguments(int argc, char** argv);

// The first `most` bytes of a file, or nothing when it can't be opened.
std::optional<std::string> readBytes(const fs::path& path, std::size_t most = SIZE_MAX);

// A plain decimal number of seconds from 0 up to a day, blanks around it allowed.
std::optional<double> parseSeconds(std::string_view text);

// The byte count in a small file beside the tool (BonTsDemux.truncate, VirtualDub.truncate):
// nothing when there is no such file; a Stop with `badCode` when it holds no plain number.
std::optional<std::uint64_t> byteCountIn(const fs::path& file, int badCode);

// With CHAIN_TOOL_RUN_LOG naming a file, every run of a tool appends lines to it: "start
// NAME", "job NAME INPUT" for each job it takes up, and "end NAME" (runTool writes the first
// and the last). Tests count from it how often each job ran and whether two runs overlapped.
void logRun(std::string_view line);

// When the file `runs` lies beside the tool, appends a line to it for this run: the first
// bytes of `input` in hex, a tab and the name as given. Tests count the lines per input to
// see that no input went to the tool twice; without the file nothing is written.
void noteRun(const fs::path& runs, const std::string& input);

// A UTF-8 path as the system takes it: its bytes on POSIX, converted on Windows.
fs::path toPath(const std::string& utf8);

} // namespace tools
