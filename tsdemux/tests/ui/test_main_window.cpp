#include "WindowTestKit.h"

#include "Form1.h"
#include "OutputNameRule.h"
#include "Startup.h"
#include "Texts.h"
#include "ui/EventLogView.h"

#include "TestFiles.h"
#include "Translation.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using namespace kestrune;
using namespace kestrune::testkit;

namespace {

enum class Layout { AutoIdle, IndividualIdle, Running };

// Checks the enabled and visible states a layout sets. Running leaves the visibility of
// Check1 and Command12 as the idle layout before it had them.
void expectLayout(Form1& form, Layout layout) {
    const bool individual = layout == Layout::IndividualIdle;
    const bool idle = layout != Layout::Running;
    const char* editable[] = {"Text1",    "Command1", "List1",    "Command2", "Command3",
                              "Command4", "Text2",    "Command9", "Text3",    "Command5",
                              "Text4",    "Command6", "List2",    "Text5"};
    for (const char* name : editable)
        QVERIFY2(child<QWidget>(&form, name)->isEnabled() == individual, name);
    const char* idleOnly[] = {"Check2", "Command13", "Command11", "Command8",
                              "Frame1", "Option1",   "Option2",   "Command10"};
    for (const char* name : idleOnly)
        QVERIFY2(child<QWidget>(&form, name)->isEnabled() == idle, name);
    QCOMPARE(child<QWidget>(&form, "Label8")->isVisible(), !idle);
    QVERIFY(child<QWidget>(&form, "Command7")->isEnabled());
    if (layout == Layout::AutoIdle) {
        QVERIFY(child<QWidget>(&form, "Check1")->isVisible());
        QVERIFY(child<QWidget>(&form, "Check1")->isEnabled());
        QVERIFY(child<QWidget>(&form, "Command12")->isVisible());
        QVERIFY(child<QWidget>(&form, "Command12")->isEnabled());
    } else if (individual) {
        QVERIFY(!child<QWidget>(&form, "Check1")->isVisible());
        QVERIFY(!child<QWidget>(&form, "Command12")->isVisible());
    } else {
        QVERIFY(!child<QWidget>(&form, "Check1")->isEnabled());
        QVERIFY(!child<QWidget>(&form, "Command12")->isEnabled());
    }
}

QColor labelColour(Form1& form) {
    return child<QLabel>(&form, "Label8")->palette().color(QPalette::WindowText);
}

} // namespace

// Kestrune's main window, clicked through on the offscreen platform.
class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Kit> kit;
    std::unique_ptr<Form1> form;
    QString source, after, output;

    // Opens the window on the kit's settings.
    void open(const QStringList& startNotes = {}) {
        form = std::make_unique<Form1>(kit->settings, kit->keywords, kit->watch, kit->launcher, kit->dialogs,
                                       startNotes);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    QListWidget* list(const char* name) { return child<QListWidget>(form.get(), name); }
    QLineEdit* box(const char* name) { return child<QLineEdit>(form.get(), name); }
    QPushButton* button(const char* name) { return child<QPushButton>(form.get(), name); }

    // Source, after-conversion and output folders, set in the settings before opening.
    void useFolders() {
        source = kit->folder(QStringLiteral("rec"));
        after = kit->folder(QStringLiteral("done"));
        output = kit->folder(QStringLiteral("out"));
        kit->settings.set(slot::SourceFolder, source);
        kit->settings.set(slot::AfterFolder, after);
        kit->settings.set(slot::OutputFolder, output);
    }

  private Q_SLOTS:
    void init() {
        kit = std::make_unique<Kit>();
        QVERIFY(kit->dir.isValid());
    }
    void cleanup() {
        form.reset();
        kit.reset();
    }

    void firstStartShowsIndividualModeWithDefaults() {
        open();
        QCOMPARE(form->windowTitle(), text::MainTitle);
        QVERIFY(child<QRadioButton>(form.get(), "Option2")->isChecked());
        for (const char* name : {"Text1", "Text2", "Text3"})
            QCOMPARE(box(name)->text(), kit->dir.path());
        QCOMPARE(box("Text4")->text(), QString());
        QCOMPARE(box("Text5")->text(), QStringLiteral("5"));
        // No two-character limit: it would cut "5.5" to "5." before the 1-60 rule and the
        // whole-number rule see it (intervalBoxKeepsItsRangeAndStoresTheSlot).
        QVERIFY(box("Text5")->maxLength() > 2);
        QVERIFY(child<QCheckBox>(form.get(), "Check2")->isChecked());
        QCOMPARE(button("Command7")->text(), text::Form1_Command7);
        QCOMPARE(form->tag(), QStringLiteral("0"));
        QVERIFY(!form->isTimerArmed());
        expectLayout(*form, Layout::IndividualIdle);
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    void autoModeSettingsStartInAutoLayout() {
        kit->settings.set(slot::Mode, QStringLiteral("0"));
        kit->settings.set(slot::KeywordFilter, QStringLiteral("1"));
        kit->settings.set(slot::CharConversion, QStringLiteral("0"));
        open();
        QVERIFY(child<QRadioButton>(form.get(), "Option1")->isChecked());
        QVERIFY(child<QCheckBox>(form.get(), "Check1")->isChecked());
        QVERIFY(!child<QCheckBox>(form.get(), "Check2")->isChecked());
        expectLayout(*form, Layout::AutoIdle);
    }

    void modeOptionsSwitchLayoutAndSlot() {
        open();
        click(form.get(), "Option1");
        QCOMPARE(kit->settings.text(slot::Mode), QStringLiteral("0"));
        expectLayout(*form, Layout::AutoIdle);
        click(form.get(), "Option2");
        QCOMPARE(kit->settings.text(slot::Mode), QStringLiteral("1"));
        expectLayout(*form, Layout::IndividualIdle);
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    void checkBoxesStoreTheirSlots() {
        open();
        click(form.get(), "Option1");
        click(form.get(), "Check1");
        QCOMPARE(kit->settings.text(slot::KeywordFilter), QStringLiteral("1"));
        click(form.get(), "Check1");
        QCOMPARE(kit->settings.text(slot::KeywordFilter), QStringLiteral("0"));
        click(form.get(), "Check2");
        QCOMPARE(kit->settings.text(slot::CharConversion), QStringLiteral("0"));
        click(form.get(), "Check2");
        QCOMPARE(kit->settings.text(slot::CharConversion), QStringLiteral("1"));
    }

    void loadedIntervalOutOfRangeIsKeptInRange() {
        kit->settings.set(slot::IndividualInterval, QStringLiteral("120"));
        open();
        QCOMPARE(box("Text5")->text(), QStringLiteral("60"));
        QCOMPARE(kit->settings.text(slot::IndividualInterval), QStringLiteral("60"));
    }

    void intervalBoxKeepsItsRangeAndStoresTheSlot_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("75") << "75"
                            << "60";
        QTest::newRow("0") << "0"
                           << "1";
        QTest::newRow("cleared") << ""
                                 << "1";
        QTest::newRow("12") << "12"
                            << "12";
        QTest::newRow("5.5 reaches the rule whole") << "5.5"
                                                    << "5.5";
        QTest::newRow("100 is 60, not 10") << "100"
                                           << "60";
    }
    void intervalBoxKeepsItsRangeAndStoresTheSlot() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        open();
        QLineEdit* text5 = box("Text5");
        text5->selectAll(); // typing replaces the selected text
        if (typed.isEmpty())
            QTest::keyClick(text5, Qt::Key_Backspace);
        else
            QTest::keyClicks(text5, typed);
        QCOMPARE(text5->text(), shown);
        QCOMPARE(kit->settings.text(slot::IndividualInterval), shown);
    }

    void fetchListsTsFilesOfTheSourceFolder() {
        useFolders();
        for (const char* name : {"b.ts", "a.TS", "c.tsv", "news.tsunami.ts"})
            Kit::writeFile(chain::joinPath(source, QString::fromUtf8(name)));
        open();
        click(form.get(), "Command3");
        QCOMPARE(rowsOf(list("List1")), (QStringList{QStringLiteral("a.TS"), QStringLiteral("b.ts"),
                                                     QStringLiteral("news.tsunami.ts")}));
        QCOMPARE(rowsOf(list("List2")),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("news")}));
        QVERIFY(kit->messages().isEmpty());
    }

    void fetchWithoutTsFilesSaysSo() {
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("c.m2v")));
        open();
        click(form.get(), "Command3");
        QCOMPARE(kit->messages(), QStringList{text::NoTsFilesTitle + u'|' + text::NoTsFilesText});
        QCOMPARE(list("List1")->count(), 0);
        QCOMPARE(list("List2")->count(), 0);
    }

    void chooserAddsMarkedFilesNotListedYet() {
        useFolders();
        for (const char* name : {"a.ts", "b.ts", "x.ts.ts"})
            Kit::writeFile(chain::joinPath(source, QString::fromUtf8(name)));
        open();
        click(form.get(), "Command3");
        click(form.get(), "Command4"); // nothing selected: nothing happens
        QCOMPARE(list("List1")->count(), 3);
        clickRow(list("List1"), 1);
        click(form.get(), "Command4"); // drop b.ts
        QCOMPARE(rowsOf(list("List1")), (QStringList{QStringLiteral("a.ts"), QStringLiteral("x.ts.ts")}));
        QCOMPARE(box("Text4")->text(), QString());

        const QString opened = withModal(form.get(), "Command2", [](QWidget* chooser) {
            auto* rows = child<QListWidget>(chooser, "List1");
            for (int row = 0; row < rows->count(); ++row)
                clickRow(rows, row); // mark all three
            click(chooser, "Command1");
        });
        QCOMPARE(opened, QStringLiteral("Form3"));
        QCOMPARE(rowsOf(list("List1")),
                 (QStringList{QStringLiteral("a.ts"), QStringLiteral("x.ts.ts"), QStringLiteral("b.ts")}));
        QCOMPARE(rowsOf(list("List2")),
                 (QStringList{QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("b")}));
    }

    void chooserCancelAddsNothing() {
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        open();
        withModal(form.get(), "Command2", [](QWidget* chooser) {
            clickRow(child<QListWidget>(chooser, "List1"), 0);
            click(chooser, "Command2");
        });
        QCOMPARE(list("List1")->count(), 0);
    }

    void selectingARowSelectsItsPartnerAndShowsTheOutputName() {
        useFolders();
        for (const char* name : {"a.ts", "b.ts"})
            Kit::writeFile(chain::joinPath(source, QString::fromUtf8(name)));
        open();
        click(form.get(), "Command3");
        clickRow(list("List2"), 1);
        QCOMPARE(list("List1")->currentRow(), 1);
        QCOMPARE(box("Text4")->text(), QStringLiteral("b"));
        clickRow(list("List1"), 0);
        QCOMPARE(list("List2")->currentRow(), 0);
        QCOMPARE(box("Text4")->text(), QStringLiteral("a"));
        // A click on the row already selected shows its output name again.
        box("Text4")->setText(QStringLiteral("edited"));
        clickRow(list("List1"), 0);
        QCOMPARE(box("Text4")->text(), QStringLiteral("a"));
        box("Text4")->setText(QStringLiteral("edited"));
        clickRow(list("List2"), 0);
        QCOMPARE(box("Text4")->text(), QStringLiteral("a"));
    }

    void renameWritesOnlyAcceptedNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // "title|text", empty when accepted
        const QString forbidden = text::InputErrorTitle + u'|' + ForbiddenOutputChars + text::ForbiddenTail;
        QTest::newRow("colon") << "a:b" << forbidden;
        QTest::newRow("double quote") << "a\"b" << forbidden;
        QTest::newRow("several forbidden, one message") << "a:b*c" << forbidden;
        QTest::newRow("blanks only") << "   " << text::EmptyNameTitle + u'|' + text::EmptyNameText;
        QTest::newRow("leading blank kept") << " 番組" << QString();
    }
    void renameWritesOnlyAcceptedNames() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        open();
        click(form.get(), "Command3");
        clickRow(list("List1"), 0);
        box("Text4")->setText(typed);
        click(form.get(), "Command6");
        if (message.isEmpty()) {
            QVERIFY(kit->messages().isEmpty());
            QCOMPARE(rowsOf(list("List2")), QStringList{typed});
        } else {
            QCOMPARE(kit->messages(), QStringList{message});
            QCOMPARE(rowsOf(list("List2")), QStringList{QStringLiteral("a")});
        }
        QCOMPARE(rowsOf(list("List1")), QStringList{QStringLiteral("a.ts")});
    }

    void renameWithoutSelectionDoesNothing() {
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        open();
        click(form.get(), "Command3");
        box("Text4")->setText(QStringLiteral("   "));
        click(form.get(), "Command6");
        QVERIFY(kit->messages().isEmpty());
        QCOMPARE(rowsOf(list("List2")), QStringList{QStringLiteral("a")});
    }

    void sourceFolderChoiceEmptiesTheLists() {
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        const QString chosen = kit->folder(QStringLiteral("other"));
        open();
        click(form.get(), "Command3");
        clickRow(list("List1"), 0);
        kit->dialogs.folders.enqueue(chosen);
        click(form.get(), "Command1");
        QCOMPARE(box("Text1")->text(), chosen);
        QCOMPARE(kit->settings.text(slot::SourceFolder), chosen);
        QCOMPARE(kit->settings.text(slot::FolderChoiceName),
                 chain::joinPath(source, text::FolderChoiceTitle));
        QCOMPARE(kit->dialogs.shown.last().title, text::FolderChoiceTitle);
        QCOMPARE(list("List1")->count(), 0);
        QCOMPARE(list("List2")->count(), 0);
        QCOMPARE(box("Text4")->text(), QString());
    }

    void otherFolderChoicesKeepTheLists() {
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        const QString chosen = kit->folder(QStringLiteral("other"));
        open();
        // The folder buttons are the way to change these two: a path typed in the box
        // would be shown while the setting stayed as it was.
        for (const char* name : {"Text2", "Text3"}) {
            box(name)->setFocus();
            QTest::keyClicks(box(name), QStringLiteral("/typed"));
        }
        QCOMPARE(box("Text2")->text(), after);
        QCOMPARE(box("Text3")->text(), output);
        click(form.get(), "Command3");
        kit->dialogs.folders.enqueue(chosen);
        click(form.get(), "Command9");
        QCOMPARE(box("Text2")->text(), chosen);
        QCOMPARE(kit->settings.text(slot::AfterFolder), chosen);
        kit->dialogs.folders.enqueue(std::nullopt); // cancel
        click(form.get(), "Command5");
        QCOMPARE(box("Text3")->text(), output);
        QCOMPARE(kit->settings.text(slot::OutputFolder), output);
        kit->dialogs.folders.enqueue(output); // confirmed unchanged
        click(form.get(), "Command5");
        QCOMPARE(box("Text3")->text(), output);
        QCOMPARE(list("List1")->count(), 1);
    }

    void startIsRefusedWithAnEmptyListInIndividualMode() {
        open();
        click(form.get(), "Command7");
        QCOMPARE(button("Command7")->text(), text::Form1_Command7);
        QCOMPARE(form->tag(), QStringLiteral("0"));
        QVERIFY(!form->isTimerArmed());
        QVERIFY(kit->launcher.started.isEmpty());
    }

    // A blank folder would mean the root: the start is refused with a box naming it.
    void startIsRefusedWhileAFolderSettingIsEmpty_data() {
        QTest::addColumn<bool>("autoMode");
        QTest::addColumn<int>("folderSlot"); // -1: the source folder box
        QTest::addColumn<QString>("named");
        QTest::newRow("source folder box") << false << -1 << text::Form1_Label1;
        QTest::newRow("source folder (auto)") << true << int(slot::SourceFolder) << text::Form1_Label1;
        QTest::newRow("after-conversion folder") << false << int(slot::AfterFolder) << text::Form1_Label7;
        QTest::newRow("output folder") << true << int(slot::OutputFolder) << text::Form1_Label3;
    }
    void startIsRefusedWhileAFolderSettingIsEmpty() {
        QFETCH(bool, autoMode);
        QFETCH(int, folderSlot);
        QFETCH(QString, named);
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        if (autoMode)
            kit->settings.set(slot::Mode, QStringLiteral("0"));
        open();
        if (!autoMode)
            click(form.get(), "Command3");
        if (folderSlot < 0)
            box("Text1")->clear();
        else
            kit->settings.set(folderSlot, QString());
        click(form.get(), "Command7");
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].title, text::InputErrorTitle);
        QVERIFY2(kit->dialogs.shown[0].text.contains(named), qPrintable(kit->dialogs.shown[0].text));
        QCOMPARE(form->tag(), QStringLiteral("0"));
        QCOMPARE(button("Command7")->text(), text::Form1_Command7);
        QVERIFY(!form->isTimerArmed());
        expectLayout(*form, autoMode ? Layout::AutoIdle : Layout::IndividualIdle);
    }

    void individualRunConvertsTheListAndStopsByItself() {
        useFolders();
        for (const char* name : {"a.ts", "b.ts"})
            Kit::writeFile(chain::joinPath(source, QString::fromUtf8(name)));
        // The demuxer runs, and its outputs appear, as it is started.
        kit->launcher.onStart = [this](const QString& commandLine) {
            kit->watch.setRunning(DemuxerName, true);
            for (const char* base : {"a", "b"}) {
                if (commandLine.contains(chain::joinPath(output, QString::fromUtf8(base)) + u'"')) {
                    Kit::writeFile(chain::joinPath(output, QString::fromUtf8(base) + QStringLiteral(".m2v")));
                    Kit::writeFile(chain::joinPath(output, QString::fromUtf8(base) + QStringLiteral(".wav")));
                }
            }
        };
        open();
        click(form.get(), "Command3");
        clickRow(list("List1"), 0);
        click(form.get(), "Command7");
        QCOMPARE(button("Command7")->text(), text::Form1_Command7_Running);
        QCOMPARE(form->tag(), QStringLiteral("1"));
        QVERIFY(form->isTimerArmed());
        QCOMPARE(labelColour(*form), QColor(192, 64, 0));
        QCOMPARE(box("Text4")->text(), QString());
        QCOMPARE(list("List1")->selectedItems().size(), 0);
        expectLayout(*form, Layout::Running);

        form->Timer1_Timer(); // launches a.ts
        QCOMPARE(kit->launcher.started.size(), 1);
        kit->watch.setRunning(DemuxerName, true);
        form->Timer1_Timer(); // still busy
        QCOMPARE(kit->launcher.started.size(), 1);
        kit->watch.runningNames.clear();
        form->Timer1_Timer(); // a.ts done and moved, b.ts launched
        QCOMPARE(kit->launcher.started.size(), 2);
        QVERIFY(QFile::exists(chain::joinPath(after, QStringLiteral("a.ts"))));
        QCOMPARE(rowsOf(list("List1")), QStringList{QStringLiteral("b.ts")});
        expectLayout(*form, Layout::Running);

        kit->watch.runningNames.clear();
        form->Timer1_Timer(); // b.ts done: the engine stops by itself
        QVERIFY(QFile::exists(chain::joinPath(after, QStringLiteral("b.ts"))));
        QCOMPARE(button("Command7")->text(), text::Form1_Command7);
        QCOMPARE(form->tag(), QStringLiteral("0"));
        QVERIFY(!form->isTimerArmed());
        QCOMPARE(list("List1")->count(), 0);
        QCOMPARE(list("List2")->count(), 0);
        expectLayout(*form, Layout::IndividualIdle);

        // The event log shows the start, the runs and the end, each with its time.
        auto* log = child<chain::EventLogView>(form.get(), "EventLog");
        QVERIFY(log->count() >= 4);
        const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\S"));
        for (int i = 0; i < log->count(); ++i)
            QVERIFY2(stamped.match(log->item(i)->text()).hasMatch(), qPrintable(log->item(i)->text()));
    }

    // While the engine runs, a check that adds or removes a row changes only that row:
    // the items of the others stay (a large folder is not laid out again at every check).
    void runningListsChangeOnlyTheRowsThatChanged() {
        useFolders();
        kit->settings.set(slot::Mode, QStringLiteral("0"));
        kit->settings.set(slot::CheckInterval, QStringLiteral("1"));
        for (const char* name : {"a.ts", "b.ts", "c.ts"})
            QVERIFY(QFile(chain::joinPath(source, QString::fromLatin1(name)))
                        .open(QIODevice::WriteOnly)); // empty: waits
        open();
        click(form.get(), "Command7");
        QCOMPARE(rowsOf(list("List1")), (QStringList{"a.ts", "b.ts", "c.ts"}));
        QListWidgetItem* const first = list("List1")->item(0);
        QListWidgetItem* const last = list("List2")->item(2);

        QVERIFY(QFile::remove(chain::joinPath(source, QStringLiteral("b.ts"))));
        form->Timer1_Timer(); // b.ts is gone: passed over
        QCOMPARE(rowsOf(list("List1")), (QStringList{"a.ts", "c.ts"}));
        QCOMPARE(rowsOf(list("List2")), (QStringList{"a", "c"}));
        QVERIFY(QFile(chain::joinPath(source, QStringLiteral("d.ts"))).open(QIODevice::WriteOnly));
        form->Timer1_Timer(); // d.ts comes
        QCOMPARE(rowsOf(list("List1")), (QStringList{"a.ts", "c.ts", "d.ts"}));
        QCOMPARE(rowsOf(list("List2")), (QStringList{"a", "c", "d"}));
        QCOMPARE(list("List1")->item(0), first);
        QCOMPARE(list("List2")->item(1), last);
    }

    void stopReturnsToTheIdleLayoutOfTheMode_data() {
        QTest::addColumn<bool>("autoMode");
        QTest::newRow("auto") << true;
        QTest::newRow("individual") << false;
    }
    void stopReturnsToTheIdleLayoutOfTheMode() {
        QFETCH(bool, autoMode);
        useFolders();
        Kit::writeFile(chain::joinPath(source, QStringLiteral("a.ts")));
        open();
        if (autoMode) {
            click(form.get(), "Option1");
        } else {
            click(form.get(), "Command3");
        }
        click(form.get(), "Command7");
        QCOMPARE(form->tag(), QStringLiteral("1"));
        QCOMPARE(labelColour(*form), autoMode ? QColor(255, 0, 255) : QColor(192, 64, 0));
        expectLayout(*form, Layout::Running);
        click(form.get(), "Command7");
        QCOMPARE(form->tag(), QStringLiteral("0"));
        QCOMPARE(button("Command7")->text(), text::Form1_Command7);
        QVERIFY(!form->isTimerArmed());
        expectLayout(*form, autoMode ? Layout::AutoIdle : Layout::IndividualIdle);
        QVERIFY(kit->launcher.started.isEmpty());
        QVERIFY(!form->engine().isRunning());
    }

    void rememberSavesTheSettingsFile() {
        open();
        click(form.get(), "Option1");
        click(form.get(), "Command11");
        QVERIFY(kit->messages().isEmpty());
        const QByteArray saved = Kit::readFile(kit->path(SettingsFileName));
        QVERIFY(saved.startsWith("0\r\n"));
    }

    void rememberThatCannotWriteNamesTheFile() {
        const QString missing = kit->path(QStringLiteral("gone"));
        kit->settings.set(slot::ProgramFolder, missing);
        open();
        click(form.get(), "Command11");
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].title, text::ErrorTitle);
        QVERIFY(kit->dialogs.shown[0].text.contains(chain::joinPath(missing, SettingsFileName)));
    }

    void cancelClosesTheWindowWithoutSaving() {
        open();
        click(form.get(), "Command8");
        QVERIFY(!form->isVisible());
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    // What start-up could not use is told in the event log as the window opens.
    void startUpNotesOpenTheEventLog() {
        Kit::writeFile(kit->path(QStringLiteral("BonTsDemux.exe")));
        Kit::writeFile(kit->path(KeywordFileName), QStringLiteral("ドラマ\r\n").toUtf8()); // UTF-8, not cp932
        QStringList notes;
        QVERIFY(startUp(kit->dir.path(), kit->settings, kit->keywords, kit->dialogs, &notes));
        open(notes);
        auto* log = child<chain::EventLogView>(form.get(), "EventLog");
        QCOMPARE(log->count(), 1);
        QVERIFY2(log->item(0)->text().contains(KeywordFileName), qPrintable(log->item(0)->text()));
        QVERIFY(kit->dialogs.shown.isEmpty());
        // The note, longer than the window is wide, wraps within the pane.
        form->resize(400, form->height());
        QTest::qWait(0);
        const QRect line = log->visualItemRect(log->item(0));
        QVERIFY2(line.right() <= log->viewport()->width(), qPrintable(QString::number(line.width())));
        QVERIFY(line.height() >= 2 * log->fontMetrics().lineSpacing());
    }

    void eventLogKeepsTheLastThousandLines() {
        chain::EventLogView log;
        for (int i = 0; i < 1005; ++i)
            log.addLine(QString::number(i), QTime(1, 2, 3));
        QCOMPARE(log.count(), chain::EventLogView::MaxLines);
        QCOMPARE(log.item(0)->text(), QStringLiteral("01:02:03 5"));
        QCOMPARE(log.item(999)->text(), QStringLiteral("01:02:03 1004"));
    }

    // Qt's own texts (the edit boxes' context menus, the folder dialog) come out in
    // Japanese once the program has loaded Qt's translation, as both programs do.
    void qtOwnTextsAreJapanese() {
        QVERIFY2(chain::loadJapaneseTranslation(*qApp), "qtbase_ja is not installed (qt6-translations-l10n)");
        open();
        std::unique_ptr<QMenu> menu(box("Text1")->createStandardContextMenu());
        QStringList actions;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator())
                actions << action->text().section(u'\t', 0, 0); // without the shortcut
        }
        QVERIFY2(actions.contains(QStringLiteral("元に戻す(&U)")), qPrintable(actions.join(u'|')));
        QVERIFY2(actions.contains(QStringLiteral("すべてを選択")), qPrintable(actions.join(u'|')));
        QFileDialog dialog(form.get());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        QVERIFY(lookIn);
        QVERIFY2(!lookIn->text().contains(QStringLiteral("Look in")), qPrintable(lookIn->text()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
