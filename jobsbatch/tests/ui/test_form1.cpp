// Orvane's window on the offscreen platform: its layouts, "解除", the jobs folder's button,
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
const QStringList Inputs{"Text1",    "Text2",    "Text3",    "Command1", "Command2",
                         "Command3", "Command4", "Command5", "Command6", "Command7",
                         "Command8", "Check1",   "Check2",   "List1",    "List2"};

QStringList enabledOnes(QWidget* root) {
    QStringList enabled;
    for (const QString& name : Inputs) {
        if (root->findChild<QWidget*>(name)->isEnabled())
            enabled << name;
    }
    return enabled;
}
bool shown(QWidget* root, const char* label) {
    return child<QLabel>(root, label)->isVisible();
}
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // The idle layout at start-up as the settings file says, the running layout, the idle
    // one again, and the delete option's box.
    void layoutsFollowTheOptionsAndTheBatch_data() {
        QTest::addColumn<QString>("deleteLine"); // empty: no settings file
        QTest::addColumn<QString>("closeLine");
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<bool>("closing");
        QTest::newRow("no file: both on") << ""
                                          << "" << true << true;
        QTest::newRow("delete on, close off") << "1"
                                              << "0" << true << false;
        QTest::newRow("delete off, close on") << "0"
                                              << "1" << false << true;
    }
    void layoutsFollowTheOptionsAndTheBatch() {
        QFETCH(QString, deleteLine);
        QFETCH(QString, closeLine);
        QFETCH(bool, deleting);
        QFETCH(bool, closing);
        Kit kit;
        if (!deleteLine.isEmpty())
            kit.settings(deleteLine, closeLine);
        Form1& form = kit.open();
        QStringList idle = Inputs; // Text3 and Command8 follow the delete option
        if (deleting) {
            idle.removeAll("Text3");
            idle.removeAll("Command8");
        }

        QCOMPARE(form.windowTitle(), text::MainTitle);
        QCOMPARE(child<QCheckBox>(&form, "Check2")->isChecked(), deleting);
        QCOMPARE(child<QCheckBox>(&form, "Check1")->isChecked(), closing);
        QCOMPARE(enabledOnes(&form), idle);
        QVERIFY(!shown(&form, "Label5") && !shown(&form, "Label6") && !form.isTimerArmed());
        QCOMPARE(child<QLabel>(&form, "Label5")->text(), QString());

        click(&form, "Command3");
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3_Running);
        QCOMPARE(enabledOnes(&form), (QStringList{"Command3", "List1", "List2"}));
        QVERIFY(shown(&form, "Label5") && shown(&form, "Label6") && form.isTimerArmed());

        click(&form, "Command3");
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3);
        QCOMPARE(enabledOnes(&form), idle);
        QVERIFY(!shown(&form, "Label5") && !form.isTimerArmed() && !form.engine().isRunning());

        click(&form, "Check2");
        QCOMPARE(form.state().text(slot::DeleteOption), deleting ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(child<QWidget>(&form, "Text3")->isEnabled(), deleting);
        QCOMPARE(child<QWidget>(&form, "Command8")->isEnabled(), deleting);
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
        click(&form, "Command7"); // "取得" brings the entry back: the file stayed
        QCOMPARE(rowsOf(list1), names);
    }

    // The jobs folder's choice shows the jobs files; a new jobs folder is listed at once.
    void jobsFolderButtonChoosesAndLists() {
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("0"));
        kit.job(QStringLiteral("a.jobs"));
        QDir(kit.dir.path()).mkdir(QStringLiteral("other"));
        chain::testing::writeFile(kit.path("other/new.jobs"), "");
        Form1& form = kit.open();
        kit.dialogs.folders.enqueue(std::nullopt); // cancelled: nothing changes
        kit.dialogs.folders.enqueue(kit.path("other"));
        click(&form, "Command2");
        QCOMPARE(form.state().text(slot::JobsFolder), kit.path("jobs"));
        click(&form, "Command2");

        QCOMPARE(kit.dialogs.shown[1].title, text::Command2_Title);
        QCOMPARE(kit.dialogs.shown[1].text, kit.path("jobs"));
        QCOMPARE(kit.dialogs.shown[1].filter, text::JobsFilter);
        QCOMPARE(form.state().text(slot::JobsFolder), kit.path("other"));
        QCOMPARE(child<QLineEdit>(&form, "Text2")->text(), kit.path("other"));
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List1")), QStringList{"new.jobs"});
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List2")), QStringList{"a.avi\""}); // stays
    }

    // "記憶" writes the slots, not what was typed; a file that can't be written gets a box.
    void rememberWritesTheSlots() {
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("1"));
        Form1& form = kit.open();
        QTest::keyClicks(child<QLineEdit>(&form, "Text1"), QStringLiteral("typed"));
        click(&form, "Check1");
        click(&form, "Command5");
        const QStringList lines{kit.path("vd"), kit.path("jobs"), kit.path("moved"), "0", "0"};
        QCOMPARE(chain::testing::readFile(kit.path(SettingsFileName)),
                 (lines.join("\r\n") + "\r\n").toUtf8());
        QCOMPARE(kit.dialogs.shown.size(), 0);

        const QString elsewhere = kit.dir.path() + "-elsewhere"; // the start folder is gone
        QVERIFY(QDir().rename(kit.dir.path(), elsewhere));
        click(&form, "Command5");
        QVERIFY(QDir().rename(elsewhere, kit.dir.path()));
        QCOMPARE(kit.dialogs.shown.size(), 1);
        QCOMPARE(kit.dialogs.shown[0].title, QStringLiteral("エラー"));
        QVERIFY(
            kit.dialogs.shown[0].text.contains(chain::testing::inFolder(kit.dir.path(), SettingsFileName)));
    }

    // With the delete option off, a jobs-move folder that is the jobs folder is refused at
    // "開始" with a message, and the batch stays idle.
    void startRefusesAMoveFolderThatIsTheJobsFolder() {
        Kit kit;
        const QString crlf = QStringLiteral("\r\n");
        const QStringList lines{kit.path("vd"), kit.path("jobs"), kit.path("jobs/../jobs"), "0", "0"};
        chain::testing::writeFile(kit.path(SettingsFileName), (lines.join(crlf) + crlf).toUtf8());
        kit.job(QStringLiteral("a.jobs"));
        Form1& form = kit.open();
        click(&form, "Command3");
        QCOMPARE(kit.dialogs.shown.size(), 1);
        QCOMPARE(kit.dialogs.shown[0].title, QStringLiteral("フォルダ指定確認"));
        QVERIFY(kit.dialogs.shown[0].text.contains(
            QStringLiteral("jobs移動フォルダが(.jobs)フォルダと同じです")));
        QCOMPARE(child<QAbstractButton>(&form, "Command3")->text(), text::Form1_Command3);
        QVERIFY(!form.isTimerArmed() && !form.engine().isRunning());

        click(&form, "Check2"); // deleting: the jobs-move folder is not used
        click(&form, "Command3");
        QCOMPARE(kit.dialogs.shown.size(), 1);
        QVERIFY(form.engine().isRunning());
    }

    // The job's name in Label5, the events in the log, and the close option closing the
    // window once nothing is left.
    void batchFromTheWindowEndsTheProgram() {
        Kit kit;
        kit.settings(QStringLiteral("0"), QStringLiteral("1"));
        kit.job(QStringLiteral("a.jobs"));
        Form1& form = kit.open();
        click(&form, "Command3");
        form.Timer1_Timer();
        kit.watch.setRunning("VirtualDub.exe", true);
        QCOMPARE(child<QLabel>(&form, "Label5")->text(), "a.jobs" + CompressingTail);
        form.Timer1_Timer(); // filed away, VirtualDub still runs
        QCOMPARE(rowsOf(child<QListWidget>(&form, "List1")), QStringList{});
        QVERIFY(form.isVisible() && form.isTimerArmed());
        QVERIFY(child<chain::EventLogView>(&form, "EventLog")->count() >= 3);
        kit.watch.setRunning("VirtualDub.exe", false);
        form.Timer1_Timer();
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(Form1Test)
#include "test_form1.moc"
