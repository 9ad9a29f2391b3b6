// Stand-in for the outside video processor VirtualDub.exe. Started as "VirtualDub.exe /x /r" it runs the
// job list VirtualDub.jobs in its own folder (cp932, CR LF): each job is the lines up to a "// $endjob" or
// "// $done" line (nothing after "// $done" is read). A job's VirtualDub.Open("...") names its input, which
// must exist; its VirtualDub.SaveAVI("...") names the output, a small valid AVI written once the job's time
// has passed. Inside the quotes "\\" stands for "\". Other lines are ignored. Files beside the executable
// tune it for tests and the demo:
//   VirtualDub.seconds  time of each job in seconds (decimal), unless --seconds X is given; default 0.5
//   VirtualDub.fail     wait, then exit 1 without writing anything (same as --fail)
//   VirtualDub.truncate a byte count: each .avi is cut to that many bytes, as if VirtualDub had died
//                       half-way (0 leaves an empty file)
// Exit codes: 0 all jobs done, 1 failure mode, 2 bad setting, 3 /x or /r missing, 4 job list unreadable,
// 5 a job failed (input missing, or output not written).

#include "platform/Cp932.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

enum ExitCode { Done = 0, FailureMode = 1, BadSetting = 2, NotStarted = 3, BadJobList = 4, JobFailed = 5 };

constexpr double defaultSeconds = 0.5;
constexpr double maxSeconds = 86400.0;
constexpr std::size_t maxEmbedded =
    4096; // bytes of the input kept in the AVI, so tests can tell outputs apart

// Thrown for a problem that ends the run; carries the message and the exit code.
struct Stop {
    ExitCode code;
    std::string message;
};

// One job of the list: its input and output, as written in the list (UTF-8, unescaped).
struct Job {
    std::optional<std::string> input;
    std::optional<std::string> output;
};

fs::path executableFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) {
        buffer.resize(length);
        return fs::path(buffer).parent_path();
    }
#else
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        return exe.parent_path();
    }
#endif
    return fs::absolute(fs::path(argv0 ? argv0 : ""), ec).parent_path();
}

// A UTF-8 path as the system takes it: its bytes on POSIX, converted on Windows.
fs::path toPath(const std::string& utf8) {
#ifdef _WIN32
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::path(utf8);
#endif
}

std::optional<std::string> readFile(const fs::path& path, std::size_t most = SIZE_MAX) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < most && in.read(buffer, sizeof buffer).gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (bytes.size() > most) {
        bytes.resize(most);
    }
    return bytes;
}

std::optional<double> parseSeconds(std::string text) {
    while (!text.empty() && std::string_view(" \t\r\n").find(text.back()) != std::string_view::npos) {
        text.pop_back();
    }
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size() && value >= 0 && value <= maxSeconds) {
            return value;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// The text between the quotes that follow `call` at the start of the line (blanks before it
// allowed), with "\x" read as "x".
std::optional<std::string> quotedArgument(std::string_view line, std::string_view call) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line.substr(first, call.size()) != call) {
        return std::nullopt;
    }
    std::size_t i = first + call.size();
    if (i >= line.size() || line[i] != '"') {
        return std::nullopt;
    }
    std::string value;
    for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
            return value;
        }
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        value.push_back(line[i]);
    }
    return std::nullopt; // no closing quote
}

// The jobs of a job list.
std::vector<Job> parseJobs(const std::string& text) {
    std::vector<Job> jobs(1);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (auto input = quotedArgument(line, "VirtualDub.Open(")) {
            jobs.back().input = std::move(input);
        } else if (auto output = quotedArgument(line, "VirtualDub.SaveAVI(")) {
            jobs.back().output = std::move(output);
        } else if (line.rfind("// $endjob", 0) == 0) {
            jobs.emplace_back();
        } else if (line.rfind("// $done", 0) == 0) {
            break;
        }
    }
    std::vector<Job> real;
    for (Job& job : jobs) {
        if (job.input || job.output) {
            real.push_back(std::move(job));
        }
    }
    return real;
}

void put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void put16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

std::string chunk(std::string_view id, const std::string& body) {
    std::string out(id);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2 != 0) {
        out.push_back('\0');
    }
    return out;
}

std::string list(std::string_view type, const std::string& body) {
    return chunk("LIST", std::string(type) + body);
}

// An uncompressed AVI of one black 16×16 frame, with the head of the input kept in a JUNK chunk.
std::string smallAvi(const std::string& inputHead) {
    constexpr std::uint32_t side = 16;
    constexpr std::uint32_t frameBytes = side * side * 3;
    std::string avih;
    for (std::uint32_t value : {33367u, frameBytes * 30, 0u, 0x10u /* has index */, 1u, 0u, 1u, frameBytes,
                                side, side, 0u, 0u, 0u, 0u}) {
        put32(avih, value);
    }
    std::string strh = "vidsDIB ";
    for (std::uint32_t value : {0u, 0u, 0u, 1001u, 30000u, 0u, 1u, frameBytes, 0xFFFFFFFFu, 0u}) {
        put32(strh, value);
    }
    for (std::uint16_t value : {0, 0, 16, 16}) {
        put16(strh, value);
    }
    std::string strf;
    put32(strf, 40);
    put32(strf, side);
    put32(strf, side);
    put16(strf, 1);
    put16(strf, 24);
    for (std::uint32_t value : {0u, frameBytes, 0u, 0u, 0u, 0u}) {
        put32(strf, value);
    }
    std::string index = "00db";
    for (std::uint32_t value : {0x10u /* key frame */, 4u, frameBytes}) {
        put32(index, value);
    }
    const std::string body =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf))) +
        chunk("JUNK", inputHead) + list("movi", chunk("00db", std::string(frameBytes, '\0'))) +
        chunk("idx1", index);
    return chunk("RIFF", "AVI " + body);
}

// Runs one job; returns false (after saying why) when it fails. `keep` cuts the .avi short.
bool runJob(const Job& job, double seconds, std::size_t keep) {
    if (!job.input || !job.output) {
        std::cerr << "VirtualDub stand-in: a job without an Open or a SaveAVI line" << std::endl;
        return false;
    }
    std::error_code ec;
    const fs::path input = toPath(*job.input);
    const std::optional<std::string> head =
        fs::is_regular_file(input, ec) ? readFile(input, maxEmbedded) : std::nullopt;
    if (!head) {
        std::cerr << "VirtualDub stand-in: cannot read " << *job.input << std::endl;
        return false;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const fs::path output = toPath(*job.output);
    const std::string avi = smallAvi(*head).substr(0, keep);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(avi.data(), static_cast<std::streamsize>(avi.size())) || !out.flush()) {
        out.close();
        fs::remove(output, ec);
        std::cerr << "VirtualDub stand-in: cannot write " << *job.output << std::endl;
        return false;
    }
    return true;
}

int run(int argc, char** argv) {
    bool x = false;
    bool r = false;
    bool fail = false;
    std::optional<double> seconds;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "/x") {
            x = true;
        } else if (arg == "/r") {
            r = true;
        } else if (arg == "--fail") {
            fail = true;
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = parseSeconds(argv[++i]);
            if (!seconds) {
                throw Stop{BadSetting, "--seconds needs a number from 0 to 86400"};
            }
        }
    }
    if (!x || !r) {
        // Without both, the real program opens its window and waits for a user.
        throw Stop{NotStarted, "/x and /r are both needed to run the job list unattended"};
    }
    const fs::path folder = executableFolder(argc > 0 ? argv[0] : nullptr);
    if (!seconds) {
        const auto text = readFile(folder / "VirtualDub.seconds", 64);
        seconds = text ? parseSeconds(*text) : defaultSeconds;
        if (!seconds) {
            throw Stop{BadSetting, "bad number in VirtualDub.seconds"};
        }
    }
    std::error_code ec;
    if (fail || fs::exists(folder / "VirtualDub.fail", ec)) {
        std::this_thread::sleep_for(std::chrono::duration<double>(*seconds));
        throw Stop{FailureMode, "failing on purpose"};
    }
    const auto bytes = readFile(folder / "VirtualDub.jobs");
    const auto text = bytes ? chain::platform::cp932ToUtf8(*bytes) : std::nullopt;
    if (!text) {
        throw Stop{BadJobList, "cannot read VirtualDub.jobs as cp932 text"};
    }
    std::size_t keep = SIZE_MAX;
    if (const auto cut = readFile(folder / "VirtualDub.truncate", 64)) {
        try {
            keep = std::stoul(*cut);
        } catch (const std::exception&) {
            throw Stop{BadSetting, "bad number in VirtualDub.truncate"};
        }
    }
    bool allDone = true;
    for (const Job& job : parseJobs(*text)) {
        allDone = runJob(job, *seconds, keep) && allDone;
    }
    return allDone ? Done : JobFailed;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const Stop& stop) {
        std::cerr << "VirtualDub stand-in: " << stop.message << std::endl;
        return stop.code;
    } catch (const std::exception& e) {
        std::cerr << "VirtualDub stand-in: " << e.what() << std::endl;
        return JobFailed;
    }
}
