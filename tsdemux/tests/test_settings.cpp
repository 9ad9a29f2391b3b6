#include "Settings.h"
#include "Startup.h"

#include "RecordingDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

namespace {
// Writes a settings file the way a user's editor might: the given lines, cp932, CR LF.
void writeLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& line : lines)
        file.write(line.toUtf8() + "\r\n"); // the test lines are ASCII, the same in cp932
}

QStringList sixteenLines(const QString& line15, const QString& line16) {
    return {"0", " /rec ", "/done", "/out", "7", "Demux(wav)", "1",    "2",
            "1", "1",      "0",     "90",   "1", "0",          line15, line16};
}

Settings freshSettings(const QString& folder) {
    Settings settings(SettingsSize);
    settings.set(slot::ProgramFolder, folder);
    return settings;
}
} // namespace

// Kestrune's settings file and start-up: what is read, what falls back to the defaults,
// and that saving and loading give the same slots.
class SettingsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void fullFileIsReadTrimmedAndUnquoted() {
        QTemporaryDir dir;
        writeLines(dir.filePath(SettingsFileName), sixteenLines("  \" a#b \"  ", "\"\""));
        Settings s = freshSettings(dir.path());
        QVERIFY(loadSettings(s));
        QCOMPARE(s.text(slot::Mode), QStringLiteral("0"));
        QCOMPARE(s.text(slot::SourceFolder), QStringLiteral("/rec"));
        QCOMPARE(s.text(slot::DemuxKind), QStringLiteral("Demux(wav)"));
        QCOMPARE(s.text(slot::CheckInterval), QStringLiteral("90"));
        QCOMPARE(s.text(slot::BeforeString), QStringLiteral(" a#b "));
        QCOMPARE(s.text(slot::AfterString), QString());
        QVERIFY(!s.isSet(slot::Pending)); // only the defaults set the pending flag
    }

    void brokenFilesGiveEveryDefault_data() {
        QTest::addColumn<QStringList>("lines");
        QStringList fifteen = sixteenLines("\"!\"", "\"！\"");
        fifteen.removeLast();
        QTest::newRow("fifteen lines") << fifteen;
        QTest::newRow("line 15 too short") << sixteenLines("\"", "\"x\"");
        QTest::newRow("line 16 blank") << sixteenLines("\"x\"", "   ");
    }
    void brokenFilesGiveEveryDefault() {
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        writeLines(dir.filePath(SettingsFileName), lines);
        Settings s = freshSettings(dir.path());
        QVERIFY(!loadSettings(s));
        QCOMPARE(s.text(slot::Mode), QStringLiteral("1"));
        QCOMPARE(s.text(slot::SourceFolder), dir.path());
        QCOMPARE(s.text(slot::OutputFolder), dir.path());
        QCOMPARE(s.text(slot::IndividualInterval), QStringLiteral("5"));
        QCOMPARE(s.text(slot::Descramble), QStringLiteral("1"));
        QCOMPARE(s.text(slot::BeforeString), QStringLiteral("!?#&~/."));
        QCOMPARE(s.text(slot::AfterString), QStringLiteral("！？\\＆～／,"));
        QCOMPARE(s.text(slot::Pending), QStringLiteral("0"));
    }

    void saveThenLoadGivesTheSameSlotsAndBytes() {
        QTemporaryDir dir;
        Settings s = freshSettings(dir.path());
        applyDefaults(s);
        s.set(slot::SourceFolder, QStringLiteral("  /録画/ts  "));
        s.set(slot::BeforeString, QStringLiteral(" !～"));
        s.set(slot::AfterString, QStringLiteral("x\\ "));
        QCOMPARE(SaveSettings(s), QString());

        QFile file(dir.filePath(SettingsFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close(); // Windows refuses to replace a file that is open
        QVERIFY(bytes.endsWith("\"x\\ \"\r\n"));
        QCOMPARE(bytes.count("\r\n"), 16);
        QVERIFY(bytes.contains("\"\x20!\x81\x60\"\r\n")); // cp932 bytes of the before string

        Settings loaded = freshSettings(dir.path());
        QVERIFY(loadSettings(loaded));
        for (int k = 1; k <= 16; ++k) {
            const QString expected = k == slot::SourceFolder ? QStringLiteral("/録画/ts") : s.text(k);
            QCOMPARE(loaded.text(k), expected);
        }
        QCOMPARE(SaveSettings(loaded), QString());
        QFile again(dir.filePath(SettingsFileName));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), bytes);
    }

    void failedSaveKeepsTheOldFile_data() {
        QTest::addColumn<int>("slotIndex");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason"); // in the reason given
        QTest::newRow("not in cp932") << int(slot::SourceFolder) << "😀"
                                      << "「😀」";
        // A line break in the table would make the next start read another table.
        QTest::newRow("line break in the before string") << int(slot::BeforeString) << "!\n?"
                                                         << "改行";
        QTest::newRow("carriage return in the after string") << int(slot::AfterString) << "！\r？"
                                                             << "改行";
    }
    void failedSaveKeepsTheOldFile() {
        QFETCH(int, slotIndex);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        Settings s = freshSettings(dir.path());
        applyDefaults(s);
        QCOMPARE(SaveSettings(s), QString());
        s.set(slotIndex, value);
        const QString refused = SaveSettings(s);
        QVERIFY2(refused.contains(reason), qPrintable(refused));
        Settings loaded = freshSettings(dir.path());
        QVERIFY(loadSettings(loaded));
        QCOMPARE(loaded.text(slot::SourceFolder), dir.path());
        QCOMPARE(loaded.text(slot::BeforeString), QStringLiteral("!?#&~/."));
    }

    void startUpNeedsTheDemuxer() {
        QTemporaryDir dir;
        Settings s(SettingsSize);
        Keywords keywords;
        chain::RecordingDialogs dialogs;
        QVERIFY(!startUp(dir.path(), s, keywords, dialogs));
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("エラー"));
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("同じフォルダ内に BonTsDemux mod10 を入れて下さい。"));
        QVERIFY(!s.isSet(slot::Mode)); // nothing loaded
    }

    void startUpLoadsSettingsAndKeywords() {
        QTemporaryDir dir;
        writeLines(dir.filePath(QStringLiteral("BonTsDemux.exe")), {});
        QStringList lines = sixteenLines("\"a\"", "\"b\"");
        lines[0] = QStringLiteral("x");   // any mode but "0" is individual
        lines[12] = QStringLiteral("2");  // a keyword switch the check box can't show
        lines[13] = QStringLiteral("01"); // a conversion switch the check box shows ticked
        lines[4] = QStringLiteral("120"); // an interval beyond the box's 1-60
        lines[11] = QStringLiteral("0");  // a check interval below 20 s: a check every second
        writeLines(dir.filePath(SettingsFileName), lines);
        QCOMPARE(saveKeywordFile(dir.path(), {QStringLiteral(" HD "), QStringLiteral("ニュース")}),
                 QString());
        Settings s(SettingsSize);
        Keywords keywords;
        chain::RecordingDialogs dialogs;
        QStringList notes;
        QVERIFY(startUp(dir.path(), s, keywords, dialogs, &notes));
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(s.text(slot::ProgramFolder), dir.path());
        // The check interval is brought into 20-300 s as the demux mode window's OK does,
        // and the correction is told.
        QCOMPARE(s.text(slot::CheckInterval), QStringLiteral("20"));
        QCOMPARE(notes.size(), 1);
        QVERIFY2(notes[0].contains(QStringLiteral("20 秒")), qPrintable(notes.join(u'\n')));
        QCOMPARE(s.text(slot::Mode), QStringLiteral("1"));
        QCOMPARE(s.text(slot::KeywordFilter), QStringLiteral("0"));
        // Slot 14 is stored as the check box shows it, as slot 13 is, and slot 5 goes
        // through the box's 1-60 rule: the window and the headless run start alike.
        QCOMPARE(s.text(slot::CharConversion), QStringLiteral("1"));
        QCOMPARE(s.text(slot::IndividualInterval), QStringLiteral("60"));
        QCOMPARE(keywords.items(), (QStringList{"2", " HD ", "ニュース"}));
    }

    // A settings or keyword file that is there but can't be used, or was read as UTF-8, is
    // told in the event log, and kept as <name>.bak when the first save replaces it; what
    // an interrupted save left is removed. A missing file is the first start: nothing to tell.
    void startUpTellsOfFilesItCouldNotUse_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // empty: no such file
        QTest::addColumn<QString>("told");     // in the notes; empty: no notes
        QTest::addColumn<bool>("backedUp");    // kept as <file>.bak by the first save
        QTest::addColumn<bool>("olderBackup"); // a <file>.bak is there already: <file>.bak2
        QTest::newRow("no files") << SettingsFileName << QByteArray() << QString() << false << false;
        QTest::newRow("settings neither cp932 nor UTF-8") << SettingsFileName << QByteArray("1\r\n\x81\r\n")
                                                          << "KestruneData1.txt を読めない" << true << false;
        QTest::newRow("settings neither cp932 nor UTF-8, an older backup there")
            << SettingsFileName << QByteArray("1\r\n\x81\r\n") << "KestruneData1.txt.bak2 として残ります"
            << true << true;
        QTest::newRow("keywords neither cp932 nor UTF-8, an older backup there")
            << KeywordFileName << QByteArray("\x81\r\n") << "KestruneData2.txt.bak2 として残ります" << true
            << true;
        QTest::newRow("settings too short")
            << SettingsFileName << QByteArray("1\r\n2\r\n") << "行が足りない" << false << false;
        QTest::newRow("keywords saved as UTF-8")
            << KeywordFileName << QStringLiteral("ドラマ\r\n").toUtf8()
            << "KestruneData2.txt は UTF-8 で保存されている" << true << false;
        QTest::newRow("leftover of an interrupted save")
            << SettingsFileName + QStringLiteral(".tmp~Ab12Cd") << QByteArray("half") << "一時ファイル"
            << false << false;
        QTest::newRow("leftover of a run record's save")
            << RunRecordFile + QStringLiteral(".tmp~Ab12Cd") << QByteArray("half") << "一時ファイル" << false
            << false;
    }
    void startUpTellsOfFilesItCouldNotUse() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        QFETCH(bool, backedUp);
        QFETCH(bool, olderBackup);
        QTemporaryDir dir;
        writeLines(dir.filePath(QStringLiteral("BonTsDemux.exe")), {});
        if (olderBackup)
            chain::testing::writeFile(dir.filePath(file + QStringLiteral(".bak")), "older backup");
        if (!bytes.isEmpty())
            chain::testing::writeFile(dir.filePath(file), bytes);
        Settings s(SettingsSize);
        Keywords keywords;
        chain::RecordingDialogs dialogs;
        QStringList notes;
        QVERIFY(startUp(dir.path(), s, keywords, dialogs, &notes));
        QVERIFY(dialogs.shown.isEmpty()); // told in the log, not in a box
        if (told.isEmpty()) {
            QVERIFY2(notes.isEmpty(), qPrintable(notes.join(u'\n')));
        } else {
            QCOMPARE(notes.size(), 1);
            QVERIFY2(notes[0].contains(told), qPrintable(notes[0]));
        }
        QCOMPARE(s.text(slot::SourceFolder), dir.path()); // the defaults apply
        QVERIFY(!file.contains(QStringLiteral(".tmp~")) || !QFile::exists(dir.filePath(file)));

        // The first save (or keyword registration) keeps the unreadable file.
        QCOMPARE(SaveSettings(s), QString());
        QCOMPARE(saveKeywordFile(dir.path(), {QStringLiteral("HD")}), QString());
        QCOMPARE(chain::testing::readFile(
                     dir.filePath(file + (olderBackup ? QStringLiteral(".bak2") : QStringLiteral(".bak")))),
                 backedUp ? bytes : QByteArray());
    }

    // "OK" on an empty keyword list deletes the keyword file; one that isn't cp932 (the
    // user's list, saved by an editor) is kept as a backup instead.
    void removingAnUnreadableKeywordFileKeepsIt() {
        QTemporaryDir dir;
        const QByteArray utf8 = QStringLiteral("ドラマ\r\n").toUtf8();
        chain::testing::writeFile(dir.filePath(KeywordFileName), utf8);
        QCOMPARE(removeKeywordFile(dir.path()), QString());
        QVERIFY(!QFile::exists(dir.filePath(KeywordFileName)));
        QCOMPARE(chain::testing::readFile(dir.filePath(KeywordFileName + QStringLiteral(".bak"))), utf8);
        QCOMPARE(saveKeywordFile(dir.path(), {QStringLiteral("A")}), QString());
        QCOMPARE(removeKeywordFile(dir.path()), QString()); // a readable one is simply deleted
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList{KeywordFileName + QStringLiteral(".bak")});
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
