// A small program that the platform tests start and look for in the process list.
//
//   platform_child [MS [ARGS...]]
//
// It writes what it was given to a file beside itself, "<its own path>.out": the working
// folder, then each argument after the program name as "[arg]"; on Windows also
// "cmdline=<the command-line text>" and "show=<the show mode it was started with, or
// none>". Then it stays for MS milliseconds (0 when missing) and ends.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

fs::path ownPath() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    buffer.resize(::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())));
    return fs::path(buffer);
#else
    return fs::read_symlink("/proc/self/exe");
#endif
}

int run(const std::vector<std::string>& args) {
    std::string report = utf8(fs::current_path()) + "\n";
    for (std::size_t i = 1; i < args.size(); ++i)
        report += "[" + args[i] + "]\n";
#ifdef _WIN32
    report += "cmdline=" + utf8(fs::path(::GetCommandLineW())) + "\n";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    report += "show=" +
              ((startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow)
                                                        : std::string("none")) +
              "\n";
#endif
    // Written under another name first, so that a reader never sees half of it.
    fs::path out = ownPath();
    out += ".out";
    fs::path part = out;
    part += ".part";
    {
        std::ofstream file(part, std::ios::binary);
        file << report;
        if (!file.flush())
            return 2;
    }
    std::error_code error;
    fs::rename(part, out, error);
    if (error)
        return 2;

    const long ms = args.size() > 1 ? std::strtol(args[1].c_str(), nullptr, 10) : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return 0;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(utf8(fs::path(argv[i])));
    return run(args);
}
#else
int main(int argc, char** argv) {
    return run(std::vector<std::string>(argv, argv + argc));
}
#endif
