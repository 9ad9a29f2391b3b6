// Stand-in for the outside demuxer BonTsDemux.exe. It takes the same command line, waits a while so that a
// process watch sees it running, then writes the .m2v (a copy of the source bytes) and/or a silent PCM .wav
// named by -o, and ends. Files beside the executable tune it for tests and the demo:
//   BonTsDemux.seconds  run time in seconds (decimal), unless --seconds X is given; default 0.5
//   BonTsDemux.fail     wait, then exit 1 without writing anything (same as --fail)
//   BonTsDemux.truncate a byte count: each output is cut to that many bytes, as if the demuxer had died
//                       half-way (0 leaves an empty file)
//   BonTsDemux.runs     when there, each run that can read its source appends a line naming it
// Exit codes: 0 done, 1 failure mode, 2 bad command line or setting, 3 -start/-quit missing,
// 4 source unreadable, 5 output not written.

#include "DemuxCommandLine.h"
#include "ToolSupport.h"

#include <algorithm>
#include <charconv>
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
constexpr std::uint64_t defaultWavMs = 1000;

// PCM format of the .wav the demuxer writes: 48 kHz, stereo, 16 bit.
constexpr std::uint32_t sampleRate = 48000;
constexpr std::uint16_t channels = 2;
constexpr std::uint16_t bitsPerSample = 16;
constexpr auto blockAlign = static_cast<std::uint16_t>(channels * bitsPerSample / 8);
constexpr std::uint32_t byteRate = sampleRate * blockAlign;
constexpr std::uint32_t wavHeaderSize = 44;
// Longest silence whose RIFF size (header less 8 bytes, plus data) still fits 32 bits.
constexpr std::uint64_t maxWavMs = (0xFFFFFFFFull - (wavHeaderSize - 8)) / (byteRate / 1000);

// The stand-in's own switches, taken out of the line before the demuxer's are parsed.
struct OwnSwitches {
    bool fail = false;
    std::optional<double> seconds;
};

OwnSwitches takeOwnSwitches(std::vector<std::string>& args) {
    OwnSwitches own;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--fail") {
            own.fail = true;
            it = args.erase(it);
        } else if (*it == "--seconds") {
            own.seconds = it + 1 != args.end() ? parseSeconds(*(it + 1)) : std::nullopt;
            if (!own.seconds) {
                throw Stop{DemuxBadCommandLine, "--seconds needs a number from 0 to 86400"};
            }
            it = args.erase(it, it + 2);
        } else {
            ++it;
        }
    }
    return own;
}

// Reads a whole non-negative decimal number, blanks and line ends after it allowed.
std::optional<std::uint64_t> parseWhole(std::string_view text) {
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t")));
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    const std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (text.empty() || ec != std::errc() || rest.find_first_not_of(" \t\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    return value;
}

// Run time: --seconds, else the seconds file beside the executable, else the default.
double runSeconds(const OwnSwitches& own, const fs::path& folder) {
    if (own.seconds) {
        return *own.seconds;
    }
    const fs::path file = folder / "BonTsDemux.seconds";
    const auto text = readBytes(file, 4096);
    if (!text) {
        return defaultSeconds;
    }
    const auto seconds = parseSeconds(*text);
    if (!seconds) {
        throw Stop{DemuxBadCommandLine, "bad number in " + file.filename().string()};
    }
    return *seconds;
}

// Length of the silent .wav in ms: from the file <source>.ms if present, else one second.
std::uint64_t wavMilliseconds(const std::string& input) {
    const fs::path file = toPath(input + ".ms");
    const auto text = readBytes(file, 4096);
    if (!text) {
        return defaultWavMs;
    }
    const auto ms = parseWhole(*text);
    if (!ms || *ms > maxWavMs) {
        throw Stop{DemuxBadSource,
                   "bad length in " + input + ".ms (whole ms up to " + std::to_string(maxWavMs) + ")"};
    }
    return *ms;
}

// Removes a half-written output, so that nobody mistakes it for a finished one, and ends the run.
[[noreturn]] void writeFailed(const std::string& path) {
    std::error_code ec;
    fs::remove(toPath(path), ec);
    throw Stop{DemuxNotWritten, "cannot write " + path};
}

// Copies the source bytes to the .m2v output; returns the byte count.
std::uint64_t writeM2v(std::ifstream& source, const std::string& input, const std::string& path) {
    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    if (!out) {
        writeFailed(path);
    }
    std::vector<char> buffer(1 << 16);
    std::uint64_t total = 0;
    while (source) {
        source.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = source.gcount();
        if (got > 0 && !out.write(buffer.data(), got)) {
            writeFailed(path);
        }
        total += static_cast<std::uint64_t>(got);
    }
    if (source.bad()) {
        std::error_code ec;
        fs::remove(toPath(path), ec);
        throw Stop{DemuxBadSource, "cannot read " + input};
    }
    out.close();
    if (!out) {
        writeFailed(path);
    }
    return total;
}

// Appends a little-endian number of the given byte width to a header.
void putLittleEndian(std::string& header, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        header.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// Writes a PCM .wav holding the given milliseconds of silence.
void writeWav(const std::string& path, std::uint64_t ms) {
    const auto dataSize = static_cast<std::uint32_t>(ms * (byteRate / 1000));
    std::string header = "RIFF";
    putLittleEndian(header, wavHeaderSize - 8 + dataSize, 4);
    header += "WAVEfmt ";
    putLittleEndian(header, 16, 4); // fmt chunk size
    putLittleEndian(header, 1, 2);  // PCM
    putLittleEndian(header, channels, 2);
    putLittleEndian(header, sampleRate, 4);
    putLittleEndian(header, byteRate, 4);
    putLittleEndian(header, blockAlign, 2);
    putLittleEndian(header, bitsPerSample, 2);
    header += "data";
    putLittleEndian(header, dataSize, 4);

    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    if (!out || !out.write(header.data(), static_cast<std::streamsize>(header.size()))) {
        writeFailed(path);
    }
    const std::vector<char> silence(1 << 16, '\0');
    for (std::uint64_t left = dataSize; left > 0;) {
        const auto chunk = static_cast<std::streamsize>(std::min<std::uint64_t>(left, silence.size()));
        if (!out.write(silence.data(), chunk)) {
            writeFailed(path);
        }
        left -= static_cast<std::uint64_t>(chunk);
    }
    out.close();
    if (!out) {
        writeFailed(path);
    }
}

// Cuts a written output to `bytes` when it is longer.
void cut(const std::string& path, std::uint64_t bytes) {
    std::error_code ec;
    if (fs::file_size(toPath(path), ec) > bytes && !ec) {
        fs::resize_file(toPath(path), bytes, ec);
    }
    if (ec) {
        throw Stop{DemuxNotWritten, "cannot cut " + path};
    }
}

// The whole run: check the line, wait, then write what -encode asks for.
int run(int argc, char** argv) {
    std::vector<std::string> args = utf8Arguments(argc, argv);
    const OwnSwitches own = takeOwnSwitches(args);
    const DemuxOptions options = parseDemuxArguments(args);
    const fs::path folder = startedFolder(argc > 0 ? argv[0] : nullptr);
    const double seconds = runSeconds(own, folder);
    logRun("job BonTsDemux " + options.input);
    std::error_code ec;
    if (own.fail || fs::exists(folder / "BonTsDemux.fail", ec)) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        throw Stop{DemuxFailureMode, "failing on purpose"};
    }

    std::ifstream source;
    if (fs::is_regular_file(toPath(options.input), ec)) {
        source.open(toPath(options.input), std::ios::binary);
    }
    if (!source.is_open()) {
        throw Stop{DemuxBadSource, "cannot read " + options.input};
    }
    noteRun(folder / "BonTsDemux.runs", options.input);
    const std::optional<std::uint64_t> truncated =
        byteCountIn(folder / "BonTsDemux.truncate", DemuxBadCommandLine);
    const std::uint64_t ms = options.wantsWav() ? wavMilliseconds(options.input) : 0;
    std::cout << "read " << options.input << " (" << options.encode << ")" << std::endl;

    // Outputs appear only after the run time, as they would once a real demux has finished.
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    if (options.wantsM2v()) {
        const std::string path = options.output + ".m2v";
        const std::uint64_t bytes = writeM2v(source, options.input, path);
        std::cout << "wrote " << path << " (" << bytes << " bytes)" << std::endl;
    }
    if (options.wantsWav()) {
        const std::string path = options.output + ".wav";
        writeWav(path, ms);
        std::cout << "wrote " << path << " (" << ms << " ms of silence)" << std::endl;
    }
    if (truncated && options.wantsM2v()) {
        cut(options.output + ".m2v", *truncated);
    }
    if (truncated && options.wantsWav()) {
        cut(options.output + ".wav", *truncated);
    }
    return DemuxDone;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("BonTsDemux stand-in", DemuxNotWritten, [&] { return run(argc, argv); });
}
