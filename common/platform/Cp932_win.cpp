#include "Cp932.h"

#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// cp932 through the system's own code page 932 (the Windows table, NEC and IBM
// extensions included). Reading refuses bytes that aren't valid cp932; writing refuses
// characters that have no exact cp932 form instead of writing a look-alike or "?".

namespace chain::platform {

namespace {

constexpr UINT Cp932 = 932;

} // namespace

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    if (bytes.empty())
        return std::string();
    const int size = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(Cp932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (::MultiByteToWideChar(Cp932, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n) != n)
        return std::nullopt;
    return win::toUtf8(wide);
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
    std::wstring wide;
    if (!win::toWide(text, wide))
        return std::nullopt;
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(Cp932, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr,
                                        &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(Cp932, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), n, nullptr,
                              &usedDefault) != n ||
        usedDefault)
        return std::nullopt;
    // As on the other systems, only a text that reads back as it went in counts as one
    // that cp932 can hold (one character with two codes, or a table that maps a
    // character onto a neighbour, would otherwise slip through).
    const auto back = cp932ToUtf8(bytes);
    if (!back || *back != text)
        return std::nullopt;
    return bytes;
}

} // namespace chain::platform
