#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace chain::platform::win {

namespace {

constexpr DWORD DiskQuotaExceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED, missing from MinGW's headers

OpResult::Kind kindOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
        return OpResult::Kind::Exists;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY: // a drive with no medium in it
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: // a file where a folder was expected
        return OpResult::Kind::NotFound;
    case ERROR_NOT_SAME_DEVICE:
        return OpResult::Kind::CrossVolume;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return OpResult::Kind::Denied;
    case ERROR_WRITE_PROTECT:
        return OpResult::Kind::ReadOnly;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_BUSY:
        return OpResult::Kind::Busy;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case DiskQuotaExceeded:
        return OpResult::Kind::NoSpace;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: // "the file name is too long"
        return OpResult::Kind::NameTooLong;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return OpResult::Kind::InvalidName;
    default:
        return OpResult::Kind::Other;
    }
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool startsWithDrive(std::wstring_view path) {
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

std::wstring currentDirectoryWide() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n);
    }
}

// `root` followed by the parts of `rest`, with "." dropped and ".." taking back the
// part before it (never the root).
std::wstring joinResolved(std::wstring root, std::wstring_view rest) {
    std::vector<std::wstring_view> parts;
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && isSeparator(rest[i]))
            ++i;
        std::size_t end = i;
        while (end < rest.size() && !isSeparator(rest[end]))
            ++end;
        const std::wstring_view part = rest.substr(i, end - i);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        i = end;
    }
    for (const std::wstring_view part : parts) {
        root += L'\\';
        root += part;
    }
    return root;
}

} // namespace

bool toWide(std::string_view utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty())
        return true;
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), n) != n) {
        wide.clear();
        return false;
    }
    return true;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
    return text;
}

std::wstring extendedIfLong(std::wstring path) {
    constexpr std::size_t FolderLimit = MAX_PATH - 12;
    if (path.size() < FolderLimit || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) // \\server\share\...
        return joinResolved(L"\\\\?\\UNC", std::wstring_view(path).substr(2));
    if (startsWithDrive(path) && path.size() > 2 && isSeparator(path[2])) // C:\...
        return joinResolved(L"\\\\?\\" + path.substr(0, 2), std::wstring_view(path).substr(2));

    // Relative to the current folder, to the root of its drive ("\x"), or to the
    // current folder of another drive ("D:x", taken as its root here).
    const std::wstring current = currentDirectoryWide();
    if (startsWithDrive(path))
        return extendedIfLong(path.substr(0, 2) + L'\\' + path.substr(2));
    if (current.empty())
        return path;
    if (isSeparator(path[0]))
        return extendedIfLong(current.substr(0, 2) + path);
    return extendedIfLong(current + L'\\' + path);
}

std::wstring filePath(std::string_view utf8) {
    std::wstring wide;
    if (!toWide(utf8, wide))
        return {};
    return extendedIfLong(std::move(wide));
}

std::string errorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (n > 0 && buffer != nullptr)
        text.assign(buffer, n);
    if (buffer != nullptr)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        return "error " + std::to_string(error);
    return toUtf8(text);
}

OpResult failure(unsigned long error) {
    return OpResult{kindOf(error), static_cast<int>(error), errorText(error)};
}

OpResult lastFailure() {
    return failure(::GetLastError());
}

} // namespace chain::platform::win
