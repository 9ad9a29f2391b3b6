#include "Files.h"

#include "AsciiCase.h"
#include "WinApi.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <random>

// File operations on Windows, through the wide functions so that any name works, and
// extended-length paths past MAX_PATH.

namespace chain::platform {

using win::failure;
using win::filePath;
using win::lastFailure;

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

OpResult notRegularFile() {
    return OpResult{OpResult::Kind::NotRegularFile, 0, "not a regular file"};
}

// The attributes of a path; nothing when it doesn't exist or can't be asked.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> attributesOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data;
}

bool isFolder(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Closes a handle when it goes out of scope.
struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }
};

// Writes all the bytes; `written` (when given) gets how many went, also on failure.
OpResult writeAll(HANDLE h, std::string_view bytes, std::uint64_t* written = nullptr) {
    OpResult result = OpResult::success();
    std::uint64_t done = 0;
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>((std::min)(bytes.size(), std::size_t{1} << 30));
        DWORD n = 0;
        const bool ok = ::WriteFile(h, bytes.data(), chunk, &n, nullptr);
        done += n;
        bytes.remove_prefix(n);
        if (!ok) {
            result = lastFailure();
            break;
        }
    }
    if (written)
        *written = done;
    return result;
}

// Six characters that make a temporary name unlikely to be taken.
std::string randomTag() {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::string tag;
    for (int i = 0; i < 6; ++i)
        tag.push_back(alphabet[device() % (sizeof alphabet - 1)]);
    return tag;
}

// The absolute form of a path; empty when the system can't make one.
std::wstring fullPath(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    return full;
}

// The drive of a path in upper case ("C:"), or "\\SERVER\SHARE" for a network path;
// empty when it has neither.
std::wstring driveOf(const std::wstring& path) {
    const std::wstring full = fullPath(path);
    std::wstring_view rest = full;
    bool network = false;
    if (rest.starts_with(L"\\\\?\\UNC\\")) {
        rest.remove_prefix(8);
        network = true;
    } else if (rest.starts_with(L"\\\\?\\")) {
        rest.remove_prefix(4);
    } else if (rest.starts_with(L"\\\\")) {
        rest.remove_prefix(2);
        network = true;
    }
    std::wstring drive;
    if (network) {
        const std::size_t server = rest.find(L'\\');
        const std::size_t share = server == std::wstring_view::npos ? server : rest.find(L'\\', server + 1);
        drive = L"\\\\" + std::wstring(rest.substr(0, share));
    } else if (rest.size() >= 2 && rest[1] == L':') {
        drive = rest.substr(0, 2);
    }
    ::CharUpperBuffW(drive.data(), static_cast<DWORD>(drive.size()));
    return drive;
}

} // namespace

OpResult moveNoReplace(const std::string& from, const std::string& to) {
    const std::wstring source = filePath(from);
    const std::wstring target = filePath(to);
    // A file moved onto its own name finds that name taken, as everywhere else (the
    // system would call it done). A change of letter case alone is a real rename.
    if (fullPath(source) == fullPath(target) && attributesOf(source))
        return failure(ERROR_ALREADY_EXISTS);
    // Neither MOVEFILE_REPLACE_EXISTING nor MOVEFILE_COPY_ALLOWED: a taken name fails with
    // ERROR_ALREADY_EXISTS, another drive with ERROR_NOT_SAME_DEVICE.
    if (!::MoveFileExW(source.c_str(), target.c_str(), 0))
        return lastFailure();
    return OpResult::success();
}

std::vector<OpResult> renameInFolder(const std::string& folder,
                                     const std::vector<std::pair<std::string, std::string>>& renames) {
    // Win32 renames by whole paths; the folder is only joined to each name.
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/')
        prefix += '\\';
    std::vector<OpResult> results;
    results.reserve(renames.size());
    for (const auto& [from, to] : renames)
        results.push_back(folder.empty() ? failure(ERROR_PATH_NOT_FOUND)
                                         : moveNoReplace(prefix + from, prefix + to));
    return results;
}

OpResult deleteFile(const std::string& path) {
    const std::wstring p = filePath(path);
    const auto data = attributesOf(p);
    if (!data)
        return lastFailure();
    if (isFolder(*data))
        return notRegularFile();
    if (!::DeleteFileW(p.c_str()))
        return lastFailure();
    return OpResult::success();
}

OpResult setNormalAttributes(const std::string& path) {
    if (!::SetFileAttributesW(filePath(path).c_str(), FILE_ATTRIBUTE_NORMAL))
        return lastFailure();
    return OpResult::success();
}

OpResult listOrdinaryFiles(const std::string& folder, std::vector<std::string>& names,
                           std::string_view extension, std::vector<std::string>* others) {
    names.clear();
    if (others)
        others->clear();
    if (folder.empty()) // would list the root of the current drive
        return failure(ERROR_PATH_NOT_FOUND);
    std::wstring pattern;
    std::wstring ending;
    if (!win::toWide(folder, pattern) || !win::toWide(extension, ending))
        return failure(ERROR_INVALID_NAME);
    if (pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    // The system picks the names by the pattern "*.ts" itself. It also matches a name by
    // its short 8.3 form, so each long name is still tested below. Every name is listed
    // when all of them are asked for.
    if (others || ending.find_first_of(L"*?<>\"") != std::wstring::npos)
        ending.clear();
    pattern = win::extendedIfLong(pattern + L'*' + ending);

    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? OpResult::success() : failure(error); // no entries at all
    }
    constexpr DWORD Left = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        const std::wstring_view wide = entry.cFileName;
        if (wide == L"." || wide == L"..")
            continue;
        std::string name = win::toUtf8(wide);
        if ((entry.dwFileAttributes & Left) == 0 && endsWithIgnoringAsciiCase(name, extension))
            names.push_back(std::move(name));
        else if (others)
            others->push_back(std::move(name));
    } while (::FindNextFileW(find, &entry));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        names.clear();
        if (others)
            others->clear();
        return failure(error);
    }
    return OpResult::success();
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    const auto data = attributesOf(filePath(path));
    if (!data || isFolder(*data))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

std::vector<std::optional<std::uint64_t>> normalFileSizes(const std::string& folder,
                                                          const std::vector<std::string>& names) {
    constexpr DWORD Marks =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\' && prefix.back() != '/')
        prefix += '\\';
    std::vector<std::optional<std::uint64_t>> sizes;
    sizes.reserve(names.size());
    for (const std::string& name : names) {
        const std::wstring path = folder.empty() ? std::wstring() : filePath(prefix + name);
        const auto data = attributesOf(path);
        if (!data || isFolder(*data)) {
            sizes.emplace_back();
            continue;
        }
        if ((data->dwFileAttributes & Marks) != 0)
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        sizes.emplace_back((static_cast<std::uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow);
    }
    return sizes;
}

std::optional<FolderStamp> folderStamp(const std::string&) {
    return std::nullopt;
}

bool isRegularFile(const std::string& path) {
    const auto data = attributesOf(filePath(path));
    return data && !isFolder(*data);
}

bool entryExists(const std::string& path) {
    return ::GetFileAttributesW(filePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool sameEntryName(std::string_view a, std::string_view b) {
    std::wstring wideA;
    std::wstring wideB;
    if (!win::toWide(a, wideA) || !win::toWide(b, wideB))
        return a == b;
    // The ordinal comparison with case ignored is the one the file system makes.
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::optional<std::int64_t> modifiedMsecs(const std::string& path) {
    const auto data = attributesOf(filePath(path));
    if (!data || isFolder(*data))
        return std::nullopt;
    // FILETIME counts 100 ns steps since 1601; 1970 is 11644473600 s later.
    const std::int64_t ticks = (static_cast<std::int64_t>(data->ftLastWriteTime.dwHighDateTime) << 32) |
                               data->ftLastWriteTime.dwLowDateTime;
    return ticks / 10000 - 11644473600000LL;
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    // Opened for no access at all: the file's information can be read even while another
    // program holds it open without sharing.
    const Handle file{::CreateFileW(filePath(path).c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
    BY_HANDLE_FILE_INFORMATION info{};
    if (file.h == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(file.h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
    // FILETIME counts 100 ns steps since 1601; 1970 is 11644473600 s later.
    const auto ticks = static_cast<std::int64_t>(
        join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    return FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                        join(info.nFileSizeHigh, info.nFileSizeLow), (ticks - 116444736000000000LL) * 100};
}

bool canOpenForReading(const std::string& path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder can't be opened, as it should not.
    const Handle file{::CreateFileW(filePath(path).c_str(), GENERIC_READ, ShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
    return file.h != INVALID_HANDLE_VALUE;
}

std::optional<bool> sameVolume(const std::string& a, const std::string& b) {
    const std::wstring pa = filePath(a);
    const std::wstring pb = filePath(b);
    if (!attributesOf(pa) || !attributesOf(pb))
        return std::nullopt;
    const std::wstring da = driveOf(pa);
    const std::wstring db = driveOf(pb);
    if (da.empty() || db.empty())
        return std::nullopt;
    return da == db;
}

OpResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const std::wstring p = filePath(path);
    const auto data = attributesOf(p);
    if (!data)
        return lastFailure();
    if (isFolder(*data))
        return notRegularFile();
    const Handle file{::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return lastFailure();
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.h, buffer, sizeof buffer, &n, nullptr)) {
            bytes.clear();
            return lastFailure();
        }
        if (n == 0)
            return OpResult::success();
        bytes.append(buffer, n);
    }
}

OpResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.clear();
    const std::wstring p = filePath(path);
    const auto data = attributesOf(p);
    if (!data)
        return lastFailure();
    if (isFolder(*data))
        return notRegularFile();
    const Handle file{::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return lastFailure();
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN))
        return lastFailure();
    bytes.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const DWORD chunk = static_cast<DWORD>((std::min)(count - got, std::size_t{1} << 30));
        DWORD n = 0;
        if (!::ReadFile(file.h, bytes.data() + got, chunk, &n, nullptr)) {
            bytes.clear();
            return lastFailure();
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return OpResult::success();
}

std::string linkTarget(const std::string& path) {
    const std::wstring p = filePath(path);
    const auto data = attributesOf(p);
    if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    const Handle file{
        ::CreateFileW(p.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return path;
    std::wstring target(32768, L'\0');
    const DWORD n = ::GetFinalPathNameByHandleW(file.h, target.data(), static_cast<DWORD>(target.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= target.size())
        return path;
    target.resize(n);
    // "\\?\C:\..." or "\\?\UNC\server\...": back to the ordinary spelling.
    if (target.starts_with(L"\\\\?\\UNC\\"))
        target.replace(0, 8, L"\\\\");
    else if (target.starts_with(L"\\\\?\\"))
        target.erase(0, 4);
    return win::toUtf8(target);
}

OpResult replaceFileContents(const std::string& path, std::string_view bytes) {
    const std::wstring target = filePath(path);
    if (const auto data = attributesOf(target); data && isFolder(*data))
        return notRegularFile();

    std::wstring temporary;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = filePath(path + std::string(TemporarySuffix) + randomTag());
        h = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
        if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return lastFailure();
    }
    if (h == INVALID_HANDLE_VALUE)
        return failure(ERROR_FILE_EXISTS);

    OpResult result = writeAll(h, bytes);
    if (result.ok() && !::FlushFileBuffers(h))
        result = lastFailure();
    ::CloseHandle(h);
    // The one rename of the chain that replaces on purpose: the file's new contents
    // take its place whole, or not at all.
    if (result.ok() &&
        !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = lastFailure();
    if (!result.ok())
        ::DeleteFileW(temporary.c_str());
    return result;
}

OpResult appendToFile(const std::string& path, std::string_view bytes) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file,
    // whoever else appends to it meanwhile.
    const std::wstring p = filePath(path);
    const Handle file{::CreateFileW(p.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return lastFailure();
    if (::GetFileType(file.h) != FILE_TYPE_DISK)
        return notRegularFile();
    LARGE_INTEGER before{};
    if (!::GetFileSizeEx(file.h, &before))
        return lastFailure();
    std::uint64_t written = 0;
    const OpResult result = writeAll(file.h, bytes, &written);
    // The bytes go in whole or not at all: what a full disk let through is cut off again,
    // unless another writer has appended meanwhile.
    LARGE_INTEGER after{};
    if (!result.ok() && written > 0 && ::GetFileSizeEx(file.h, &after) &&
        static_cast<std::uint64_t>(after.QuadPart) == static_cast<std::uint64_t>(before.QuadPart) + written) {
        const Handle cut{::CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
        if (cut.h != INVALID_HANDLE_VALUE && ::SetFilePointerEx(cut.h, before, nullptr, FILE_BEGIN))
            ::SetEndOfFile(cut.h);
    }
    return result;
}

std::string currentDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return win::toUtf8(buffer);
        }
        buffer.resize(n);
    }
}

} // namespace chain::platform
