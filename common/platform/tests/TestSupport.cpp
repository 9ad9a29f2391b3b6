// The test runner's main() and the helpers of TestSupport.h.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace test {

namespace {

std::string randomLetters(int count) {
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string s;
    for (int i = 0; i < count; ++i)
        s.push_back(static_cast<char>(letter(generator)));
    return s;
}

fs::path thisProgram() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    buffer.resize(::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())));
    return fs::path(buffer);
#else
    return fs::read_symlink("/proc/self/exe");
#endif
}

} // namespace

fs::path toPath(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string fromPath(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

TempDir::TempDir() {
    fs::path base = fs::temp_directory_path();
#ifdef _WIN32
    // The long form of the folder (the system may give it in 8.3 form).
    std::wstring full(32768, L'\0');
    full.resize(::GetLongPathNameW(base.c_str(), full.data(), static_cast<DWORD>(full.size())));
    if (!full.empty())
        base = full;
#endif
    for (;;) {
        const fs::path candidate = base / ("platform-test-" + randomLetters(8));
        if (fs::create_directory(candidate)) {
            m_path = fromPath(candidate);
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(toPath(m_path), ignored);
}

std::string TempDir::file(const std::string& name) const {
    return fromPath((toPath(m_path) / toPath(name)).make_preferred());
}

bool writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(toPath(path), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream file(toPath(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(toPath(folder)))
        names.push_back(fromPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string quoted(const std::string& path) {
    return '"' + path + '"';
}

std::string named(std::string pattern) {
    static const std::string tag = randomLetters(4);
    std::string upper = tag;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(c - 32); });
    for (const auto& [placeholder, value] : {std::pair{"{tag}", tag}, std::pair{"{TAG}", upper}}) {
        for (auto at = pattern.find(placeholder); at != std::string::npos; at = pattern.find(placeholder))
            pattern.replace(at, 5, value);
    }
    return pattern;
}

bool copyChild(const std::string& to) {
    fs::path child = thisProgram().parent_path() / "platform_child";
    child += thisProgram().extension(); // ".exe" on Windows
    std::error_code error;
    return fs::copy_file(child, toPath(to), error);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::optional<std::vector<std::string>> childReport(const std::string& child) {
    std::optional<std::string> text;
    if (!waitUntil([&] { return (text = readFile(child + ".out")).has_value(); }))
        return std::nullopt;
    std::vector<std::string> lines;
    std::istringstream in(*text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

ProcessAnswer answerFor(const std::string& name) {
    std::string error;
    return chain::platform::processExists(name, error);
}

bool waitForAnswer(const std::string& name, ProcessAnswer wanted) {
    return waitUntil([&] { return answerFor(name) == wanted; });
}

} // namespace test

doctest::String chain::platform::toString(OpResult::Kind kind) {
    static const char* const names[] = {
        "Ok",      "Exists",      "NotFound",    "CrossVolume",    "Denied",    "ReadOnly", "Busy",
        "NoSpace", "NameTooLong", "InvalidName", "NotRegularFile", "NeedsWine", "Other"};
    static_assert(std::size(names) == static_cast<std::size_t>(OpResult::Kind::Other) + 1);
    return names[static_cast<std::size_t>(kind)];
}

doctest::String chain::platform::toString(ProcessAnswer answer) {
    return answer == ProcessAnswer::Yes ? "Yes" : answer == ProcessAnswer::No ? "No" : "Unknown";
}

doctest::String
doctest::StringMaker<std::vector<std::string>>::convert(const std::vector<std::string>& list) {
    std::string text = "{";
    for (std::size_t i = 0; i < list.size(); ++i)
        text += (i > 0 ? ", [" : "[") + list[i] + "]";
    return (text + "}").c_str();
}
