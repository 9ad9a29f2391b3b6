// Stand-in for the outside demuxer BonTsDemux.exe. It takes the same command line, waits a while so that a
// process watch sees it running, then writes the .m2v (a copy of the source bytes) and/or a silent PCM .wav
// named by -o, and ends. Files beside the executable tune it for tests and the demo:
//   BonTsDemux.seconds  run time in seconds (decimal), unless --seconds X is given; default 0.5
//   BonTsDemux.fail     wait, then exit 1 without writing anything (same as --fail)
//   BonTsDemux.truncate a byte count: each output is cut to that many bytes once written, as if the
//                       demuxer had died half-way (0 leaves empty files)
// Exit codes: 0 done, 1 failure mode, 2 bad command line or setting, 3 -start/-quit missing,
// 4 source unreadable, 5 output not written.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <set>
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

enum ExitCode {
    Done = 0,
    FailureMode = 1,
    BadCommandLine = 2,
    NotStarted = 3,
    BadSource = 4,
    NotWritten = 5
};

constexpr double defaultSeconds = 0.5;
constexpr double maxSeconds = 86400.0;
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

// The parsed command line.
struct Options {
    std::string input;
    std::string output;
    std::string encode = "Demux(m2v+wav)";
    bool start = false;
    bool quit = false;
    bool fail = false;
    std::optional<double> seconds;
};

// Thrown for any problem that ends the run; carries the message and the exit code.
struct Stop {
    ExitCode code;
    std::string message;
};

bool isOneOf(std::string_view value, std::initializer_list<std::string_view> allowed) {
    for (std::string_view a : allowed) {
        if (value == a) {
            return true;
        }
    }
    return false;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Reads a run time in seconds: a plain decimal number from 0 up to a day.
std::optional<double> parseSeconds(std::string_view text) {
    text = trimmed(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0 || value > maxSeconds) {
        return std::nullopt;
    }
    return value;
}

// Reads a whole non-negative decimal number.
std::optional<std::uint64_t> parseWhole(std::string_view text) {
    text = trimmed(text);
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Parses the demuxer's switches strictly, plus our own --seconds and --fail anywhere on the line.
Options parseArguments(const std::vector<std::string>& args) {
    Options options;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = isOneOf(arg, {"-i", "-o", "-encode", "-sound", "-es", "-nd", "--seconds"});
        // A switch given twice is refused: the tool's meaning would be unclear.
        const std::string key = arg.rfind("-rf64", 0) == 0 ? "-rf64" : arg.rfind("-vf", 0) == 0 ? "-vf" : arg;
        if (!seen.insert(key).second) {
            throw Stop{BadCommandLine, "switch given twice: " + arg};
        }
        std::string value;
        if (takesValue) {
            // A value never starts with '-': that is the next switch, so this one has no value.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-') {
                throw Stop{BadCommandLine, "missing value after " + arg};
            }
            value = args[++i];
        }
        if (arg == "-i") {
            options.input = value;
        } else if (arg == "-o") {
            options.output = value;
        } else if (arg == "-encode") {
            if (!isOneOf(value, {"Demux(m2v+wav)", "Demux(m2v)", "Demux(wav)"})) {
                throw Stop{BadCommandLine, "unknown -encode kind: " + value};
            }
            options.encode = value;
        } else if (arg == "-sound") {
            if (!isOneOf(value, {"0", "1", "2", "3", "4"})) {
                throw Stop{BadCommandLine, "-sound must be 0 to 4, not " + value};
            }
        } else if (arg == "-es") {
            if (!isOneOf(value, {"0", "1", "2"})) {
                throw Stop{BadCommandLine, "-es must be 0 to 2, not " + value};
            }
        } else if (arg == "-nd") {
            if (!isOneOf(value, {"0", "1"})) {
                throw Stop{BadCommandLine, "-nd must be 0 or 1, not " + value};
            }
        } else if (arg == "--seconds") {
            options.seconds = parseSeconds(value);
            if (!options.seconds) {
                throw Stop{BadCommandLine, "--seconds needs a number from 0 to 86400, not " + value};
            }
        } else if (isOneOf(arg, {"-rf640", "-rf641", "-vf0", "-vf1"})) {
            // Flags written as -rf64"1" and -vf"1" on the tool's line; the value is glued on.
        } else if (arg == "-start") {
            options.start = true;
        } else if (arg == "-quit") {
            options.quit = true;
        } else if (arg == "--fail") {
            options.fail = true;
        } else {
            throw Stop{BadCommandLine, "unknown switch: " + arg};
        }
    }
    if (options.input.empty()) {
        throw Stop{BadCommandLine, "missing -i <source .ts>"};
    }
    if (options.output.empty()) {
        throw Stop{BadCommandLine, "missing -o <output base name>"};
    }
    return options;
}

// Folder holding this executable, where the tuning files lie.
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

// Whole content of a small text file, or nothing when it doesn't exist or can't be read.
std::optional<std::string> readSmallFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// Run time: --seconds, else the seconds file beside the executable, else the default.
double runSeconds(const Options& options, const fs::path& folder) {
    if (options.seconds) {
        return *options.seconds;
    }
    const fs::path file = folder / "BonTsDemux.seconds";
    const auto text = readSmallFile(file);
    if (!text) {
        return defaultSeconds;
    }
    const auto seconds = parseSeconds(*text);
    if (!seconds) {
        throw Stop{BadCommandLine, "bad number in " + file.string()};
    }
    return *seconds;
}

// Length of the silent .wav in ms: from the file <source>.ms if present, else one second.
std::uint64_t wavMilliseconds(const std::string& input) {
    const fs::path file(input + ".ms");
    const auto text = readSmallFile(file);
    if (!text) {
        return defaultWavMs;
    }
    const auto ms = parseWhole(*text);
    if (!ms || *ms > maxWavMs) {
        throw Stop{BadSource,
                   "bad length in " + file.string() + " (whole ms up to " + std::to_string(maxWavMs) + ")"};
    }
    return *ms;
}

// Removes a half-written output, so that nobody mistakes it for a finished one, and ends the run.
[[noreturn]] void writeFailed(const std::string& path) {
    std::error_code ec;
    fs::remove(fs::path(path), ec);
    throw Stop{NotWritten, "cannot write " + path};
}

// Copies the source bytes to the .m2v output; returns the byte count.
std::uint64_t writeM2v(std::ifstream& source, const std::string& input, const std::string& path) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
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
        fs::remove(fs::path(path), ec);
        throw Stop{BadSource, "cannot read " + input};
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

    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
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

// The byte count in BonTsDemux.truncate beside the executable, if the file is there.
std::optional<std::uint64_t> truncateTo(const fs::path& folder) {
    const auto text = readSmallFile(folder / "BonTsDemux.truncate");
    if (!text) {
        return std::nullopt;
    }
    const auto bytes = parseWhole(*text);
    if (!bytes) {
        throw Stop{BadCommandLine, "bad number in BonTsDemux.truncate"};
    }
    return bytes;
}

// Cuts a written output to `bytes` when it is longer.
void cut(const std::string& path, std::uint64_t bytes) {
    std::error_code ec;
    if (fs::file_size(fs::path(path), ec) > bytes && !ec) {
        fs::resize_file(fs::path(path), bytes, ec);
    }
    if (ec) {
        throw Stop{NotWritten, "cannot cut " + path};
    }
}

// The whole run: check the line, wait, then write what -encode asks for.
int run(int argc, char** argv) {
    const std::vector<std::string> args =
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    const Options options = parseArguments(args);
    if (!options.start || !options.quit) {
        // Without both, the real tool opens its window and waits for a user.
        throw Stop{NotStarted, "-start and -quit are both needed to run unattended"};
    }
    const fs::path folder = executableFolder(argc > 0 ? argv[0] : nullptr);
    const double seconds = runSeconds(options, folder);
    std::error_code ec;
    if (options.fail || fs::exists(folder / "BonTsDemux.fail", ec)) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        throw Stop{FailureMode, "failing on purpose"};
    }

    std::ifstream source;
    if (fs::is_regular_file(fs::path(options.input), ec)) {
        source.open(fs::path(options.input), std::ios::binary);
    }
    if (!source.is_open()) {
        throw Stop{BadSource, "cannot read " + options.input};
    }
    const std::optional<std::uint64_t> truncated = truncateTo(folder);
    const bool wantM2v = options.encode != "Demux(wav)";
    const bool wantWav = options.encode != "Demux(m2v)";
    const std::uint64_t ms = wantWav ? wavMilliseconds(options.input) : 0;
    std::cout << "read " << options.input << " (" << options.encode << ")" << std::endl;

    // Outputs appear only after the run time, as they would once a real demux has finished.
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    if (wantM2v) {
        const std::string path = options.output + ".m2v";
        const std::uint64_t bytes = writeM2v(source, options.input, path);
        std::cout << "wrote " << path << " (" << bytes << " bytes)" << std::endl;
    }
    if (wantWav) {
        const std::string path = options.output + ".wav";
        writeWav(path, ms);
        std::cout << "wrote " << path << " (" << ms << " ms of silence)" << std::endl;
    }
    if (truncated && wantM2v) {
        cut(options.output + ".m2v", *truncated);
    }
    if (truncated && wantWav) {
        cut(options.output + ".wav", *truncated);
    }
    return Done;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const Stop& stop) {
        std::cerr << "BonTsDemux stand-in: " << stop.message << std::endl;
        return stop.code;
    } catch (const std::exception& e) {
        std::cerr << "BonTsDemux stand-in: " << e.what() << std::endl;
        return NotWritten;
    }
}
