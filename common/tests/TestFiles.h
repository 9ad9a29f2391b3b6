#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QString>
#include <QStringList>
#include <QTest>

// Small file helpers the tests of every program share.
namespace chain::testing {

// A path in a folder as the programs join them: with the system's separator ("\" on
// Windows, where a folder from Qt is written with "/"), also between the sub-folders that
// `relative` names with "/".
inline QString inFolder(const QString& folder, const QString& relative) {
    return folder + QDir::separator() + QDir::toNativeSeparators(relative);
}

// Whether the test runs in Wine (which has ntdll export its version), not on Windows itself.
inline bool runsUnderWine() {
#ifdef Q_OS_WIN
    return QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// Writes the bytes to the file, replacing it; fails the running test when it can't.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The file's bytes, or a null QByteArray when it can't be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A jobs file as the chain writes them: one job turning `input` into `output`, and a line
// after "// $done" that VirtualDub must never see.
inline QStringList jobsFile(const QString& input, const QString& output) {
    return {QStringLiteral("// $job \"Job 1\""),
            QStringLiteral("// $output \"%1\"").arg(output),
            QStringLiteral("VirtualDub.Open(\"%1\",\"\",0);").arg(input),
            QStringLiteral("VirtualDub.SaveAVI(\"%1\");").arg(output),
            QStringLiteral("// $endjob"),
            QStringLiteral("// $done"),
            QStringLiteral("VirtualDub.SaveAVI(\"%1.never\");").arg(output)};
}

} // namespace chain::testing
