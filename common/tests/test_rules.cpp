#include "ChooseFolder.h"
#include "FakeTools.h"
#include "HeadlessLoop.h"
#include "NoticeSetting.h"
#include "RecordingDialogs.h"
#include "RunRecord.h"
#include "SettingsText.h"
#include "StepDriver.h"
#include "TestFiles.h"
#include "TextFile.h"
#include "ToolWatch.h"
#include "WholeNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace chain;
using namespace Qt::StringLiterals;

namespace {
// QFile::link makes symbolic links, except on Windows, where it makes shortcuts.
bool linksAreSymbolic() {
    return QSysInfo::kernelType() != u"winnt";
}
} // namespace

// The small text rules every program shares: numbers, settings lines, cp932 files and
// the folder choice's result.
class RulesTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void wholeNumberTakesLeadingNumberRoundedToEven_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "120" << 120;
        QTest::newRow("tie rounds up to even") << "19.5" << 20;
        QTest::newRow("tie rounds down to even") << "300.5" << 300;
        QTest::newRow("above tie") << "300.6" << 301;
        QTest::newRow("leading blank") << " 45" << 45;
        QTest::newRow("trailing text") << "12abc" << 12;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("negative") << "-2.5" << -2;
        QTest::newRow("fraction only") << ".5" << 0;
        QTest::newRow("second point ends the number") << "1.5.9" << 2;
        QTest::newRow("huge clamps") << "99999999999999" << std::numeric_limits<int>::max();
    }
    void wholeNumberTakesLeadingNumberRoundedToEven() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(wholeNumber(text), expected);
    }

    void quotedLinesDropFirstAndLastCharacterAfterTrimming_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("value");
        QTest::newRow("quoted") << "\"!?#\"" << true << "!?#";
        QTest::newRow("blanks outside quotes") << "  \" a \"  " << true << " a ";
        QTest::newRow("two quotes alone") << "\"\"" << true << "";
        QTest::newRow("any end characters") << "xaby" << true << "ab";
        QTest::newRow("one character") << " \" " << false << "";
        QTest::newRow("empty") << "" << false << "";
    }
    void quotedLinesDropFirstAndLastCharacterAfterTrimming() {
        QFETCH(QString, line);
        QFETCH(bool, readable);
        QFETCH(QString, value);
        const auto read = unquoteLine(line);
        QCOMPARE(read.has_value(), readable);
        if (readable)
            QCOMPARE(*read, value);
    }

    void trimBlanksRemovesSpacesOnly() {
        QCOMPARE(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(trimBlanks(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    }

    // The tray setting file beside a program's settings: only its "off" line turns notices off.
    void noticesAreOnUnlessTheTraySettingSaysOff_data() {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<bool>("on");
        QTest::newRow("no file") << QByteArray() << true;
        QTest::newRow("off, in Japanese") << u"通知=オフ\r\n"_s.toUtf8() << false;
        QTest::newRow("off, with blanks") << QByteArray("notify = OFF\r\n") << false;
        QTest::newRow("on") << u"通知=オン\r\n"_s.toUtf8() << true;
    }
    void noticesAreOnUnlessTheTraySettingSaysOff() {
        QFETCH(QByteArray, file);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const QString path = noticeSettingPath(dir.path(), u"kestrune"_s);
        QCOMPARE(path, testing::inFolder(dir.path(), u"kestrune-tray.txt"_s));
        if (!file.isEmpty())
            testing::writeFile(path, file);
        QCOMPARE(noticesOn(path), on);
    }

    // The options of the headless runs, and the error that names what is wrong.
    void headlessOptionsAreReadOrRefusedByName_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<double>("timeScale");
        QTest::addColumn<QString>("error"); // a part of it; empty: none
        QTest::newRow("scale") << QStringList{"--headless", "--time-scale", "0.5"} << 0.5 << QString();
        QTest::newRow("scale out of range")
            << QStringList{"--headless", "--time-scale", "2"} << 2.0 << QStringLiteral("0 より大きく 1 以下");
        QTest::newRow("scale without its value")
            << QStringList{"--headless", "--until-idle", "--time-scale"} << 1.0
            << QStringLiteral("--time-scale の後に値がありません");
        QTest::newRow("unknown") << QStringList{"--headless", "--fast"} << 1.0
                                 << QStringLiteral("不明なオプション: --fast");
    }
    void headlessOptionsAreReadOrRefusedByName() {
        QFETCH(QStringList, arguments);
        QFETCH(double, timeScale);
        QFETCH(QString, error);
        const HeadlessOptions options = parseHeadlessOptions(QStringList{"program"} + arguments);
        QCOMPARE(options.timeScale, timeScale);
        QVERIFY2(error.isEmpty() ? options.error.isEmpty() : options.error.contains(error),
                 qPrintable(options.error));
    }

    void writtenFileIsCp932WithCrLfAfterEveryLine() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QVERIFY(writeTextLines(path, {QStringLiteral("番組"), QStringLiteral(""), QStringLiteral("～\\")})
                    .isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x94\xd4\x91\x67\r\n\r\n\x81\x60\\\r\n"));
        const auto lines = readTextLines(path);
        QVERIFY(lines);
        QCOMPARE(*lines, (QStringList{QStringLiteral("番組"), QString(), QStringLiteral("～\\")}));
    }

    void readingSplitsAnyLineEnd() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a\r\nb\nc\rd");
        file.close();
        QCOMPARE(readTextLines(path).value(), (QStringList{"a", "b", "c", "d"}));
    }

    void invalidCp932MakesTheFileUnreadable() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("ok\r\n\x81"); // a lead byte with nothing after it
        file.close();
        QVERIFY(!readTextLines(path));
        QVERIFY(!readTextLines(dir.filePath(QStringLiteral("missing.txt"))));
    }

    void unencodableTextIsRefusedAndOldFileKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QVERIFY(writeTextLines(path, {QStringLiteral("old")}).isEmpty());
        QVERIFY(!writeTextLines(path, {QStringLiteral("new"), QStringLiteral("😀")}).isEmpty());
        QCOMPARE(readTextLines(path).value(), QStringList{QStringLiteral("old")});
    }

    void lineBreaksInAValueAreRefusedAndOldFileKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QVERIFY(writeTextLines(path, {QStringLiteral("old")}).isEmpty());
        QVERIFY(!writeTextLines(path, {QStringLiteral("a\nb")}).isEmpty());
        QVERIFY(!writeTextLines(path, {QStringLiteral("a\rb")}).isEmpty());
        QCOMPARE(readTextLines(path).value(), QStringList{QStringLiteral("old")});
        QVERIFY(writeTextLines(path, {QStringLiteral("x😀")}).contains(QStringLiteral("「😀」")));
        QVERIFY(!writeTextLines(path, {QString(QChar(0xDC94))}).isEmpty()); // never written as "?"
        // Its cp932 bytes are UTF-8 for "/録画": they would read back as that.
        QVERIFY(writeTextLines(path, {QStringLiteral("/骭ｲ逕ｻ")}).contains(QStringLiteral("UTF-8")));
        QCOMPARE(readTextLines(path).value(), QStringList{QStringLiteral("old")});
    }

    // Bytes saved by an editor as UTF-8 are read as UTF-8 when they hold multi-byte
    // characters, also when they are cp932 as well; two-byte sequences that are cp932 too
    // are half-width katakana pairs.
    void utf8IsToldFromCp932_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("line"); // "-": unreadable
        QTest::addColumn<bool>("utf8");
        QTest::newRow("cp932") << QByteArray("/\x98\x5e\x89\xe6") << "/録画" << false;
        QTest::newRow("UTF-8, cp932 too") << QByteArray("/\xe9\x8c\xb2\xe7\x94\xbb") << "/録画" << true;
        QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xef\xbb\xbf/a") << "/a" << true;
        QTest::newRow("UTF-8 only") << QByteArray("Stra\xc3\x9f") << "Straß" << true;
        QTest::newRow("half-width katakana pair") << QByteArray("/\xc4\xb7") << "/ﾄｷ" << false;
        QTest::newRow("overlong UTF-8 form") << QByteArray("\xe0\x80\xaf") << "烙ｯ" << false;
        QTest::newRow("neither") << QByteArray("\x81") << "-" << false;
    }
    void utf8IsToldFromCp932() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, line);
        QFETCH(bool, utf8);
        const TextRead read = decodeText(std::string_view(bytes.constData(), size_t(bytes.size())));
        QCOMPARE(read.state, line == u"-" ? TextRead::State::Unreadable : TextRead::State::Read);
        QCOMPARE(read.lines, line == u"-" ? QStringList{} : QStringList{line});
        QCOMPARE(read.utf8, utf8);
    }

    // A file that is there but isn't cp932 (unreadable, or UTF-8) is told from a missing
    // one, and the first save writes cp932 and keeps the old file as a backup, never over
    // an older backup.
    void fileNotInCp932IsKeptAsBackupBeforeItIsReplaced_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::newRow("unreadable") << QByteArray("\x81\r\n") << false;
        QTest::newRow("UTF-8") << QStringLiteral("番組\r\n").toUtf8() << true;
    }
    void fileNotInCp932IsKeptAsBackupBeforeItIsReplaced() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        QCOMPARE(readTextFile(path).state, TextRead::State::Missing);
        chain::testing::writeFile(path, bytes);
        chain::testing::writeFile(path + QStringLiteral(".bak"), "older backup");
        const TextRead read = readTextFile(path);
        QCOMPARE(read.state, readable ? TextRead::State::Read : TextRead::State::Unreadable);
        QCOMPARE(read.reason.isEmpty(), readable);
        QCOMPARE(utf8Note(path, read).contains(QStringLiteral("f.txt.bak2")), readable);

        QVERIFY(writeTextLines(path, {QStringLiteral("new")}).isEmpty());
        QCOMPARE(chain::testing::readFile(path + QStringLiteral(".bak")), QByteArray("older backup"));
        QCOMPARE(chain::testing::readFile(path + QStringLiteral(".bak2")), bytes);
        QCOMPARE(chain::testing::readFile(path), QByteArray("new\r\n"));
        QVERIFY(writeTextLines(path, {QStringLiteral("newer")}).isEmpty()); // readable now: no backup
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak3")));
    }

    // Settings kept elsewhere through a symbolic link (a dotfiles folder): a save replaces
    // the file the link leads to, beside that file, and the link stays a link.
    void saveThroughALinkKeepsTheLink_data() {
        QTest::addColumn<QString>("link");   // in prog/: what the settings file links to
        QTest::addColumn<QString>("hop");    // in prog/: a link on the way to the file, or none
        QTest::addColumn<QByteArray>("old"); // the file's contents before the save
        QTest::addColumn<QString>("backup"); // in dotfiles/: a backup the save keeps, or none
        const QString none;
        QTest::newRow("absolute link") << u"%1/dotfiles/f.txt"_s << none << QByteArray("old\r\n") << none;
        QTest::newRow("relative link to a relative link")
            << u"hop.txt"_s << u"../dotfiles/f.txt"_s << QByteArray("old\r\n") << none;
        QTest::newRow("link to an unreadable file")
            << u"%1/dotfiles/f.txt"_s << none << QByteArray("\x81") << u"f.txt.bak"_s;
    }
    void saveThroughALinkKeepsTheLink() {
        if (!linksAreSymbolic())
            QSKIP("QFile::link makes shortcuts on Windows, not symbolic links");
        QFETCH(QString, link);
        QFETCH(QString, hop);
        QFETCH(QByteArray, old);
        QFETCH(QString, backup);
        QTemporaryDir dir;
        QDir root(dir.path());
        QVERIFY(root.mkdir(QStringLiteral("prog")) && root.mkdir(QStringLiteral("dotfiles")));
        chain::testing::writeFile(dir.filePath(QStringLiteral("dotfiles/f.txt")), old);
        const QString path = dir.filePath(QStringLiteral("prog/f.txt"));
        QVERIFY(QFile::link(link.arg(dir.path()), path));
        if (!hop.isEmpty())
            QVERIFY(QFile::link(hop, dir.filePath(QStringLiteral("prog/hop.txt"))));

        QCOMPARE(writeTextLines(path, {QStringLiteral("new")}), QString());
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(QFileInfo(path).canonicalFilePath(),
                 QFileInfo(dir.filePath(QStringLiteral("dotfiles/f.txt"))).canonicalFilePath());
        QCOMPARE(chain::testing::readFile(dir.filePath(QStringLiteral("dotfiles/f.txt"))),
                 QByteArray("new\r\n"));
        QStringList kept{QStringLiteral("f.txt")};
        if (!backup.isEmpty()) {
            kept << backup;
            QCOMPARE(chain::testing::readFile(dir.filePath(QStringLiteral("dotfiles/") + backup)), old);
        }
        QCOMPARE(QDir(dir.filePath(QStringLiteral("dotfiles"))).entryList(QDir::Files, QDir::Name), kept);
        const QStringList links = hop.isEmpty() ? QStringList{"f.txt"} : QStringList{"f.txt", "hop.txt"};
        QCOMPARE(QDir(dir.filePath(QStringLiteral("prog"))).entryList(QDir::Files | QDir::System, QDir::Name),
                 links);
    }

    void leftoversOfAnInterruptedSaveAreRemoved() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.txt"));
        for (const char* name : {"f.txt.tmp~Ab12Cd", "f.txt.tmp~short", "f.txt.backup", "g.txt.tmp~Ab12Cd"})
            chain::testing::writeFile(dir.filePath(QString::fromLatin1(name)), "x");
        QCOMPARE(removeSaveLeftovers(path), QStringList{"f.txt.tmp~Ab12Cd"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"f.txt.backup", "f.txt.tmp~short", "g.txt.tmp~Ab12Cd"}));
    }

    void writeIntoMissingFolderFails() {
        QTemporaryDir dir;
        QVERIFY(
            !writeTextLines(dir.filePath(QStringLiteral("no/such/f.txt")), {QStringLiteral("x")}).isEmpty());
    }

    void folderFromDialogResult_data() {
        QTest::addColumn<QString>("returned");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("folder"); // "-" for no change
        QTest::newRow("cancel or unchanged") << "/rec/フォルダの指定"
                                             << "/rec/フォルダの指定"
                                             << "-";
        QTest::newRow("other folder") << "/rec/ts/フォルダの指定"
                                      << "/rec/フォルダの指定"
                                      << "/rec/ts";
        QTest::newRow("typed name dropped") << "/rec/ts/abc.txt"
                                            << "/rec/フォルダの指定"
                                            << "/rec/ts";
        QTest::newRow("case differs") << "/REC/フォルダの指定"
                                      << "/rec/フォルダの指定"
                                      << "/REC";
#ifndef Q_OS_WIN // Windows has no one root folder, only a root of each drive
        QTest::newRow("root") << "/フォルダの指定"
                              << "/rec/フォルダの指定"
                              << "/";
#else
        QTest::newRow("drive root") << "D:\\フォルダの指定"
                                    << "D:\\rec\\フォルダの指定"
                                    << "D:\\";
#endif
        QTest::newRow("no separator") << "abc"
                                      << "/rec/フォルダの指定"
                                      << "-";
        QTest::newRow("empty") << ""
                               << "/rec/フォルダの指定"
                               << "-";
    }
    void folderFromDialogResult() {
        QFETCH(QString, returned);
        QFETCH(QString, remembered);
        QFETCH(QString, folder);
        const auto result = chain::folderFromDialogResult(returned, remembered);
        QCOMPARE(result.value_or(QStringLiteral("-")), folder);
    }

    void chooseFolderRemembersInitialNameAndReadsThePick() {
        RecordingDialogs dialogs;
        QString remembered;
        dialogs.folders.enqueue(QStringLiteral("/data/new"));
        dialogs.folders.enqueue(QStringLiteral("/data/old"));
        dialogs.folders.enqueue(std::nullopt);
        const QString title = QStringLiteral("フォルダの指定");

        QCOMPARE(ChooseFolder(dialogs, title, QStringLiteral("/data/old"), remembered).value_or(QString()),
                 QStringLiteral("/data/new"));
        QCOMPARE(remembered, testing::inFolder(u"/data/old"_s, title));
        QCOMPARE(dialogs.shown.last().text, QStringLiteral("/data/old"));
        QCOMPARE(dialogs.shown.last().title, title);
        QVERIFY(!ChooseFolder(dialogs, title, QStringLiteral("/data/old"), remembered)); // same folder
        QVERIFY(!ChooseFolder(dialogs, title, QStringLiteral("/data/old"), remembered)); // cancel
    }

    // A step that falls due while the driver is held runs on release; one not yet due
    // keeps its time.
    void heldDriverRunsTheDueStepOnRelease() {
        int steps = 0;
        StepDriver driver([&] {
            ++steps;
            return std::optional<int>(60000);
        });
        driver.hold();
        driver.arm(1);
        QTRY_VERIFY(!driver.isArmed()); // fell due
        QCOMPARE(steps, 0);
        driver.release();
        QCOMPARE(steps, 1);
        QVERIFY(driver.isArmed());
        driver.hold();
        driver.release();
        QCOMPARE(steps, 1);
        QVERIFY(driver.isArmed());
    }

    // Each check asks once, about all of its names; an unreadable list is busy.
    void toolChecksAskOnceForTheirNames_data() {
        QTest::addColumn<QStringList>("running");
        QTest::addColumn<bool>("demuxer");
        QTest::addColumn<bool>("videoTool");
        QTest::addColumn<bool>("anyTool");
        QTest::newRow("none") << QStringList{} << false << false << false;
        QTest::newRow("VirtualDub") << QStringList{"VirtualDub.exe"} << false << true << true;
        QTest::newRow("VirtualDubMod") << QStringList{"VirtualDubMod.exe"} << false << true << true;
        QTest::newRow("demuxer") << QStringList{"BonTsDemux.exe"} << true << false << true;
        QTest::newRow("another program") << QStringList{"VirtualDub.ex"} << false << false << false;
    }
    void toolChecksAskOnceForTheirNames() {
        QFETCH(QStringList, running);
        QFETCH(bool, demuxer);
        QFETCH(bool, videoTool);
        QFETCH(bool, anyTool);
        chain::testing::FakeProcessWatch watch;
        for (const QString& name : running)
            watch.setRunning(name, true);
        chain::ToolWatch tools(watch, {});
        QCOMPARE(tools.demuxerBusy(), demuxer);
        QCOMPARE(tools.videoToolBusy(), videoTool);
        QCOMPARE(tools.anyToolBusy(), anyTool);
        QCOMPARE(watch.questions, 3);
        QCOMPARE(watch.asked.value(chain::VirtualDubImage), 2);
    }

    // Kestrune's auto tick answers both of its checks from one question.
    void bothChecksOfAnAutoTickAskOnce_data() {
        toolChecksAskOnceForTheirNames_data();
    }
    void bothChecksOfAnAutoTickAskOnce() {
        QFETCH(QStringList, running);
        QFETCH(bool, demuxer);
        QFETCH(bool, videoTool);
        chain::testing::FakeProcessWatch watch;
        for (const QString& name : running)
            watch.setRunning(name, true);
        chain::ToolWatch tools(watch, {});
        const chain::ToolWatch::Busy busy = tools.demuxerAndVideoToolBusy();
        QCOMPARE(busy.demuxer, demuxer);
        QCOMPARE(busy.videoTool, videoTool);
        QCOMPARE(watch.questions, 1);
        watch.unreadable = true;
        QVERIFY(tools.demuxerAndVideoToolBusy().demuxer);
        QVERIFY(tools.demuxerAndVideoToolBusy().videoTool);
    }

    void unreadableProcessListIsBusyAndReportedOncePerSpell() {
        chain::testing::FakeProcessWatch watch;
        QStringList reports;
        chain::ToolWatch tools(watch, [&](const QString& text) { reports << text; });
        watch.unreadable = true;
        QVERIFY(tools.demuxerBusy());
        QVERIFY(tools.anyToolBusy());
        QCOMPARE(reports.size(), 1);
        watch.unreadable = false;
        QVERIFY(!tools.anyToolBusy());
        watch.unreadable = true;
        QVERIFY(tools.videoToolBusy());
        QCOMPARE(reports.size(), 2);
    }

    void runRecordFieldsSurviveTheTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("Windows path")
            << QStringLiteral("D:\\rec\\番組！.ts") << QStringLiteral("D:\\rec\\番組！.ts");
        QTest::newRow("percent") << QStringLiteral("100%") << QStringLiteral("100%25");
        QTest::newRow("not in cp932") << QStringLiteral("Café😀") << QStringLiteral("Caf%C3%A9%F0%9F%98%80");
#ifndef Q_OS_WIN // names on Windows are UTF-16, never raw bytes
        QTest::newRow("raw byte of a name")
            << QString(QChar(0xDC94)) + QStringLiteral("x") << QStringLiteral("%94x");
#endif
        QTest::newRow("byte order mark first")
            << QString(QChar(0xFEFF)) + QStringLiteral("a.ts") << QStringLiteral("%EF%BB%BFa.ts");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("read back as another") << QStringLiteral("番組〜") << QStringLiteral("番組%E3%80%9C");
    }
    void runRecordFieldsSurviveTheTrip() {
        QFETCH(QString, value);
        QFETCH(QString, written);
        QCOMPARE(RunRecord::encodeField(value), written);
        QCOMPARE(RunRecord::decodeField(written), value);
    }

    void runRecordIsSavedLoadedAndRemoved() {
        QTemporaryDir dir;
        const RunRecord record(dir.filePath(QStringLiteral("pellavo.run")));
        QCOMPARE(record.load().state, RunRecord::Loaded::State::None);
        const QDateTime began = QDateTime::currentDateTimeUtc();
        QCOMPARE(record.save({began, {QStringLiteral("news.m2v"), QStringLiteral("Café"), QString()}}),
                 QString());
        const RunRecord::Loaded loaded = record.load();
        QCOMPARE(loaded.state, RunRecord::Loaded::State::Present);
        QCOMPARE(loaded.run.began, began);
        QCOMPARE(loaded.run.fields, (QStringList{"news.m2v", "Café", ""}));
        QCOMPARE(record.remove(), QString());
        QCOMPARE(record.load().state, RunRecord::Loaded::State::None);
        QCOMPARE(record.remove(), QString());
    }

    // The moment a run began is written in UTC and read back as the same moment, whatever
    // the local time zone (this test runs once more under TZ=Asia/Tokyo, written JST-9 for
    // Windows, and under TZ=Europe/Berlin, where 02:30 on 29 March 2026 is a local time that
    // doesn't exist).
    void runRecordTimeIsUtcInAnyTimeZone_data() {
        QTest::addColumn<QDateTime>("began");
        QTest::addColumn<QString>("written");
        QTest::newRow("winter") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678), Qt::UTC)
                                << QStringLiteral("2026-01-02T03:04:05.678Z");
        QTest::newRow("in the hour summer time skips") << QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC)
                                                       << QStringLiteral("2026-03-29T02:30:00.000Z");
    }
    void runRecordTimeIsUtcInAnyTimeZone() {
        QFETCH(QDateTime, began);
        QFETCH(QString, written);
        if (const QString zone = qEnvironmentVariable("TZ"); zone == u"Asia/Tokyo" || zone == u"JST-9")
            QCOMPARE(QDateTime::currentDateTime().offsetFromUtc(), 9 * 3600);
        QTemporaryDir dir;
        const RunRecord record(dir.filePath(QStringLiteral("kestrune.run")));
        QCOMPARE(record.save({began.toLocalTime(), {QStringLiteral("a.ts")}}), QString());
        QCOMPARE(readTextLines(record.path()).value_or(QStringList{}), (QStringList{written, "a.ts"}));
        QCOMPARE(record.load().run.began, began);
    }

    void damagedRunRecordIsSetAsideNotDeleted_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no time") << QByteArray("news.m2v\r\n");
        QTest::newRow("not cp932") << QByteArray("\x81");
    }
    void damagedRunRecordIsSetAsideNotDeleted() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const RunRecord record(dir.filePath(QStringLiteral("kestrune.run")));
        chain::testing::writeFile(record.path(), bytes);
        const RunRecord::Loaded loaded = record.load();
        QCOMPARE(loaded.state, RunRecord::Loaded::State::Damaged);
        QVERIFY(!loaded.reason.isEmpty());
        const QString aside = record.setAside();
        QVERIFY(aside.startsWith(record.path() + QStringLiteral(".damaged-")));
        QCOMPARE(chain::testing::readFile(aside), bytes);
        QVERIFY(!QFile::exists(record.path()));
    }

    void damagedRunRecordsOfOneSecondKeepDistinctNames() {
        QTemporaryDir dir;
        const RunRecord record(dir.filePath(QStringLiteral("pellavo.run")));
        while (QTime::currentTime().msec() > 800) // both set aside within the same second
            QTest::qSleep(20);
        chain::testing::writeFile(record.path(), "first");
        const QString first = record.setAside();
        chain::testing::writeFile(record.path(), "second");
        const QString second = record.setAside();
        QVERIFY(first.startsWith(record.path() + QStringLiteral(".damaged-")));
        QCOMPARE(second, first + QStringLiteral("-2"));
        QCOMPARE(chain::testing::readFile(first), QByteArray("first"));
        QCOMPARE(chain::testing::readFile(second), QByteArray("second"));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "test_rules.moc"
