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
//   VirtualDub.runs     when there, each job that can read its input appends a line naming it
// Exit codes: 0 all jobs done, 1 failure mode, 2 bad setting, 3 /x or /r missing, 4 job list unreadable,
// 5 a job failed (input missing, or output not written).

#include "JobList.h"
#include "ToolSupport.h"
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

namespace fs = std::filesystem;
using namespace tools;

namespace {

constexpr double defaultSeconds = 0.5;
constexpr std::size_t maxEmbedded =
    4096; // bytes of the input kept in the AVI, so tests can tell outputs apart

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
bool runJob(const Job& job, double seconds, std::size_t keep, const fs::path& runs) {
    if (!job.input || !job.output) {
        std::cerr << "VirtualDub stand-in: a job without an Open or a SaveAVI line" << std::endl;
        return false;
    }
    logRun("job VirtualDub " + *job.input);
    std::error_code ec;
    const fs::path input = toPath(*job.input);
    const std::optional<std::string> head =
        fs::is_regular_file(input, ec) ? readBytes(input, maxEmbedded) : std::nullopt;
    if (!head) {
        std::cerr << "VirtualDub stand-in: cannot read " << *job.input << std::endl;
        return false;
    }
    noteRun(runs, *job.input);
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
                throw Stop{JobsBadSetting, "--seconds needs a number from 0 to 86400"};
            }
        }
    }
    if (!x || !r) {
        // Without both, the real program opens its window and waits for a user.
        throw Stop{JobsNotStarted, "/x and /r are both needed to run the job list unattended"};
    }
    const fs::path folder = startedFolder(argc > 0 ? argv[0] : nullptr);
    if (!seconds) {
        const auto text = readBytes(folder / "VirtualDub.seconds", 64);
        seconds = text ? parseSeconds(*text) : defaultSeconds;
        if (!seconds) {
            throw Stop{JobsBadSetting, "bad number in VirtualDub.seconds"};
        }
    }
    std::error_code ec;
    if (fail || fs::exists(folder / "VirtualDub.fail", ec)) {
        std::this_thread::sleep_for(std::chrono::duration<double>(*seconds));
        throw Stop{JobsFailureMode, "failing on purpose"};
    }
    const auto bytes = readBytes(folder / "VirtualDub.jobs");
    const auto text = bytes ? chain::platform::cp932ToUtf8(*bytes) : std::nullopt;
    if (!text) {
        throw Stop{JobsBadList, "cannot read VirtualDub.jobs as cp932 text"};
    }
    bool allDone = true;
    const std::uint64_t keep = byteCountIn(folder / "VirtualDub.truncate", JobsBadSetting).value_or(SIZE_MAX);
    for (const Job& job : parseJobList(*text).jobs) {
        allDone =
            runJob(job, *seconds, static_cast<std::size_t>(keep), folder / "VirtualDub.runs") && allDone;
    }
    return allDone ? JobsDone : JobsJobFailed;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("VirtualDub stand-in", JobsJobFailed, [&] { return run(argc, argv); });
}
