// What the programs print: the UTF-8 bytes to a file, characters to a Windows console
// whatever its code page.

#include "TestSupport.h"

#include "platform/Console.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

TEST_CASE("a file gets the UTF-8 bytes as they are") {
    const test::TempDir dir;
    const std::string path = dir.file("out.txt");
    std::FILE* file = std::fopen(test::toPath(path).string().c_str(), "wb");
    REQUIRE(file != nullptr);
    chain::platform::writeText(file, "番組！\n");
    std::fclose(file);
    CHECK(test::readFile(path) == std::optional<std::string>("番組！\n"));
}

#ifdef _WIN32
TEST_CASE("Japanese text reaches a console as characters in any code page") {
    ::FreeConsole();
    REQUIRE(::AllocConsole());
    REQUIRE(::SetConsoleOutputCP(437)); // a code page without Japanese
    std::FILE* console = _wfopen(L"CONOUT$", L"w");
    REQUIRE(console != nullptr);
    const HANDLE screen =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    REQUIRE(screen != INVALID_HANDLE_VALUE);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    REQUIRE(::GetConsoleScreenBufferInfo(screen, &info));

    chain::platform::writeText(console, "番組！.ts\n");
    std::fflush(console);
    wchar_t shown[7] = {};
    DWORD read = 0;
    REQUIRE(::ReadConsoleOutputCharacterW(screen, shown, 7, info.dwCursorPosition, &read));
    CHECK(std::wstring(shown, read) == L"番組！.ts");
    std::fclose(console);
    ::CloseHandle(screen);
    ::FreeConsole();
}
#endif
