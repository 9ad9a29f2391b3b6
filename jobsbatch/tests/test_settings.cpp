// Orvane_Data.txt read and written, and the folder check at start-up.

#include "JobLists.h"
#include "Settings.h"
#include "Startup.h"
#include "TestFiles.h"

#include "FileOps.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace orvane;
using chain::testing::inFolder;
using chain::testing::readFile;
using chain::testing::writeFile;

namespace {
const QString Start = QStringLiteral("<start>"); // stands for the start folder in the tables

QStringList slotsOneToFive(const StateTable& state, const QString& startFolder) {
    QStringList values;
    for (int k = 1; k <= 5; ++k)
        values << QString(state.text(k)).replace(startFolder, Start);
    return values;
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void readsFiveLinesOrAllDefaults_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QStringList>("slots");
        QTest::addColumn<bool>("reported");
        const QStringList defaults{Start, Start, Start, "1", "1"};
        QTest::newRow("five lines") << QByteArray("C:\\vd\r\nD:\\jobs\r\nE:\\moved\r\n0\r\n1\r\n")
                                    << QStringList{"C:\\vd", "D:\\jobs", "E:\\moved", "0", "1"} << false;
        QTest::newRow("folders taken whole") << QByteArray(" /a b \r\n\r\n\"q\"\r\n1\r\n0")
                                             << QStringList{" /a b ", "", "\"q\"", "1", "0"} << false;
        QTest::newRow("four lines: all defaults") << QByteArray("a\r\nb\r\nc\r\n0\r\n") << defaults << false;
        QTest::newRow("no file: all defaults") << QByteArray() << defaults << false;
        QTest::newRow("0.5 and 1.4") << QByteArray("a\r\nb\r\nc\r\n0.5\r\n1.4\r\n")
                                     << QStringList{"a", "b", "c", "0", "1"} << false;
        QTest::newRow("letters and empty")
            << QByteArray("a\r\nb\r\nc\r\nyes\r\n\r\n") << QStringList{"a", "b", "c", "0", "0"} << false;
        QTest::newRow("1.5 and 2") << QByteArray("a\r\nb\r\nc\r\n1.5\r\n2\r\n")
                                   << QStringList{"a", "b", "c", "0", "0"} << false;
        QTest::newRow("not cp932: all defaults, reported")
            << QByteArray("a\r\nb\r\nc\x81\x20\r\n0\r\n0\r\n") << defaults << true;
    }
    void readsFiveLinesOrAllDefaults() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, slots);
        QFETCH(bool, reported);
        QTemporaryDir dir;
        if (!content.isNull())
            writeFile(dir.filePath(SettingsFileName), content);
        StateTable state(StateTableSize);
        state.set(slot::StartFolder, dir.path());
        const QString note = loadSettings(state);
        QCOMPARE(slotsOneToFive(state, dir.path()), slots);
        QCOMPARE(!note.isEmpty(), reported);
        if (reported)
            QVERIFY2(note.contains(inFolder(dir.path(), SettingsFileName)), qUtf8Printable(note));
    }

    void saveWritesBackTheFileByteForByte() {
        QTemporaryDir dir;
        const QByteArray content(
            "C:\\\x83\x72\x83\x66\x83\x49 \r\n/jobs\r\n/moved\r\n0\r\n1\r\n"); // "ビデオ "
        writeFile(dir.filePath(SettingsFileName), content);
        StateTable state(StateTableSize);
        state.set(slot::StartFolder, dir.path());
        QCOMPARE(loadSettings(state), QString());
        QCOMPARE(state.text(slot::VirtualDubFolder), QStringLiteral("C:\\ビデオ "));
        QCOMPARE(SaveSettings(state), QString());
        QCOMPARE(readFile(dir.filePath(SettingsFileName)), content);
    }

    // A folder that can't be listed becomes the start folder, in the slot only.
    void startUpReplacesFoldersThatCantBeListed() {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("jobs"));
        const QByteArray content =
            (dir.filePath(QStringLiteral("gone")) + QStringLiteral("\r\n") +
             dir.filePath(QStringLiteral("jobs")) + QStringLiteral("\r\n\r\n1\r\n1\r\n"))
                .toUtf8();
        writeFile(dir.filePath(SettingsFileName), content);
        writeFile(dir.filePath(QStringLiteral("jobs/b.jobs")), "// $output \"x\\b.avi\"\r\n");
        const QString leftover = dir.filePath(VirtualDubJobsName + QStringLiteral(".tmp~Ab12Cd"));
        writeFile(leftover, "half a job list"); // in the folder that stands in for the missing one
        StateTable state(StateTableSize);
        JobLists lists(state);
        const QStringList notes = startUp(dir.path(), state, lists);

        QCOMPARE(state.text(slot::VirtualDubFolder), dir.path());
        QCOMPARE(state.text(slot::JobsFolder), dir.filePath(QStringLiteral("jobs")));
        QCOMPARE(state.text(slot::JobsMoveFolder), dir.path());
        QCOMPARE(notes.size(), 3);
        QVERIFY2(
            notes[0].startsWith(QStringLiteral("VirtualDubフォルダ %1 を開けない").arg(dir.filePath("gone"))),
            qPrintable(notes[0]));
        QCOMPARE(notes[1],
                 QStringLiteral("jobs移動フォルダが空欄のため、起動フォルダ %1 を使います").arg(dir.path()));
        QVERIFY(!QFile::exists(leftover));
        QCOMPARE(readFile(dir.filePath(SettingsFileName)), content);
        QCOMPARE(lists.jobs(), QStringList{"b.jobs"}); // listed, and the first entry shown
        QCOMPARE(lists.outputs(), QStringList{"b.avi\""});
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
