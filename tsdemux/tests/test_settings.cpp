#include "Settings.h"
#include "Startup.h"

#include "RecordingDialogs.h"

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
        file.seek(0);
        QFile again(dir.filePath(SettingsFileName));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), bytes);
    }

    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        Settings s = freshSettings(dir.path());
        applyDefaults(s);
        QCOMPARE(SaveSettings(s), QString());
        s.set(slot::SourceFolder, QStringLiteral("😀")); // not in cp932
        QVERIFY(!SaveSettings(s).isEmpty());
        Settings loaded = freshSettings(dir.path());
        QVERIFY(loadSettings(loaded));
        QCOMPARE(loaded.text(slot::SourceFolder), dir.path());
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
        lines[0] = QStringLiteral("x");  // any mode but "0" is individual
        lines[12] = QStringLiteral("2"); // a keyword switch the check box can't show
        writeLines(dir.filePath(SettingsFileName), lines);
        QCOMPARE(saveKeywordFile(dir.path(), {QStringLiteral(" HD "), QStringLiteral("ニュース")}),
                 QString());
        Settings s(SettingsSize);
        Keywords keywords;
        chain::RecordingDialogs dialogs;
        QVERIFY(startUp(dir.path(), s, keywords, dialogs));
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(s.text(slot::ProgramFolder), dir.path());
        QCOMPARE(s.text(slot::Mode), QStringLiteral("1"));
        QCOMPARE(s.text(slot::KeywordFilter), QStringLiteral("0"));
        QCOMPARE(keywords.items(), (QStringList{"2", " HD ", "ニュース"}));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
