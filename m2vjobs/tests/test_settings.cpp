#include "JobEngine.h"
#include "PatternEdit.h"
#include "PatternTable.h"
#include "Settings.h"
#include "Startup.h"
#include "Store.h"
#include "Texts.h"

#include "FileOps.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace pellavo;
using chain::testing::readFile;
using chain::testing::writeFile;

// Pellavo's two settings files and its start-up: what is read, what falls back to the
// defaults, and what is written by the store and by the registry's edits.
class SettingsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void settingsFileFillsSlotsOneToEight_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("slots"); // 1 to 8; "S" stands for the start folder
        QTest::addColumn<QString>("note");      // what start-up tells of the file
        QTest::newRow("eight lines trimmed, the ninth ignored")
            << QByteArray(" /m2v \r\n/avi\r\n/done\r\n/vd  \r\n0\r\n 45 \r\n2\r\n2\r\nninth\r\n")
            << QStringList{"/m2v", "/avi", "/done", "/vd", "0", "45", "2", "2"} << "";
        QTest::newRow("short file: the rest default")
            << QByteArray("/m2v\r\n/avi\n") << QStringList{"/m2v", "/avi", "S", "S", "1", "30", "1", "1"}
            << "";
        QTest::newRow("unknown codes: the .m2v kept, choices 1")
            << QByteArray("a\r\nb\r\nc\r\nd\r\n2\r\nx\r\n3\r\n1.0\r\n")
            << QStringList{"a", "b", "c", "d", "0", "x", "1", "1"}
            << "設定ファイル Pellavo_Data1.txt の使えない値を読み替えました: 5 行目「2」→「0」(m2v "
               "は削除しません)、7 行目「3」→「1」(画像サイズはファイル名で選びます)、8 "
               "行目「1.0」→「1」(29.97)";
        QTest::newRow("1 with blanks deletes") << QByteArray("a\r\nb\r\nc\r\nd\r\n 1 \r\n30\r\n")
                                               << QStringList{"a", "b", "c", "d", "1", "30", "1", "1"} << "";
        QTest::newRow("cp932 folder") << QByteArray("/\x98\x5e\x89\xe6\r\n")
                                      << QStringList{"/録画", "S", "S", "S", "1", "30", "1", "1"} << "";
        // These bytes are cp932 too, for "/骭ｲ逕ｻ".
        QTest::newRow("UTF-8 folder") << QStringLiteral("/録画\r\n").toUtf8()
                                      << QStringList{"/録画", "S", "S", "S", "1", "30", "1", "1"}
                                      << "Pellavo_Data1.txt は UTF-8 で保存されているため、UTF-8 "
                                         "として読みました。次に保存するときは Shift_JIS (cp932) "
                                         "で書き、元のファイルは Pellavo_Data1.txt.bak として残します。";
        QTest::newRow("not cp932: every default")
            << QByteArray("/m2v\r\n\x81\r\n") << QStringList{"S", "S", "S", "S", "1", "30", "1", "1"}
            << "設定ファイル Pellavo_Data1.txt を読めないため、既定の設定で始めます (Shift_JIS (cp932) "
               "のテキストではありません)。";
    }
    void settingsFileFillsSlotsOneToEight() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, slots);
        QFETCH(QString, note);
        QTemporaryDir dir;
        writeFile(dir.filePath(text::SettingsFile), file);
        SettingTable settings(SettingTableSize);
        PatternTable patterns;
        chain::RecordingDialogs dialogs;
        const QStringList notes = startUp(dir.path(), settings, patterns, dialogs);
        for (int k = 1; k <= 8; ++k)
            QCOMPARE(settings.text(k), slots[k - 1] == u"S" ? dir.path() : slots[k - 1]);
        QCOMPARE(notes, note.isEmpty() ? QStringList{} : QStringList{note});
    }

    void storeWritesEightLinesInCp932() {
        QTemporaryDir dir;
        SettingTable settings(SettingTableSize);
        settings.set(slot::StartFolder, dir.path());
        applyDefaults(settings);
        settings.set(slot::M2vFolder, QStringLiteral("/録画"));
        settings.set(slot::DeleteFlag, QStringLiteral("0"));
        QCOMPARE(SaveSettings(settings), QString());
        const QByteArray start = dir.path().toUtf8();
        QCOMPARE(readFile(dir.filePath(text::SettingsFile)), "/\x98\x5e\x89\xe6\r\n" + start + "\r\n" +
                                                                 start + "\r\n" + start +
                                                                 "\r\n0\r\n30\r\n1\r\n1\r\n");
    }

    // The store checks the boxes first; it writes only what passed, and a file that
    // can't be written leaves the slots as they were.
    void storeChecksThenWritesOrTells_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<bool>("folderThere");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("title"); // of the one box shown, if any
        QTest::newRow("passes") << " 45 " << true << true << "";
        QTest::newRow("check fails") << "15" << true << false << "確認間隔時間入力エラー";
        QTest::newRow("can't be written") << "45" << false << false << "エラー";
    }
    void storeChecksThenWritesOrTells() {
        QFETCH(QString, interval);
        QFETCH(bool, folderThere);
        QFETCH(bool, stored);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString start = folderThere ? dir.path() : dir.filePath("gone");
        SettingTable settings(SettingTableSize);
        settings.set(slot::StartFolder, start);
        applyDefaults(settings);
        QStringList before = settingsLines(settings);
        chain::RecordingDialogs dialogs;
        // The avi folder lies on another filesystem, so no drive question is asked.
        const QString m2v = dir.filePath("m2v"), done = dir.filePath("done");
        const WindowValues values{{m2v + "  ", "/proc/avi", done, " /vd", interval}, false, "2", "2"};
        const StoreOutcome outcome = Store(values, settings, dialogs);
        QCOMPARE(outcome.stored, stored);
        QCOMPARE(settings.text(slot::Abort), QStringLiteral("0"));
        QCOMPARE(dialogs.shown.size(), title.isEmpty() ? 0 : 1);
        if (!title.isEmpty())
            QCOMPARE(dialogs.shown[0].title, title);
        const QByteArray written = readFile(chain::joinPath(start, text::SettingsFile));
        if (stored) {
            QCOMPARE(written,
                     (m2v + "\r\n/proc/avi\r\n" + done + "\r\n/vd\r\n0\r\n45\r\n2\r\n2\r\n").toUtf8());
            QCOMPARE(settings.text(slot::NoticeText), text::StoredNotice);
            QCOMPARE(settings.text(slot::NoticeTime), QStringLiteral("3000"));
            return;
        }
        QVERIFY(written.isNull());
        QVERIFY(!settings.isSet(slot::NoticeText));
        if (outcome.Text5) { // the interval was corrected; nothing else changed
            QCOMPARE(*outcome.Text5, QStringLiteral("20"));
            before[5] = QStringLiteral("20");
        } else {
            QVERIFY(dialogs.shown[0].text.contains(chain::joinPath(start, text::SettingsFile)));
        }
        QCOMPARE(settingsLines(settings), before);
    }

    // The registry's file: entries in order, and one empty line for no entries, which
    // reads back as one entry without label or file.
    void patternsSurviveSaveAndLoad_data() {
        QTest::addColumn<QList<PatternEntry>>("entries");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<PatternEntry>>("readBack");
        const QList<PatternEntry> entries{{"HD", "hd.jobs"}, {"A\\B", "C.jobs"}, {"その他", "x.jobs"}};
        QTest::newRow("in order")
            << entries << QByteArray("HD\\hd.jobs\r\nA\\B\\C.jobs\r\n\x82\xbb\x82\xcc\x91\xbc\\x.jobs\r\n")
            << entries;
        QTest::newRow("no entries") << QList<PatternEntry>{} << QByteArray("\r\n")
                                    << QList<PatternEntry>{{"", ""}};
    }
    void patternsSurviveSaveAndLoad() {
        QFETCH(QList<PatternEntry>, entries);
        QFETCH(QByteArray, file);
        QFETCH(QList<PatternEntry>, readBack);
        QTemporaryDir dir;
        QCOMPARE(SavePatterns(dir.path(), PatternTable{entries}), QString());
        QCOMPARE(readFile(dir.filePath(text::PatternFile)), file);
        PatternTable loaded;
        loadPatterns(dir.path(), loaded);
        QCOMPARE(loaded.entries, readBack);
    }

    // The registry's edits on the entries A, B, C, at their edges (the window's test walks
    // through the ordinary ones): each step is "select|N", "add|label|file",
    // "change|label|file", "remove", "up" or "down".
    void registryEditsFollowTheirRules_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("entries"); // label/file, comma-separated
        QTest::addColumn<int>("selected");
        const QString abc = QStringLiteral("A/a,B/b,C/c");
        QTest::newRow("empty label and file accepted") << QStringList{"add||"} << abc + ",/" << 3;
        QTest::newRow("change without selection") << QStringList{"change|X|y"} << abc << -1;
        QTest::newRow("remove the last selects the new last")
            << QStringList{"select|2", "remove"} << "A/a,B/b" << 1;
        QTest::newRow("remove every entry")
            << QStringList{"select|0", "remove", "remove", "remove"} << "" << -1;
        QTest::newRow("remove without selection") << QStringList{"remove"} << abc << -1;
        QTest::newRow("up from the first") << QStringList{"select|0", "up"} << abc << 0;
        QTest::newRow("down from the last") << QStringList{"select|2", "down"} << abc << 2;
        QTest::newRow("down without selection selects the first") << QStringList{"down"} << abc << 0;
    }
    void registryEditsFollowTheirRules() {
        QFETCH(QStringList, steps);
        QFETCH(QString, entries);
        QFETCH(int, selected);
        PatternEdit edit(PatternTable{{{"A", "a"}, {"B", "b"}, {"C", "c"}}});
        for (const QString& step : steps) {
            const QStringList part = step.split(u'|');
            if (part[0] == u"select")
                edit.select(part[1].toInt());
            else if (part[0] == u"add")
                edit.add(part[1], part[2]);
            else if (part[0] == u"change")
                edit.change(part[1], part[2]);
            else if (part[0] == u"remove")
                edit.remove();
            else if (part[0] == u"up")
                edit.moveUp();
            else if (part[0] == u"down")
                edit.moveDown();
        }
        QStringList shown;
        for (const PatternEntry& entry : edit.table().entries)
            shown << entry.label + u'/' + entry.file;
        QCOMPARE(shown.join(u','), entries);
        QCOMPARE(edit.selected(), selected);
    }

    void patternLineSplitsAtItsLastBackslash_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("file");
        QTest::newRow("last backslash") << "A\\B\\C.jobs"
                                        << "A\\B"
                                        << "C.jobs";
        QTest::newRow("trimmed") << "  HD\\hd.jobs  "
                                 << "HD"
                                 << "hd.jobs";
        QTest::newRow("no backslash") << "others x.jobs"
                                      << ""
                                      << "";
    }
    void patternLineSplitsAtItsLastBackslash() {
        QFETCH(QString, line);
        QFETCH(QString, label);
        QFETCH(QString, file);
        QCOMPARE(patternFromLine(line), (PatternEntry{label, file}));
    }

    // Start-up with the given pattern file (nothing: none) shows the fatal-data box or not.
    void startUpChecksTheRequiredEntries_data() {
        QTest::addColumn<QByteArray>("patternFile");
        QTest::addColumn<bool>("complaint");
        QTest::addColumn<int>("entries");
        QTest::newRow("no file: default table") << QByteArray() << false << 2;
        QTest::newRow("only others") << QByteArray("others\\x.jobs\r\n") << true << 1;
        QTest::newRow("NoResize without file") << QByteArray("NoResize\\\r\nothers\\x.jobs\r\n") << true << 2;
        QTest::newRow("first NoResize counts")
            << QByteArray("NoResize\\\r\nNoResize\\n.jobs\r\nothers\\x.jobs\r\n") << true << 3;
        QTest::newRow("first others counts")
            << QByteArray("NoResize\\n.jobs\r\nothers\\\r\n\x82\xbb\x82\xcc\x91\xbc\\x.jobs\r\n") << true
            << 3;
        QTest::newRow("その他 serves")
            << QByteArray("\x82\xbb\x82\xcc\x91\xbc\\x.jobs\r\nNoResize\\n.jobs\r\n") << false << 2;
        QTest::newRow("one empty line") << QByteArray("\r\n") << true << 1;
    }
    void startUpChecksTheRequiredEntries() {
        QFETCH(QByteArray, patternFile);
        QFETCH(bool, complaint);
        QFETCH(int, entries);
        QTemporaryDir dir;
        if (!patternFile.isNull())
            writeFile(dir.filePath(text::PatternFile), patternFile);
        SettingTable settings(SettingTableSize);
        PatternTable patterns;
        chain::RecordingDialogs dialogs;
        startUp(dir.path(), settings, patterns, dialogs);
        QCOMPARE(patterns.entries.size(), entries);
        QCOMPARE(dialogs.shown.size(), complaint ? 1 : 0);
        if (complaint) {
            QCOMPARE(dialogs.shown[0].title, QStringLiteral("データ損傷、致命的エラー"));
            QCOMPARE(dialogs.shown[0].text, text::MissingBothText1 + u'\n' + text::MissingBothText2);
        }
    }

    void startUpNotesUnreadableFilesAndDefaultsApply() {
        QTemporaryDir dir;
        writeFile(dir.filePath(text::SettingsFile), "/m2v\r\n\x81\r\n");
        writeFile(dir.filePath(text::PatternFile), "\xff");
        const QStringList leftovers{text::SettingsFile + QStringLiteral(".tmp~Ab12Cd"),
                                    JobEngine::RunRecordFile + QStringLiteral(".tmp~Ab12Cd"),
                                    text::JobsFile +
                                        QStringLiteral(".tmp~Ab12Cd")}; // the VirtualDub folder's
        for (const QString& leftover : leftovers)
            writeFile(dir.filePath(leftover), "half a save");
        SettingTable settings(SettingTableSize);
        PatternTable patterns;
        chain::RecordingDialogs dialogs;
        const QStringList notes = startUp(dir.path(), settings, patterns, dialogs);
        QCOMPARE(notes.size(), 5);
        QVERIFY(notes[0].contains(leftovers[0]));
        QVERIFY(notes[1].contains(leftovers[1]));
        QVERIFY(notes[2].contains(text::SettingsFile));
        QVERIFY(notes[3].contains(text::PatternFile));
        QVERIFY(notes[4].contains(leftovers[2]));
        for (const QString& leftover : leftovers)
            QVERIFY(!QFile::exists(dir.filePath(leftover)));
        QCOMPARE(settings.text(slot::StartFolder), dir.path());
        QCOMPARE(settings.text(slot::M2vFolder), dir.path());
        QCOMPARE(patterns.entries, defaultPatterns().entries);
        QVERIFY(dialogs.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
