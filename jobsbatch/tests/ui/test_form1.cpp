// Orvane's window on the offscreen platform: its layouts, the folder buttons, "解除",
// "記憶" and the batch driven from "開始".

#include "Texts.h"
#include "WindowKit.h"

#include "ui/EventLogView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace orvane;
using chain::testing::child;
using chain::testing::click;
using chain::testing::clickRow;
using chain::testing::rowsOf;
using orvane::testkit::Kit;

namespace {
QStringList enabledOnes(QWidget* root, const QStringList& names) {
    QStringList enabled;
    for (const QString& name : names) {
        if (root->findChild<QWidget*>(name)->isEnabled())
            enabled << name;
    }
    return enabled;
}
const QStringList Inputs{"Text1",    "Text2",    "Text3",    "Command1", "Command2",
                         "Command3", "Command4", "Command5", "Command6", "Command7",
                         "Command8", "Check1",   "Check2",   "List1",    "List2"};
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void startsIdleFromTheSettingsFile_data() {
        QTest::addColumn<QString>("deleteLine"); // empty: no settings file
        QTest::addColumn<QString>("closeLine");
        QTest::addColumn<bool>("check2");
        QTest::addColumn<bool>("check1");
        QTest::newRow("no file: both on") << ""
                                          << "" << true << true;
        QTest::newRow("delete on, close off") << "1"
                                              << "0" << true << false;
        QTest::newRow("delete off, close on") << "0"
                                              << "1" << false << true;
    }
    void startsIdleFromTheSettingsFile() {
        QFETCH(QString, deleteLine);
        QFETCH(QString, closeLine);
        QFETCH(bool, check2);
        QFETCH(bool, check1);
        Kit kit;
        if (!deleteLine.isEmpty())
            kit.settings(deleteLine, closeLine);
        Form1& form = kit.open();

        QCOMPARE(form.windowTitle(), text::MainTitle);
        QCOMPARE(child<QCheckBox>(&form, "Check2")->isChecked(), check2);
        QCOMPARE(child<QCheckBox>(&form, "Check1")->isChecked(), check1);
        QStringList enabled = Inputs;
        if (check2)
            enabled.removeAll("Text3"), enabled.removeAll("Command8");
        QCOMPARE(enabledOnes(&form, Inputs), enabled);
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3);
        QVERIFY(!child<QLabel>(&form, "Label5")->isVisible());
        QVERIFY(!child<QLabel>(&form, "Label6")->isVisible());
        QCOMPARE(child<QLabel>(&form, "Label5")->text(), QString());
        QVERIFY(!form.isTimerArmed());
        const QString vd = deleteLine.isEmpty() ? kit.dir.path() : kit.path("vd");
        QCOMPARE(child<QLineEdit>(&form, "Text1")->text(), vd);

        click(&form, "Check2"); // the delete option follows the box at once
        QCOMPARE(form.state().text(slot::DeleteOption), check2 ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(child<QWidget>(&form, "Text3")->isEnabled(), check2);
        QCOMPARE(child<QWidget>(&form, "Command8")->isEnabled(), check2);
    }

    void startAndStopSwitchTheLayouts_data() {
        QTest::addColumn<bool>("deleting");
        QTest::newRow("delete option off") << false;
        QTest::newRow("delete option on") << true;
    }
    void startAndStopSwitchTheLayouts() {
        QFETCH(bool, deleting);
        Kit kit;
        kit.settings(deleting ? QStringLiteral("1") : QStringLiteral("0"), QStringLiteral("0"));
        Form1& form = kit.open();
        click(&form, "Command3");
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3_Running);
        QCOMPARE(enabledOnes(&form, Inputs), (QStringList{"Command3", "List1", "List2"}));
        QVERIFY(child<QLabel>(&form, "Label5")->isVisible());
        QCOMPARE(child<QLabel>(&form, "Label6")->text(), text::Form1_Label6);
        QVERIFY(child<QLabel>(&form, "Label6")->isVisible());
        QVERIFY(form.isTimerArmed());
        QVERIFY(form.engine().isRunning());

        click(&form, "Command3");
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3);
        QCOMPARE(child<QWidget>(&form, "Text3")->isEnabled(), !deleting);
        QCOMPARE(child<QWidget>(&form, "Command8")->isEnabled(), !deleting);
        QCOMPARE(child<QWidget>(&form, "Command4")->isEnabled(), true);
        QVERIFY(!child<QLabel>(&form, "Label5")->isVisible());
        QVERIFY(!form.isTimerArmed());
        QVERIFY(!form.engine().isRunning());
    }

    void takingOffAnEntry_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("jobsAfter");
        QTest::addColumn<QStringList>("outputsAfter");
        QTest::newRow("last of three") << QStringList{"a.jobs", "b.jobs", "c.jobs"}
                                       << QStringList{"a.jobs", "b.jobs"} << QStringList{"b.avi\""};
        QTest::newRow("only entry") << QStringList{"a.jobs"} << QStringList{} << QStringList{};
    }
    void takingOffAnEntry() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, jobsAfter);
        QFETCH(QStringList, outputsAfter);
        Kit kit;
        kit.settings(QStringLiteral("1"), QStringLiteral("1"));
        for (const QString& name : names)
            kit.job(name);
        Form1& form = kit.open();
        auto* list1 = child<QListWidget>(&form, "List1");
        auto* list2 = child<QListWidget>(&form, "List2");
        QCOMPARE(rowsOf(list2), QStringList{"a.avi\""}); // the first entry, shown at start-up
        clickRow(list1, static_cast<int>(names.size()) - 1);
        QCOMPARE(rowsOf(list2), QStringList{names.last().section(u'.', 0, 0) + ".avi\""});

        click(&form, "Command6");
        QCOMPARE(rowsOf(list1), jobsAfter);
        QCOMPARE(rowsOf(list2), outputsAfter);
        QCOMPARE(list1->currentRow(), static_cast<int>(jobsAfter.size()) - 1);
        QCOMPARE(QDir(kit.path("jobs")).entryList(QDir::Files), names); // the files stay

        click(&form, "Command7"); // "取得" brings the entry back
        QCOMPARE(rowsOf(list1), names);
        QCOMPARE(rowsOf(list2), outputsAfter);
    }

    void folderButtonsChooseThroughTheDialog_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("folderSlot");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("Command1") << "Command1"
                                  << "Text1" << slot::VirtualDubFolder << text::Command1_Title << QString();
        QTest::newRow("Command2") << "Command2"
                                  << "Text2" << slot::JobsFolder << text::Command2_Title << text::JobsFilter;
        QTest::newRow("Command8") << "Command8"
                                  << "Text3" << slot::JobsMoveFolder << text::Command8_Title << QString();
    }
    void folderButtonsChooseThroughTheDialog() {
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(int, folderSlot);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("0"));
        QDir(kit.dir.path()).mkdir(QStringLiteral("other"));
        kit.job(QStringLiteral("a.jobs"));
        chain::testing::writeFile(kit.path("other/new.jobs"), "");
        Form1& form = kit.open();
        const QString before = form.state().text(folderSlot);

        kit.dialogs.folders.enqueue(std::nullopt); // cancelled: nothing changes
        kit.dialogs.folders.enqueue(kit.path("other"));
        click(&form, button.toLatin1().constData());
        QCOMPARE(form.state().text(folderSlot), before);
        click(&form, button.toLatin1().constData());

        QCOMPARE(kit.dialogs.shown.size(), 2);
        QCOMPARE(kit.dialogs.shown[1].title, title);
        QCOMPARE(kit.dialogs.shown[1].text, before);
        QCOMPARE(kit.dialogs.shown[1].filter, filter);
        QCOMPARE(form.state().text(folderSlot), kit.path("other"));
        QCOMPARE(child<QLineEdit>(&form, box.toLatin1().constData())->text(), kit.path("other"));
        // Only a new jobs folder reads the job list again; the output list stays.
        const QStringList jobs = button == u"Command2" ? QStringList{"new.jobs"} : QStringList{"a.jobs"};
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List1")), jobs);
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List2")), QStringList{"a.avi\""});
    }

    // "記憶" writes the slots, not what was typed; a file that can't be written gets a box.
    void rememberWritesTheSlots() {
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("1"));
        Form1& form = kit.open();
        QTest::keyClicks(child<QLineEdit>(&form, "Text1"), QStringLiteral("typed"));
        click(&form, "Check1");
        click(&form, "Command5");
        QCOMPARE(kit.dialogs.shown.size(), 0);
        const QStringList lines{kit.path("vd"), kit.path("jobs"), kit.path("moved"), "0", "0"};
        const QByteArray expected = (lines.join("\r\n") + "\r\n").toUtf8();
        QCOMPARE(chain::testing::readFile(kit.path(SettingsFileName)), expected);

        const QString elsewhere = kit.dir.path() + "-elsewhere"; // the start folder is gone
        QVERIFY(QDir().rename(kit.dir.path(), elsewhere));
        click(&form, "Command5");
        QVERIFY(QDir().rename(elsewhere, kit.dir.path()));
        QCOMPARE(kit.dialogs.shown.size(), 1);
        QCOMPARE(kit.dialogs.shown[0].title, QStringLiteral("エラー"));
        QVERIFY(kit.dialogs.shown[0].text.contains(kit.path(SettingsFileName)));
    }

    // The batch from the window: the job's name in Label5, the events in the log, and the
    // close option ending the program when nothing is left.
    void batchRunsFromTheWindowAndEndsIt() {
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("1"));
        kit.job(QStringLiteral("a.jobs"));
        Form1& form = kit.open();
        click(&form, "Command3");
        form.Timer1_Timer();
        kit.watch.setRunning("VirtualDub.exe", true);
        QCOMPARE(kit.launcher.started.size(), 1);
        QCOMPARE(child<QLabel>(&form, "Label5")->text(), "a.jobs" + CompressingTail);
        QVERIFY(form.isTimerArmed());
        form.Timer1_Timer(); // filed away
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List1")), QStringList{});
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List2")), QStringList{});
        QVERIFY(form.isVisible());
        QVERIFY(child<chain::EventLogView>(&form, "EventLog")->count() >= 3);
        kit.watch.setRunning("VirtualDub.exe", false);
        form.Timer1_Timer(); // nothing left, no tool running
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isTimerArmed());
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
