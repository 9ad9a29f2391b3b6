#include "ToolSupport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iostream>

#ifdef _WIN32
#ifndef NOMINMAX // MinGW's C++ headers may have defined it already
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <shellapi.h>
#endif

namespace tools {

namespace {
constexpr double maxSeconds = 86400.0;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}
} // namespace

void logRun(std::string_view line) {
    const char* log = std::getenv("CHAIN_TOOL_RUN_LOG");
    if (!log || !*log)
        return;
    // One write of the whole line to a file opened for appending, so the lines of tools
    // that run at once never mix.
    std::string text(line);
    text += '\n';
    if (std::FILE* file = std::fopen(log, "ab")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

int runTool(std::string_view name, int unexpectedCode, const std::function<int()>& body) {
    logRun("start " + std::string(name));
    int code = unexpectedCode;
    try {
        code = body();
    } catch (const Stop& stop) {
        std::cerr << name << ": " << stop.message << std::endl;
        code = stop.code;
    } catch (const std::exception& e) {
        std::cerr << name << ": " << e.what() << std::endl;
    }
    logRun("end " + std::string(name));
    return code;
}

fs::path startedFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    (void)argv0;
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length < buffer.size() ? length : 0);
    return fs::path(buffer).parent_path();
#else
    const std::string_view started(argv0 ? argv0 : "");
    if (started.find('/') != std::string_view::npos) {
        return fs::absolute(fs::path(started), ec).parent_path();
    }
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
#endif
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        throw Stop{2, "cannot read the command line"};
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const int wideLength = static_cast<int>(std::wcslen(wide[i]));
        std::string utf8(static_cast<std::size_t>(wideLength) * 3, '\0');
        const int length = WideCharToMultiByte(CP_UTF8, 0, wide[i], wideLength, utf8.data(),
                                               static_cast<int>(utf8.size()), nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(length));
        args.push_back(std::move(utf8));
    }
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
}

std::optional<std::string> readBytes(const fs::path& path, std::size_t most) {
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

std::optional<std::uint64_t> byteCountIn(const fs::path& file, int badCode) {
    const std::optional<std::string> bytes = readBytes(file, 64);
    if (!bytes) {
        return std::nullopt;
    }
    const std::string_view text = trimmed(*bytes);
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        throw Stop{badCode, "bad number in " + file.filename().string()};
    }
    return value;
}

void noteRun(const fs::path& runs, const std::string& input) {
    std::error_code ec;
    if (!fs::exists(runs, ec)) {
        return;
    }
    static const char digits[] = "0123456789abcdef";
    std::string line;
    for (const char c : readBytes(toPath(input), 64).value_or(std::string())) {
        line.push_back(digits[static_cast<unsigned char>(c) >> 4]);
        line.push_back(digits[static_cast<unsigned char>(c) & 0xF]);
    }
    line += '\t' + input + '\n';
    std::ofstream(runs, std::ios::binary | std::ios::app) << line;
}

fs::path toPath(const std::string& utf8) {
#ifdef _WIN32
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::path(utf8);
#endif
}

} // namespace tools
