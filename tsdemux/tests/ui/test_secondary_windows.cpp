#include "WindowTestKit.h"

#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "Texts.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace kestrune;
using namespace kestrune::testkit;

namespace {

QLineEdit* box(QWidget* window, const char* name) {
    return child<QLineEdit>(window, name);
}

} // namespace

// The demux mode, file chooser, keyword and character table windows.
class SecondaryWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Kit> kit;

    // Shows a window and waits until it is on screen.
    static void showWindow(QWidget& window) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

  private Q_SLOTS:
    void init() {
        kit = std::make_unique<Kit>();
        QVERIFY(kit->dir.isValid());
    }
    void cleanup() { kit.reset(); }

    void mainWindowButtonsOpenModalWindowsItOwns_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::newRow("demux modes") << "Command10"
                                     << "Form2" << text::Form2_Title;
        QTest::newRow("file chooser") << "Command2"
                                      << "Form3" << text::Form3_Title;
        QTest::newRow("keywords") << "Command12"
                                  << "Form4" << text::Form4_Title;
        QTest::newRow("character table") << "Command13"
                                         << "Form5" << text::Form5_Title;
    }
    void mainWindowButtonsOpenModalWindowsItOwns() {
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QString, title);
        kit->settings.set(slot::Mode, QStringLiteral("0")); // shows the keyword button
        Form1 form(kit->settings, kit->keywords, kit->watch, kit->launcher, kit->dialogs);
        showWindow(form);
        if (button == QStringLiteral("Command2"))
            QTest::mouseClick(child<QRadioButton>(&form, "Option2"), Qt::LeftButton);
        QString seenTitle;
        QWidget* owner = nullptr;
        const QByteArray name = button.toLatin1();
        const QString opened = withModal(&form, name.constData(), [&](QWidget* modal) {
            seenTitle = modal->windowTitle();
            owner = modal->parentWidget();
            modal->close();
        });
        QCOMPARE(opened, window);
        QCOMPARE(seenTitle, title);
        QCOMPARE(owner, &form);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void demuxWindowShowsTheSlots() {
        kit->settings.set(slot::DemuxKind, DemuxAudio);
        kit->settings.set(slot::AudioMode, QStringLiteral("3"));
        kit->settings.set(slot::AudioEs, QStringLiteral("1"));
        kit->settings.set(slot::Rf64, QStringLiteral("1"));
        kit->settings.set(slot::Descramble, QStringLiteral("0"));
        kit->settings.set(slot::CheckInterval, QStringLiteral("90"));
        Form2 window(kit->settings, kit->dialogs);
        QVERIFY(child<QRadioButton>(&window, "Option3")->isChecked());
        QCOMPARE(child<QRadioButton>(&window, "Option3")->text(), DemuxAudio);
        QVERIFY(child<QRadioButton>(&window, "Option7")->isChecked());
        QVERIFY(child<QRadioButton>(&window, "Option10")->isChecked());
        QVERIFY(child<QCheckBox>(&window, "Check1")->isChecked());
        QVERIFY(!child<QCheckBox>(&window, "Check2")->isChecked());
        QVERIFY(!child<QCheckBox>(&window, "Check3")->isChecked());
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("90"));
    }

    void demuxWindowStoresAndSavesOnOk() {
        Form2 window(kit->settings, kit->dialogs);
        showWindow(window);
        click(&window, "Option2");
        click(&window, "Option8");
        click(&window, "Option11");
        click(&window, "Check2");
        click(&window, "Check3"); // descrambling off
        box(&window, "Text1")->setText(QStringLiteral("45"));
        click(&window, "Command1");
        QVERIFY(!window.isVisible());
        QCOMPARE(kit->settings.text(slot::DemuxKind), DemuxVideo);
        QCOMPARE(kit->settings.text(slot::AudioMode), QStringLiteral("4"));
        QCOMPARE(kit->settings.text(slot::AudioEs), QStringLiteral("2"));
        QCOMPARE(kit->settings.text(slot::Rf64), QStringLiteral("0"));
        QCOMPARE(kit->settings.text(slot::FrameCompletion), QStringLiteral("1"));
        QCOMPARE(kit->settings.text(slot::Descramble), QStringLiteral("0"));
        QCOMPARE(kit->settings.text(slot::CheckInterval), QStringLiteral("45"));
        const QList<QByteArray> lines = Kit::readFile(kit->path(SettingsFileName)).split('\n');
        QCOMPARE(lines.value(5), QByteArray("Demux(m2v)\r"));
        QCOMPARE(lines.value(10), QByteArray("0\r"));
        QCOMPARE(lines.value(11), QByteArray("45\r"));
    }

    void demuxWindowIntervalBounds_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("result"); // slot 12 when accepted, the box when not
        QTest::newRow("19.5 accepted as 20") << "19.5" << true << "20";
        QTest::newRow("300.5 accepted as 300") << "300.5" << true << "300";
        QTest::newRow("300.6 rejected") << "300.6" << false << "300";
        QTest::newRow("19 rejected") << "19" << false << "20";
        QTest::newRow("text rejected") << "abc" << false << "20";
    }
    void demuxWindowIntervalBounds() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, result);
        Form2 window(kit->settings, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(typed);
        click(&window, "Command1");
        if (accepted) {
            QVERIFY(kit->messages().isEmpty());
            QVERIFY(!window.isVisible());
            QCOMPARE(kit->settings.text(slot::CheckInterval), result);
            QVERIFY(QFile::exists(kit->path(SettingsFileName)));
        } else {
            QCOMPARE(kit->messages(), QStringList{text::InputErrorTitle + u'|' + text::Form2_RangeText});
            QVERIFY(window.isVisible());
            QCOMPARE(box(&window, "Text1")->text(), result);
            QCOMPARE(kit->settings.text(slot::CheckInterval), QStringLiteral("120"));
            QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
        }
    }

    void demuxWindowClosedByItsFrameKeepsNothing() {
        Form2 window(kit->settings, kit->dialogs);
        showWindow(window);
        click(&window, "Option3");
        click(&window, "Check3");
        box(&window, "Text1")->setText(QStringLiteral("60"));
        window.close();
        QCOMPARE(kit->settings.text(slot::DemuxKind), DemuxBoth);
        QCOMPARE(kit->settings.text(slot::Descramble), QStringLiteral("1"));
        QCOMPARE(kit->settings.text(slot::CheckInterval), QStringLiteral("120"));
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    void demuxWindowThatCannotSaveKeepsTheOldSlots() {
        const QString missing = kit->path(QStringLiteral("gone"));
        kit->settings.set(slot::ProgramFolder, missing);
        Form2 window(kit->settings, kit->dialogs);
        showWindow(window);
        click(&window, "Option3");
        click(&window, "Command1");
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].title, text::ErrorTitle);
        QVERIFY(kit->dialogs.shown[0].text.contains(chain::joinPath(missing, SettingsFileName)));
        QCOMPARE(kit->settings.text(slot::DemuxKind), DemuxBoth);
        QVERIFY(window.isVisible());
    }

    void chooserListsTsFilesInNameOrder() {
        for (const char* name : {"b.ts", "a.TS", "c.m2v"})
            Kit::writeFile(kit->path(QString::fromUtf8(name)));
        Form3 window(kit->dir.path());
        QCOMPARE(child<QLabel>(&window, "Label1")->text(), kit->dir.path());
        QCOMPARE(rowsOf(child<QListWidget>(&window, "List1")),
                 (QStringList{QStringLiteral("a.TS"), QStringLiteral("b.ts")}));
    }

    void chooserHandsBackMarkedRowsOnOkOnly_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("leave"); // "ok", "cancel" or "close"
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("second and fourth")
            << QList<int>{1, 3} << "ok" << QStringList{QStringLiteral("2.ts"), QStringLiteral("4.ts")};
        QTest::newRow("clicked twice is unmarked") << QList<int>{0, 0} << "ok" << QStringList{};
        QTest::newRow("cancel") << QList<int>{1} << "cancel" << QStringList{};
        QTest::newRow("close box") << QList<int>{1} << "close" << QStringList{};
    }
    void chooserHandsBackMarkedRowsOnOkOnly() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, leave);
        QFETCH(QStringList, chosen);
        for (const char* name : {"1.ts", "2.ts", "3.ts", "4.ts"})
            Kit::writeFile(kit->path(QString::fromUtf8(name)));
        Form3 window(kit->dir.path());
        showWindow(window);
        for (int row : clicks)
            clickRow(child<QListWidget>(&window, "List1"), row);
        if (leave == QStringLiteral("ok"))
            click(&window, "Command1");
        else if (leave == QStringLiteral("cancel"))
            click(&window, "Command2");
        else
            window.close();
        QVERIFY(!window.isVisible());
        QCOMPARE(window.chosen(), chosen);
    }

    void chooserOkOnAFolderWithoutTsFilesIsACancel() {
        Form3 window(kit->dir.path());
        showWindow(window);
        click(&window, "Command1");
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(window.chosen().isEmpty());
    }

    void keywordWindowAddsBelowTheSelectedRow() {
        kit->keywords.setEntries({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        auto* list = child<QListWidget>(&window, "List1");
        QCOMPARE(list->selectedItems().size(), 0);
        QCOMPARE(box(&window, "Text1")->text(), QString());
        box(&window, "Text1")->setText(QStringLiteral("X"));
        click(&window, "Command1"); // no row selected: to the top, nothing selected
        QCOMPARE(rowsOf(list), (QStringList{QStringLiteral("X"), QStringLiteral("A"), QStringLiteral("B"),
                                            QStringLiteral("C")}));
        QCOMPARE(list->selectedItems().size(), 0);
        clickRow(list, 1); // A, copied into the entry box
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("A"));
        box(&window, "Text1")->setText(QStringLiteral("Y"));
        click(&window, "Command1");
        QCOMPARE(rowsOf(list), (QStringList{QStringLiteral("X"), QStringLiteral("A"), QStringLiteral("Y"),
                                            QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(list->selectedItems().value(0), list->item(2));
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("Y"));
        QVERIFY(kit->messages().isEmpty());
        QCOMPARE(kit->keywords.count(), 3); // nothing kept before "OK"
    }

    // A click on the row already selected copies it into the entry box again.
    void keywordWindowClickOnTheSelectedRowCopiesItAgain() {
        kit->keywords.setEntries({QStringLiteral("A"), QStringLiteral("B")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        auto* list = child<QListWidget>(&window, "List1");
        clickRow(list, 1);
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("B"));
        box(&window, "Text1")->setText(QStringLiteral("typed"));
        clickRow(list, 1);
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("B"));
    }

    void keywordWindowRefusesDuplicates() {
        kit->keywords.setEntries({QStringLiteral("ドラマ")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(QStringLiteral(" ドラマ"));
        click(&window, "Command1");
        QCOMPARE(kit->messages(), QStringList{text::DuplicateTitle + u'|' + text::DuplicateText});
        clickRow(child<QListWidget>(&window, "List1"), 0);
        click(&window, "Command2"); // change to its own text
        QCOMPARE(kit->messages().size(), 2);
        QCOMPARE(rowsOf(child<QListWidget>(&window, "List1")), QStringList{QStringLiteral("ドラマ")});
    }

    void keywordWindowEditsRows() {
        kit->keywords.setEntries({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        auto* list = child<QListWidget>(&window, "List1");
        clickRow(list, 0);
        click(&window, "Command4"); // up on the first row: nothing
        click(&window, "Command5");
        QCOMPARE(rowsOf(list), (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C")}));
        QCOMPARE(list->currentRow(), 1);
        box(&window, "Text1")->setText(QStringLiteral(" Z "));
        click(&window, "Command2");
        QCOMPARE(rowsOf(list), (QStringList{QStringLiteral("B"), QStringLiteral("Z"), QStringLiteral("C")}));
        click(&window, "Command3");
        QCOMPARE(rowsOf(list), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
        QCOMPARE(list->selectedItems().size(), 0);
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral(" Z "));
    }

    void keywordWindowOkWritesTheFile() {
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        for (const QString& keyword : {QStringLiteral("A"), QStringLiteral("B")}) {
            box(&window, "Text1")->setText(keyword);
            click(&window, "Command1");
        }
        click(&window, "Command6");
        QVERIFY(!window.isVisible());
        QCOMPARE(Kit::readFile(kit->path(KeywordFileName)), QByteArray("A\r\nB\r\n"));
        QCOMPARE(kit->keywords.items(),
                 (QStringList{QStringLiteral("2"), QStringLiteral("A"), QStringLiteral("B")}));
    }

    void keywordWindowOkOnAnEmptyListAsksBeforeDeleting_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void keywordWindowOkOnAnEmptyListAsksBeforeDeleting() {
        QFETCH(bool, yes);
        Kit::writeFile(kit->path(KeywordFileName), "A\r\n");
        kit->keywords.setEntries({QStringLiteral("A")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        clickRow(child<QListWidget>(&window, "List1"), 0);
        click(&window, "Command3");
        kit->dialogs.answers.enqueue(yes);
        click(&window, "Command6");
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].kind, chain::RecordingDialogs::Shown::Kind::Question);
        QCOMPARE(kit->messages(), QStringList{text::DeleteKeywordsTitle + u'|' + text::DeleteKeywordsText});
        QCOMPARE(window.isVisible(), !yes);
        QCOMPARE(QFile::exists(kit->path(KeywordFileName)), !yes);
        QCOMPARE(kit->keywords.count(), yes ? 0 : 1);
    }

    void keywordWindowCancelKeepsNothing() {
        kit->keywords.setEntries({QStringLiteral("A")});
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(QStringLiteral("B"));
        click(&window, "Command1");
        click(&window, "Command7");
        QVERIFY(!window.isVisible());
        QCOMPARE(kit->keywords.entries(), QStringList{QStringLiteral("A")});
        QVERIFY(!QFile::exists(kit->path(KeywordFileName)));
    }

    void keywordWindowThatCannotWriteKeepsTheList() {
        const QString missing = kit->path(QStringLiteral("gone"));
        kit->settings.set(slot::ProgramFolder, missing);
        Form4 window(kit->settings, kit->keywords, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(QStringLiteral("A"));
        click(&window, "Command1");
        click(&window, "Command6");
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].title, text::ErrorTitle);
        QVERIFY(kit->dialogs.shown[0].text.contains(chain::joinPath(missing, KeywordFileName)));
        QVERIFY(window.isVisible());
        QCOMPARE(kit->keywords.count(), 0);
    }

    void charTableWindowAddsPairs() {
        Form5 window(kit->settings, kit->dialogs);
        showWindow(window);
        QCOMPARE(box(&window, "Text1")->text(), kit->settings.text(slot::BeforeString));
        QCOMPARE(box(&window, "Text2")->text(), kit->settings.text(slot::AfterString));
        QTest::keyClicks(box(&window, "Text3"), QStringLiteral("%&")); // at most one character
        QCOMPARE(box(&window, "Text3")->text(), QStringLiteral("%"));
        box(&window, "Text3")->setText(QStringLiteral("%"));
        click(&window, "Command1"); // the replacement is missing
        QCOMPARE(kit->messages(), QStringList{text::InputErrorTitle + u'|' + text::EmptyCharText});
        QCOMPARE(box(&window, "Text1")->text(), kit->settings.text(slot::BeforeString));
        box(&window, "Text4")->setText(QStringLiteral("\\"));
        click(&window, "Command1");
        QCOMPARE(box(&window, "Text1")->text(), kit->settings.text(slot::BeforeString) + u'%');
        QCOMPARE(box(&window, "Text2")->text(), kit->settings.text(slot::AfterString) + u'\\');
        QCOMPARE(box(&window, "Text3")->text(), QString());
        QCOMPARE(box(&window, "Text4")->text(), QString());
        click(&window, "Command2");
        QVERIFY(window.isVisible());
        QCOMPARE(kit->settings.text(slot::BeforeString), QStringLiteral("!?#&~/.%"));
        QVERIFY(Kit::readFile(kit->path(SettingsFileName)).contains("\"!?#&~/.%\"\r\n"));
    }

    // The boxes that feed one line of a settings file drop line breaks, however they
    // come in (typed text can't hold them; pasted and set text can), and cut nothing.
    void tableAndKeywordBoxesKeepOneLine_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        for (const char* how : {"paste", "set"}) {
            QTest::addRow("before string, %s", how) << "Form5"
                                                    << "Text1" << how;
            QTest::addRow("after string, %s", how) << "Form5"
                                                   << "Text2" << how;
            QTest::addRow("keyword, %s", how) << "Form4"
                                              << "Text1" << how;
        }
    }
    void tableAndKeywordBoxesKeepOneLine() {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, how);
        std::unique_ptr<QDialog> dialog;
        if (window == u"Form5")
            dialog = std::make_unique<Form5>(kit->settings, kit->dialogs);
        else
            dialog = std::make_unique<Form4>(kit->settings, kit->keywords, kit->dialogs);
        showWindow(*dialog);
        QLineEdit* edit = child<QLineEdit>(dialog.get(), box.toLatin1().constData());
        edit->clear();
        const QString pasted = QStringLiteral("ab\r\ncd\ne") + QString(40000, u'x');
        if (how == u"paste") {
            QGuiApplication::clipboard()->setText(pasted);
            edit->paste();
        } else {
            edit->setText(pasted);
        }
        QCOMPARE(edit->text(), QStringLiteral("abcde") + QString(40000, u'x'));
    }

    // A table that holds a line break can't be stored: it would make another table at
    // the next start.
    void charTableWithTheSameLengthsIsStoredAsOneLineEach() {
        Form5 window(kit->settings, kit->dialogs);
        showWindow(window);
        QGuiApplication::clipboard()->setText(QStringLiteral("%\n$"));
        box(&window, "Text1")->selectAll();
        box(&window, "Text1")->paste();
        box(&window, "Text2")->setText(QStringLiteral("\\\r\n_"));
        click(&window, "Command2");
        QVERIFY(kit->messages().isEmpty());
        QCOMPARE(kit->settings.text(slot::BeforeString), QStringLiteral("%$"));
        Settings loaded(SettingsSize);
        loaded.set(slot::ProgramFolder, kit->dir.path());
        QVERIFY(loadSettings(loaded));
        QCOMPARE(loaded.text(slot::BeforeString), QStringLiteral("%$"));
        QCOMPARE(loaded.text(slot::AfterString), QStringLiteral("\\_"));
    }

    // A character outside the BMP is one character to the pair boxes, and one that cp932
    // can't hold is refused by name when the table is stored, never turned into "?".
    void charTablePairOfAWholeEmojiIsRefusedOnStoring() {
        Form5 window(kit->settings, kit->dialogs);
        showWindow(window);
        box(&window, "Text3")->setText(QStringLiteral("😀x"));
        QCOMPARE(box(&window, "Text3")->text(), QStringLiteral("😀"));
        box(&window, "Text4")->setText(QStringLiteral("_"));
        click(&window, "Command1");
        QCOMPARE(box(&window, "Text1")->text(), QStringLiteral("!?#&~/.😀"));
        click(&window, "Command2"); // lengths are equal in characters: stored, but not savable
        QCOMPARE(kit->dialogs.shown.size(), 1);
        QCOMPARE(kit->dialogs.shown[0].title, text::ErrorTitle);
        QVERIFY2(kit->dialogs.shown[0].text.contains(QStringLiteral("「😀」")),
                 qPrintable(kit->dialogs.shown[0].text));
        QCOMPARE(kit->settings.text(slot::BeforeString), QStringLiteral("!?#&~/."));
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    void charTableWindowStoresOnlyEqualLengths() {
        Form5 window(kit->settings, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(QStringLiteral("abc"));
        box(&window, "Text2")->setText(QStringLiteral("xy"));
        click(&window, "Command2");
        QCOMPARE(kit->messages(), QStringList{text::InputErrorTitle + u'|' + text::LengthDiffersText});
        box(&window, "Text2")->clear();
        click(&window, "Command2"); // an empty string: nothing, silently
        QCOMPARE(kit->messages().size(), 1);
        QCOMPARE(kit->settings.text(slot::BeforeString), QStringLiteral("!?#&~/."));
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }

    void charTableWindowCancelKeepsTheStoredTable() {
        Form5 window(kit->settings, kit->dialogs);
        showWindow(window);
        box(&window, "Text1")->setText(QStringLiteral("ab"));
        box(&window, "Text2")->setText(QStringLiteral("xy"));
        click(&window, "Command3");
        QVERIFY(!window.isVisible());
        QCOMPARE(kit->settings.text(slot::BeforeString), QStringLiteral("!?#&~/."));
        QVERIFY(!QFile::exists(kit->path(SettingsFileName)));
    }
};

QTEST_MAIN(SecondaryWindowsTest)
#include "test_secondary_windows.moc"
