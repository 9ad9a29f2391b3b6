#include "WindowKit.h"

#include "StepDriver.h"
#include "ui/EventLogView.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace pellavo;
using namespace pellavo::testkit;

namespace {

// The controls that "開始" locks and "中止" unlocks (Text3 and Command3 only while the
// .m2v is kept).
const char* const Locked[] = {"Text1",    "Command1", "Text2",   "Command2", "Text3",   "Command3",
                              "Text4",    "Command4", "Text5",   "List1",    "List2",   "Command6",
                              "Command8", "Check1",   "Option1", "Option2",  "Option3", "Option4"};

} // namespace

// Pellavo's windows, clicked through on the offscreen platform.
class WindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Kit> kit;

    Form1& form() { return *kit->form; }
    QLineEdit* box(const char* name) { return child<QLineEdit>(kit->form.get(), name); }
    QWidget* control(const char* name) { return child<QWidget>(kit->form.get(), name); }
    bool checked(const char* name) { return child<QAbstractButton>(kit->form.get(), name)->isChecked(); }
    QStringList rows(const char* name) { return rowsOf(child<QListWidget>(kit->form.get(), name)); }
    QString status() { return child<QLabel>(kit->form.get(), "Label9")->text(); }
    // Clicks "記憶"; a notice that opens is closed at once. Returns the notice's name.
    QString store() {
        return withModal(kit->form.get(), "Command6", [](QWidget*) {});
    }

  private Q_SLOTS:
    void init() {
        kit = std::make_unique<Kit>();
        QVERIFY(kit->dir.isValid());
    }
    void cleanup() { kit.reset(); }

    void startUpFillsTheWindow_data() {
        QTest::addColumn<QString>("deleteFlag"); // of the saved settings; empty: no settings files
        QTest::newRow("no settings files") << QString();
        QTest::newRow("saved, .m2v deleted") << "1";
        QTest::newRow("saved, .m2v kept") << "0";
    }
    void startUpFillsTheWindow() {
        QFETCH(QString, deleteFlag);
        const bool saved = !deleteFlag.isEmpty();
        if (saved) {
            kit->saveSettings(deleteFlag, QStringLiteral("45"));
            kit->addPair(QStringLiteral("b"));
            kit->addPair(QStringLiteral("a"));
            writeFile(kit->path("avi/old.avi"), "avi");
        }
        kit->open();
        QVERIFY(kit->messages().isEmpty());
        QCOMPARE(form().windowTitle(), QStringLiteral("Pellavo"));
        const QStringList folders =
            saved ? QStringList{kit->path("m2v"), kit->path("avi"), kit->path("done"), kit->path("vd")}
                  : QStringList(4, kit->dir.path());
        QCOMPARE((QStringList{box("Text1")->text(), box("Text2")->text(), box("Text3")->text(),
                              box("Text4")->text()}),
                 folders);
        const bool deleted = deleteFlag != u"0";
        QCOMPARE(checked("Check1"), deleted);
        QCOMPARE(control("Text3")->isEnabled(), !deleted);
        QCOMPARE(control("Command3")->isEnabled(), !deleted);
        QCOMPARE(box("Text5")->text(), saved ? QStringLiteral("45") : QStringLiteral("30"));
        QCOMPARE(checked("Option2"), saved);
        QCOMPARE(checked("Option4"), saved);
        QCOMPARE(rows("List1"), saved ? (QStringList{"a.m2v", "b.m2v"}) : QStringList());
        QCOMPARE(rows("List2"), saved ? QStringList{"old.avi"} : QStringList());
        QCOMPARE(status(), QString());
        QVERIFY(form().isTimerArmed()); // watching from the start
        QCOMPARE(form().engine().state(), JobEngine::State::Watching);
    }

    // Each case of the input check, in its order, through "記憶" or "開始". "T/" is a
    // folder in the temporary start folder, "P/" one on /proc, another filesystem.
    void inputCheckGuardsStoreAndStart_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("texts"); // Text1, Text2, Text3, Text5
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("shown"); // the box's title, if one is shown
        QTest::addColumn<bool>("done");     // stored or started
        QTest::addColumn<QString>("text5"); // afterwards
        QTest::addColumn<QString>("slot6"); // afterwards; it was "30"
        const QString interval = "確認間隔時間入力エラー", drive = "ドライブ指定確認";
        const QStringList good{"T/m2v", "P/avi", "T/done"};
        QTest::newRow("15 becomes 20")
            << "Command6" << good + QStringList{"15"} << false << interval << false << "20"
            << "20";
        QTest::newRow("15 becomes 20, start")
            << "Command7" << good + QStringList{"15"} << false << interval << false << "20"
            << "20";
        QTest::newRow("60.5 passes") << "Command6" << good + QStringList{"60.5"} << false << "" << true
                                     << "60.5"
                                     << "60.5";
        QTest::newRow("double-byte m2v folder")
            << "Command6" << QStringList{"T/録画", "P/avi", "T/done", "30"} << false
            << "ルートフォルダ指定エラー" << false << "30"
            << "30";
        QTest::newRow("avi on the m2v drive, Yes")
            << "Command6" << QStringList{"T/m2v", "T/avi", "T/done", "30"} << true << drive << true << "30"
            << "30";
        QTest::newRow("avi on the m2v drive, No")
            << "Command6" << QStringList{"T/m2v", "T/avi", "T/done", "30"} << false << drive << false << "30"
            << "30";
        QTest::newRow("avi on the m2v drive, No, start")
            << "Command7" << QStringList{"T/m2v", "T/avi", "T/done", "30"} << false << drive << false << "30"
            << "30";
        QTest::newRow("storage on another drive, Yes")
            << "Command6" << QStringList{"T/m2v", "P/avi", "P/done", "30"} << true << drive << true << "30"
            << "30";
        QTest::newRow("storage on another drive, No")
            << "Command6" << QStringList{"T/m2v", "P/avi", "P/done", "30"} << false << drive << false << "30"
            << "30";
        QTest::newRow("storage is the m2v folder")
            << "Command6" << QStringList{"T/m2v", "P/avi", "T/m2v", "30"} << false << "フォルダ指定確認"
            << false << "30"
            << "30";
    }
    void inputCheckGuardsStoreAndStart() {
        QFETCH(QString, button);
        QFETCH(QStringList, texts);
        QFETCH(bool, answer);
        QFETCH(QString, shown);
        QFETCH(bool, done);
        QFETCH(QString, text5);
        QFETCH(QString, slot6);
        kit->open();
        const char* boxes[] = {"Text1", "Text2", "Text3", "Text5"};
        for (int i = 0; i < 4; ++i)
            box(boxes[i])->setText(
                QString(texts[i]).replace("T/", kit->dir.path() + u'/').replace("P/", "/proc/"));
        kit->dialogs.answers.enqueue(answer);
        const bool store = button == u"Command6";
        QString notice;
        if (store)
            notice = this->store();
        else
            click(kit->form.get(), "Command7");
        QStringList titles;
        for (const auto& box : kit->dialogs.shown)
            titles << box.title;
        QCOMPARE(titles, shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(box("Text5")->text(), text5);
        QCOMPARE(kit->settings.text(slot::Interval), slot6);
        QCOMPARE(kit->settings.text(slot::Abort), QStringLiteral("0"));
        if (store) {
            QCOMPARE(QFile::exists(kit->path(text::SettingsFile)), done);
            QCOMPARE(notice, done ? QStringLiteral("Form2") : QString());
        } else {
            QCOMPARE(form().engine().state() == JobEngine::State::Running, done);
            QVERIFY(!QFile::exists(kit->path(text::SettingsFile)));
        }
    }

    // "記憶" writes the eight lines; the notice closes by itself, and an engine tick that
    // falls due meanwhile runs once it has closed.
    void storeWritesEightLinesAndTheNoticeClosesItself() {
        kit->saveSettings();
        kit->open();
        click(kit->form.get(), "Check1");
        click(kit->form.get(), "Option1");
        box("Text5")->setText(QStringLiteral(" 40 "));
        kit->dialogs.answers.enqueue(true); // the avi folder is on the m2v drive: go on
        QVERIFY(QFile::remove(kit->path(text::SettingsFile)));
        const QString opened = withModal(kit->form.get(), "Command6", [this](QWidget* notice) {
            QCOMPARE(notice->windowTitle(), QStringLiteral("確認の通知"));
            QCOMPARE(child<QLabel>(notice, "Label1")->text(),
                     QStringLiteral("Pellavo_Data1.txtに記録しました。"));
            auto* timer = notice->findChild<QTimer*>(QStringLiteral("Timer1"));
            QVERIFY(timer && timer->isActive());
            QCOMPARE(timer->interval(), 3000);
            writeFile(kit->path("avi/new.avi"), "avi"); // a change the tick looks at the tools for
            form().findChild<chain::StepDriver*>(QStringLiteral("Timer1"))->arm(0);
            QTest::qWait(20);
            QCOMPARE(kit->watch.questions, 0); // the tick waits for the notice
            timer->setInterval(1);
            QTRY_VERIFY(!notice->isVisible());
        });
        QCOMPARE(opened, QStringLiteral("Form2"));
        QCOMPARE(kit->watch.questions, 1);
        QCOMPARE(readFile(kit->path(text::SettingsFile)),
                 (QStringList{kit->path("m2v"), kit->path("avi"), kit->path("done"), kit->path("vd"), "0",
                              "40", "1", "2", ""}
                      .join("\r\n"))
                     .toUtf8());
    }

    void startAndStopLockAndUnlockTheControls_data() {
        QTest::addColumn<QString>("deleteFlag");
        QTest::newRow(".m2v deleted") << "1";
        QTest::newRow(".m2v kept") << "0";
    }
    void startAndStopLockAndUnlockTheControls() {
        QFETCH(QString, deleteFlag);
        kit->saveSettings(deleteFlag);
        kit->open();
        kit->dialogs.answers.enqueue(true); // the avi folder is on the m2v drive: go on
        click(kit->form.get(), "Command7");
        QCOMPARE(child<QPushButton>(kit->form.get(), "Command7")->text(), QStringLiteral("中止"));
        for (const char* name : Locked)
            QVERIFY2(!control(name)->isEnabled(), name);
        QVERIFY(control("Command5")->isEnabled());
        QVERIFY(form().isTimerArmed());
        click(kit->form.get(), "Command7");
        QCOMPARE(child<QPushButton>(kit->form.get(), "Command7")->text(), QStringLiteral("開始"));
        for (const char* name : Locked) {
            const bool storage = QByteArray(name) == "Text3" || QByteArray(name) == "Command3";
            QVERIFY2(control(name)->isEnabled() == (!storage || deleteFlag == u"0"), name);
        }
        QVERIFY(!form().isTimerArmed());
    }

    void closeIsRefusedWhileRunning() {
        kit->saveSettings();
        const QByteArray saved = readFile(kit->path(text::SettingsFile));
        kit->open();
        kit->dialogs.answers.enqueue(true); // the avi folder is on the m2v drive: go on
        click(kit->form.get(), "Command7");
        kit->dialogs.shown.clear();
        QVERIFY(!form().close());
        QCOMPARE(kit->messages(), QStringList{"稼働中エラー|只今、稼働中です。中止してから閉じて下さい。"});
        QVERIFY(form().isVisible());
        click(kit->form.get(), "Command7");
        click(kit->form.get(), "Command8");
        QVERIFY(!form().isVisible());
        QCOMPARE(kit->settings.text(slot::Abort), QStringLiteral("1"));
        QVERIFY(!form().isTimerArmed());
        QCOMPARE(readFile(kit->path(text::SettingsFile)), saved); // nothing saved on the way out
    }

    // The delete box and the option buttons write their slots at once, without "記憶".
    void choicesWriteTheirSlotsAtOnce() {
        kit->open();
        const QList<std::tuple<const char*, int, QString>> clicks = {
            {"Option2", slot::PictureSize, "2"}, {"Option1", slot::PictureSize, "1"},
            {"Option4", slot::FrameRate, "2"},   {"Option3", slot::FrameRate, "1"},
            {"Check1", slot::DeleteFlag, "0"},   {"Check1", slot::DeleteFlag, "1"}};
        for (const auto& [name, index, value] : clicks) {
            click(kit->form.get(), name);
            QCOMPARE(kit->settings.text(index), value);
            QCOMPARE(control("Text3")->isEnabled(), index == slot::DeleteFlag && value == u"0");
        }
        QVERIFY(!QFile::exists(kit->path(text::SettingsFile)));
    }

    // A folder button opens the choice at its slot's folder (not the box's text), puts
    // the folder into box and slot, and lists that folder at once where it shows one.
    void folderButtonsFillBoxAndSlot_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::newRow("m2v") << "Command1"
                             << "Text1" << int(slot::M2vFolder) << "m2vフォルダの指定";
        QTest::newRow("avi") << "Command2"
                             << "Text2" << int(slot::AviFolder) << "aviフォルダの指定";
        QTest::newRow("storage") << "Command3"
                                 << "Text3" << int(slot::StorageFolder) << "m2v変換後格納フォルダの指定";
        QTest::newRow("VirtualDub") << "Command4"
                                    << "Text4" << int(slot::VirtualDubFolder) << "VirtualDubフォルダの指定";
    }
    void folderButtonsFillBoxAndSlot() {
        QFETCH(QString, button);
        QFETCH(QString, boxName);
        QFETCH(int, index);
        QFETCH(QString, title);
        kit->saveSettings(QStringLiteral("0"));
        kit->open();
        QVERIFY(QDir(kit->dir.path()).mkdir("new"));
        writeFile(kit->path("new/x.m2v"), "video");
        writeFile(kit->path("new/y.avi"), "avi");
        box(qPrintable(boxName))->setText(QStringLiteral("typed"));
        kit->dialogs.folders.enqueue(kit->path("new"));
        click(kit->form.get(), qPrintable(button));
        QCOMPARE(kit->dialogs.shown.last().title, title);
        QCOMPARE(kit->dialogs.shown.last().text,
                 kit->path(QStringList{"", "m2v", "avi", "done", "vd"}[index]));
        QCOMPARE(box(qPrintable(boxName))->text(), kit->path("new"));
        QCOMPARE(kit->settings.text(index), kit->path("new"));
        QCOMPARE(rows("List1"), index == slot::M2vFolder ? QStringList{"x.m2v"} : QStringList());
        QCOMPARE(rows("List2"), index == slot::AviFolder ? QStringList{"y.avi"} : QStringList());
    }

    // The status line follows the engine; a Pellavo started again while VirtualDub runs
    // shows the run it takes up, with the earlier events in its log pane.
    void statusLineShowsTheRunAndTheRecoveredRun() {
        kit->saveSettings();
        kit->addPair(QStringLiteral("a"));
        kit->open();
        form().Timer1_Timer();
        QCOMPARE(kit->launcher.started.size(), 1);
        QCOMPARE(status(), QStringLiteral("a.m2v を圧縮中です。"));
        kit->log->flush();

        kit->open();
        QCOMPARE(status(), QStringLiteral("a.m2v を圧縮中です。"));
        auto* log = child<chain::EventLogView>(kit->form.get(), "EventLog");
        QStringList lines;
        for (int i = 0; i < log->count(); ++i)
            lines << log->item(i)->text();
        QVERIFY2(lines.filter("VirtualDub").size() >= 1 && lines.filter("以前の記録").size() == 1,
                 qPrintable(lines.join(u'\n')));
        kit->watch.runningNames.clear();
        form().Timer1_Timer();
        // VirtualDub ended with the program before writing anything: a is converted again.
        QCOMPARE(kit->launcher.started.size(), 2);
        QCOMPARE(status(), QStringLiteral("a.m2v を圧縮中です。"));
    }

    // The registry edits a copy: a picked file fills the file box, a listed label is
    // refused as typed, "変更" shows at once, and "ＯＫ" writes the file and gives the
    // engine the new table.
    void registryOkSavesTheEditedTable() {
        writeFile(kit->path("Set Jobs/HD.jobs"), "x");
        kit->open();
        const QString opened = withModal(kit->form.get(), "Command5", [this](QWidget* registry) {
            QCOMPARE(registry->windowTitle(), QStringLiteral("リサイズ・クロップCut　変更"));
            auto* files = child<QListWidget>(registry, "File1");
            auto* labels = child<QListWidget>(registry, "List1");
            auto* text1 = child<QLineEdit>(registry, "Text1");
            auto* text2 = child<QLineEdit>(registry, "Text2");
            QCOMPARE(rowsOf(files),
                     (QStringList{text::DefaultOthersPattern, text::DefaultNoResizePattern, "HD.jobs"}));
            QCOMPARE(rowsOf(labels), (QStringList{"others", "NoResize"}));
            clickRow(files, 2);
            QCOMPARE(text2->text(), QStringLiteral("HD.jobs"));
            text1->setText(QStringLiteral("HD"));
            click(registry, "Command1");
            click(registry, "Command1"); // HD again
            QCOMPARE(kit->messages(), QStringList{"文字入力エラー|HD  この文字は、すでに登録されています。"});
            text1->setText(QStringLiteral(" HD "));
            click(registry, "Command1"); // compared as typed: accepted, and stored trimmed
            QCOMPARE(rowsOf(labels), (QStringList{"others", "NoResize", "HD", "HD"}));
            QCOMPARE(labels->currentRow(), 3);
            QCOMPARE(text1->text(), QStringLiteral("HD"));
            text1->setText(QStringLiteral("HD2"));
            click(registry, "Command2");
            QCOMPARE(rowsOf(labels), (QStringList{"others", "NoResize", "HD", "HD2"}));
            click(registry, "Command3"); // the new last entry is selected
            QCOMPARE(labels->currentRow(), 2);
            click(registry, "Command4");
            click(registry, "Command4");
            QCOMPARE(rowsOf(labels), (QStringList{"HD", "others", "NoResize"}));
            clickRow(labels, 1);
            QCOMPARE(text1->text(), QStringLiteral("others"));
            QCOMPARE(text2->text(), text::DefaultOthersPattern);
            click(registry, "Command6");
            QVERIFY(!registry->isVisible());
        });
        QCOMPARE(opened, QStringLiteral("Form3"));
        const QList<PatternEntry> saved{{"HD", "HD.jobs"},
                                        {"others", text::DefaultOthersPattern},
                                        {"NoResize", text::DefaultNoResizePattern}};
        QCOMPARE(kit->patterns.entries, saved);
        const QStringList lines{"HD\\HD.jobs", "others\\" + text::DefaultOthersPattern,
                                "NoResize\\" + text::DefaultNoResizePattern, ""};
        QCOMPARE(readFile(kit->path(text::PatternFile)), lines.join("\r\n").toUtf8());
    }

    void registryClosedWithoutOkChangesNothing() {
        kit->open();
        withModal(kit->form.get(), "Command5", [](QWidget* registry) {
            clickRow(child<QListWidget>(registry, "List1"), 0);
            click(registry, "Command3");
            registry->close();
        });
        QCOMPARE(kit->patterns.entries, defaultPatterns().entries);
        QVERIFY(!QFile::exists(kit->path(text::PatternFile)));
    }

    // A start folder without "Set Jobs" gives an empty file list; a table that can't be
    // written is told, and the window and the table stay as they were.
    void registryWithoutItsFoldersTellsTheFailedSave() {
        kit->open();
        kit->settings.set(slot::StartFolder, kit->path("gone"));
        withModal(kit->form.get(), "Command5", [](QWidget* registry) {
            QCOMPARE(child<QListWidget>(registry, "File1")->count(), 0);
            clickRow(child<QListWidget>(registry, "List1"), 0);
            click(registry, "Command3");
            click(registry, "Command3");
            QCOMPARE(child<QListWidget>(registry, "List1")->count(), 0);
            click(registry, "Command6");
            QVERIFY(registry->isVisible());
        });
        QCOMPARE(kit->messages().size(), 1);
        QVERIFY(kit->messages()[0].startsWith(
            "エラー|" + chain::testing::inFolder(kit->path("gone"), text::PatternFile)));
        QCOMPARE(kit->patterns.entries, defaultPatterns().entries);
    }
};

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
