#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

// Small file helpers the tests of every program share.
namespace chain::testing {

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
