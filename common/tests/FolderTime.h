#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace chain::testing {

// Sets a folder's modification time, as a copy that keeps times does; fails the running
// test when it can't. (std::filesystem can't on Windows: MinGW's C runtime opens no folder.)
inline void setFolderTime(const QString& folder, const QDateTime& when) {
#ifdef Q_OS_WIN
    const HANDLE handle =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(folder).utf16()),
                      FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    QVERIFY2(handle != INVALID_HANDLE_VALUE, qUtf8Printable(folder));
    const quint64 ticks = quint64(when.toMSecsSinceEpoch() + 11644473600000LL) * 10000; // 100 ns since 1601
    const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
    const bool set = ::SetFileTime(handle, nullptr, nullptr, &time);
    ::CloseHandle(handle);
    QVERIFY2(set, qUtf8Printable(folder));
#else
    const timespec times[2] = {{0, UTIME_OMIT},
                               {time_t(when.toSecsSinceEpoch()), long(when.time().msec()) * 1000000}};
    QVERIFY2(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), times, 0) == 0,
             qUtf8Printable(folder));
#endif
}

} // namespace chain::testing
