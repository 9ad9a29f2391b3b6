// The window Form1: its controls driven as a user would, boxes answered by RecordingDialogs.

#include "FolderTime.h"
#include "Form1.h"
#include "PreviewModel.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "Texts.h"
#include "ui/WidgetDialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tassik;
using chain::testing::readFile;
using namespace Qt::StringLiterals;

namespace {
void createFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
    }
}

// The preview rows as "present → proposed", for comparing in one go.
QStringList previewRows(const QAbstractItemModel* model) {
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString() + u" → "_s + model->index(r, 1).data().toString();
    return rows;
}

// Dialogs that let the test look at the window while a question is open.
struct PeekingDialogs : chain::RecordingDialogs {
    bool question(const QString& title, const QString& text) override {
        if (onQuestion)
            onQuestion();
        return RecordingDialogs::question(title, text);
    }
    std::function<void()> onQuestion;
};

PreviewStatus rowStatus(const QAbstractItemModel* model, int row) {
    return static_cast<PreviewStatus>(model->index(row, 0).data(PreviewModel::StatusRole).toInt());
}
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void startsWithCaptionsAndLoadedSettings();
    void addSaveAndPreviewFollowTheTable();
    void addWithAnEmptyCharacterComplains();
    void folderChoiceSetsFolderAndPreview();
    void startRefusesCyclicTableAndKeepsRunning();
    void startRenamesThenAsksToQuit();
    void startReportsKeptFilesBeforeQuitting();
    void cancelAsksToQuit();
    void entryBoxesHoldOneWholeCharacter();
    void longTableIsNeitherCutNorSavedCut();
    void previewUsesTheRunsTestForNewNames();
    void previewColumnsAreTheUsersAndShowWholeNames();
    void previewFollowsTheFolder();
    void failureBoxKeepsItsListInTheDetails();
    void unusableSettingsAreToldAboveThePreview();
    void undoShowsItsPreviewThenNamesTheBatchBack();

  private:
    template <typename T> T* find(const QString& name) {
        T* widget = m_form->findChild<T*>(name);
        if (!widget)
            qFatal("control %s is missing", qPrintable(name));
        return widget;
    }
    void click(const QString& button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void type(const QString& box, const QString& text) {
        find<QLineEdit>(box)->clear();
        QTest::keyClicks(find<QLineEdit>(box), text);
    }
    const QAbstractItemModel* preview() { return find<QTableView>(u"PreviewList"_s)->model(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    chain::RecordingDialogs m_dialogs;
    std::unique_ptr<Form1> m_form;
};

void Form1Test::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_form.reset();
    m_dialogs = {};
}

void Form1Test::startsWithCaptionsAndLoadedSettings() {
    QFile settings(m_dir->filePath(text::settingsFileName()));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("  /nowhere/rec \r\n\" !\"\r\n\"_\\\"\r\n");
    settings.close();
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());

    QCOMPARE(m_form->windowTitle(), u"Tassik"_s);
    QCOMPARE(find<QLabel>(u"Label1"_s)->text(), text::folderLabel());
    QCOMPARE(find<QLabel>(u"Label6"_s)->text(), u"\\=削除"_s);
    QCOMPARE(find<QPushButton>(u"Command1"_s)->text(), u"Add"_s);
    QCOMPARE(find<QPushButton>(u"Command2"_s)->text(), text::startButton());
    QCOMPARE(find<QLineEdit>(u"Text1"_s)->text(), u"/nowhere/rec"_s);
    QCOMPARE(find<QLineEdit>(u"Text2"_s)->text(), u" !"_s);
    QCOMPARE(find<QLineEdit>(u"Text3"_s)->text(), u"_\\"_s);
    QCOMPARE(find<QLineEdit>(u"Text4"_s)->text(), QString());
    QCOMPARE(find<QLineEdit>(u"Text5"_s)->text(), QString());
    QTest::keyClicks(find<QLineEdit>(u"Text4"_s), u"ab"_s); // at most one character
    QCOMPARE(find<QLineEdit>(u"Text4"_s)->text(), u"a"_s);
    // The folder doesn't exist: the preview says so and lists nothing.
    QVERIFY(find<QLabel>(u"PreviewNote"_s)->text().contains(u"/nowhere/rec"_s));
    QCOMPARE(preview()->rowCount(), 0);
}

void Form1Test::addSaveAndPreviewFollowTheTable() {
#ifdef Q_OS_WIN
    QSKIP("Its names hold \"?\", which Windows can't");
#endif
    createFiles(m_dir->path(), {u"a!b?.ts"_s, u"ab.ts"_s, u"c.TS"_s, u"a?b.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QCOMPARE(previewRows(preview()), (QStringList{u"a!b?.ts → a!b?.ts"_s, u"a?b.ts → a?b.ts"_s,
                                                  u"ab.ts → ab.ts"_s, u"c.TS → c.TS"_s}));

    type(u"Text4"_s, u"!"_s);
    type(u"Text5"_s, u"\\"_s);
    click(u"Command5"_s);
    type(u"Text4"_s, u"?"_s);
    type(u"Text5"_s, u"_"_s);
    click(u"Command5"_s);
    QCOMPARE(find<QLineEdit>(u"Text2"_s)->text(), u"!?"_s);
    QCOMPARE(find<QLineEdit>(u"Text3"_s)->text(), u"\\_"_s);
    QCOMPARE(find<QLineEdit>(u"Text4"_s)->text(), u"?"_s); // the entry boxes keep their characters

    QTRY_COMPARE(previewRows(preview()), (QStringList{u"a!b?.ts → ab_.ts"_s, u"a?b.ts → a_b.ts"_s,
                                                      u"ab.ts → ab.ts"_s, u"c.TS → c.TS"_s}));
    QCOMPARE(rowStatus(preview(), 0), PreviewStatus::Renamed);
    QCOMPARE(rowStatus(preview(), 2), PreviewStatus::Unchanged);
    QVERIFY(preview()->index(2, 1).data(Qt::ForegroundRole).isValid()); // greyed
    QVERIFY(!preview()->index(0, 1).data(Qt::ForegroundRole).isValid());

    // Deleting "?" too makes a?b.ts aim at ab.ts, which is already there.
    find<QLineEdit>(u"Text3"_s)->setText(u"\\\\"_s);
    QTRY_COMPARE(previewRows(preview()).at(1), u"a?b.ts → ab.ts"_s);
    QCOMPARE(rowStatus(preview(), 0), PreviewStatus::CollidesExisting); // a!b?.ts → ab.ts as well
    QCOMPARE(rowStatus(preview(), 1), PreviewStatus::CollidesExisting);
    QVERIFY(preview()->index(1, 0).data(Qt::BackgroundRole).isValid());

    click(u"Command4"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
    QFile saved(m_dir->filePath(text::settingsFileName()));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), (m_dir->path() + u"\r\n\"!?\"\r\n\"\\\\\"\r\n"_s).toUtf8());
    // No file was touched by the preview.
    QCOMPARE(QDir(m_dir->path()).entryList({u"*.ts"_s}, QDir::Files).size(), 4);
}

void Form1Test::addWithAnEmptyCharacterComplains() {
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    type(u"Text4"_s, u"a"_s);
    click(u"Command5"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].title, text::inputErrorTitle());
    QCOMPARE(m_dialogs.shown[0].text, text::emptyCharacterMessage());
    QCOMPARE(find<QLineEdit>(u"Text2"_s)->text(), QString());
}

void Form1Test::folderChoiceSetsFolderAndPreview() {
    QVERIFY(QDir(m_dir->path()).mkdir(u"rec"_s));
    const QString rec = m_dir->filePath(u"rec"_s);
    createFiles(rec, {u"x.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QCOMPARE(preview()->rowCount(), 0);

    m_dialogs.folders.enqueue(rec);
    click(u"Command1"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].title, text::folderDialogTitle());
    QCOMPARE(m_dialogs.shown[0].text, m_dir->path()); // opens at Text1's folder
    QCOMPARE(find<QLineEdit>(u"Text1"_s)->text(), rec);
    QCOMPARE(m_form->values().text(slot::RenameFolder), rec);
    QTRY_COMPARE(previewRows(preview()), QStringList{u"x.ts → x.ts"_s});

    // A cancelled choice changes nothing, and typing into Text1 does not change slot 1.
    click(u"Command1"_s);
    QCOMPARE(find<QLineEdit>(u"Text1"_s)->text(), rec);
    type(u"Text1"_s, u"/elsewhere"_s);
    QCOMPARE(m_form->values().text(slot::RenameFolder), rec);
}

void Form1Test::startRefusesCyclicTableAndKeepsRunning() {
    createFiles(m_dir->path(), {u"ab.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QSignalSpy quit(m_form.get(), &Form1::quitRequested);
    find<QLineEdit>(u"Text2"_s)->setText(u"ab"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"ba"_s);
    click(u"Command2"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].title, text::inputErrorTitle());
    QCOMPARE(quit.count(), 0);
    QVERIFY(QFile::exists(m_dir->filePath(u"ab.ts"_s)));

    click(u"Command4"_s); // refused on saving as well
    QCOMPARE(m_dialogs.shown.size(), 2);
    QVERIFY(!QFile::exists(m_dir->filePath(text::settingsFileName())));
}

void Form1Test::startRenamesThenAsksToQuit() {
    createFiles(m_dir->path(), {u"aXb.ts"_s, u"keep.TS"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QSignalSpy quit(m_form.get(), &Form1::quitRequested);
    find<QLineEdit>(u"Text2"_s)->setText(u"ab"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"b\\"_s);
    click(u"Command2"_s);
    QCOMPARE(quit.count(), 1);
    QVERIFY(m_dialogs.shown.isEmpty()); // no summary after a clean run
    QStringList names = QDir(m_dir->path()).entryList({u"*.ts"_s}, QDir::Files);
    names.sort();
    QCOMPARE(names, (QStringList{u"X.ts"_s, u"keep.TS"_s}));
    // The rename is in the program's log file, in the start folder.
    const QString log = QString::fromUtf8(readFile(m_dir->filePath(u"tassik.log"_s)));
    QVERIFY2(log.contains(u" 名前を変更しました: aXb.ts → X.ts\r\n"_s), qPrintable(log));
}

void Form1Test::startReportsKeptFilesBeforeQuitting() {
    createFiles(m_dir->path(), {u"a!.ts"_s, u"a.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QSignalSpy quit(m_form.get(), &Form1::quitRequested);
    find<QLineEdit>(u"Text2"_s)->setText(u"!"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"\\"_s);
    click(u"Command2"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].title, text::renameErrorTitle());
    QVERIFY(m_dialogs.shown[0].text.contains(u"a!.ts → a.ts"_s));
    QVERIFY(m_dialogs.shown[0].details.contains(u"a!.ts → a.ts"_s)); // the whole list, folded away
    QCOMPARE(quit.count(), 1);
    QVERIFY(QFile::exists(m_dir->filePath(u"a!.ts"_s)));
}

void Form1Test::cancelAsksToQuit() {
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QSignalSpy quit(m_form.get(), &Form1::quitRequested);
    find<QLineEdit>(u"Text2"_s)->setText(u"a"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"b"_s);
    click(u"Command3"_s);
    QCOMPARE(quit.count(), 1);
    QVERIFY(!QFile::exists(m_dir->filePath(text::settingsFileName()))); // nothing saved
}

// An emoji is one character to the entry boxes (not two UTF-16 halves, one of which
// used to be kept); one cp932 can't hold is refused by name when saved, never as "?".
void Form1Test::entryBoxesHoldOneWholeCharacter() {
    createFiles(m_dir->path(), {u"a😀.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    // Typed as a keyboard or an input method hands it over: one key press with its text.
    QTest::sendKeyEvent(QTest::Press, find<QLineEdit>(u"Text4"_s), Qt::Key_unknown, u"😀"_s, Qt::NoModifier);
    QCOMPARE(find<QLineEdit>(u"Text4"_s)->text(), u"😀"_s);
    find<QLineEdit>(u"Text5"_s)->setText(u"\t!x"_s); // a control character is no character of a name
    QCOMPARE(find<QLineEdit>(u"Text5"_s)->text(), u"!"_s);
    click(u"Command5"_s);
    QCOMPARE(find<QLineEdit>(u"Text2"_s)->text(), u"😀"_s);
    QCOMPARE(find<QLineEdit>(u"Text3"_s)->text(), u"!"_s);
    QTRY_COMPARE(previewRows(preview()), QStringList{u"a😀.ts → a!.ts"_s});

    click(u"Command4"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown[0].title, text::saveErrorTitle());
    QVERIFY2(m_dialogs.shown[0].text.contains(u"「😀」"_s), qPrintable(m_dialogs.shown[0].text));
    QVERIFY(!QFile::exists(m_dir->filePath(text::settingsFileName())));
}

// A table longer than a line edit's default limit (32767) is loaded, shown and saved
// whole: never cut silently.
void Form1Test::longTableIsNeitherCutNorSavedCut() {
    const QString before = QString(40000, u'a') + u"!"_s;
    const QString after = QString(40000, u'b') + u"\\"_s;
    QFile settings(m_dir->filePath(text::settingsFileName()));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write((m_dir->path() + u"\r\n\""_s + before + u"\"\r\n\""_s + after + u"\"\r\n"_s).toUtf8());
    settings.close();
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QCOMPARE(find<QLineEdit>(u"Text2"_s)->text(), before);
    QCOMPARE(find<QLineEdit>(u"Text3"_s)->text(), after);
    find<QLineEdit>(u"Text2"_s)->setText(before + u"?"_s);
    find<QLineEdit>(u"Text3"_s)->setText(after + u"_"_s);
    click(u"Command4"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
    const ValueTable loaded = startUp(m_dir->path());
    QCOMPARE(loaded.text(slot::BeforeString), before + u"?"_s);
    QCOMPARE(loaded.text(slot::AfterString), after + u"_"_s);
}

// A new name taken by a folder fails in the run (moves never replace), so the preview
// says so too; a name beginning with "." is refused by both.
void Form1Test::previewUsesTheRunsTestForNewNames() {
    createFiles(m_dir->path(), {u"a!.ts"_s, u"b#.ts"_s});
    QVERIFY(QDir(m_dir->path()).mkdir(u"a.ts"_s));
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    find<QLineEdit>(u"Text2"_s)->setText(u"!#"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"\\"_s + u"."_s);
    QTRY_COMPARE(previewRows(preview()), (QStringList{u"a!.ts → a.ts"_s, u"b#.ts → b..ts"_s}));
    QCOMPARE(rowStatus(preview(), 0), PreviewStatus::CollidesExisting);
    QCOMPARE(rowStatus(preview(), 1), PreviewStatus::Renamed);

    click(u"Command2"_s);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown[0].text.contains(u"a!.ts → a.ts"_s)); // the run fails where the preview said
    QVERIFY(QFile::exists(m_dir->filePath(u"a!.ts"_s)));
    QVERIFY(QFile::exists(m_dir->filePath(u"b..ts"_s)));
}

// The user sizes the columns (and a new preview keeps the size); a long name is shortened
// in the middle, keeping its end, and shows whole as a tooltip.
void Form1Test::previewColumnsAreTheUsersAndShowWholeNames() {
    const QString longName = QString(120, u'x') + u"!end.ts"_s;
    createFiles(m_dir->path(), {longName});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto* list = find<QTableView>(u"PreviewList"_s);
    QCOMPARE(list->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QCOMPARE(list->textElideMode(), Qt::ElideMiddle);
    QCOMPARE(preview()->index(0, 0).data(Qt::ToolTipRole).toString(), longName);

    list->horizontalHeader()->resizeSection(0, 123); // as a drag of the border does
    find<QLineEdit>(u"Text2"_s)->setText(u"!"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"_"_s);
    QTRY_COMPARE(preview()->index(0, 1).data().toString(), QString(120, u'x') + u"_end.ts"_s);
    QCOMPARE(list->columnWidth(0), 123);
    QCOMPARE(preview()->index(0, 1).data(Qt::ToolTipRole).toString(), QString(120, u'x') + u"_end.ts"_s);
}

// Files that come, go or are renamed in the folder show in the preview by themselves.
void Form1Test::previewFollowsTheFolder() {
    createFiles(m_dir->path(), {u"a.ts"_s});
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    QCOMPARE(preview()->rowCount(), 1);
    createFiles(m_dir->path(), {u"b.ts"_s});
    QTRY_COMPARE(previewRows(preview()), (QStringList{u"a.ts → a.ts"_s, u"b.ts → b.ts"_s}));
    QVERIFY(QFile::remove(m_dir->filePath(u"a.ts"_s)));
    QTRY_COMPARE(previewRows(preview()), QStringList{u"b.ts → b.ts"_s});
    // A listing kept across edits (the folder's time is settled) still gives way to a file
    // that comes while the folder's modification time is set back, as a copy keeping
    // times does.
    const QString folder = m_dir->path();
    const QDateTime lastHour = QFileInfo(folder).lastModified().addSecs(-3600);
    chain::testing::setFolderTime(folder, lastHour);
    m_form->refreshPreview();
    createFiles(m_dir->path(), {u"c.ts"_s});
    chain::testing::setFolderTime(folder, lastHour);
    m_form->refreshPreview();
    QCOMPARE(previewRows(preview()), (QStringList{u"b.ts → b.ts"_s, u"c.ts → c.ts"_s}));
}

// The real box keeps the list of kept files in its details, so it stays small.
void Form1Test::failureBoxKeepsItsListInTheDetails() {
    chain::WidgetDialogs dialogs;
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines << u"f%1.ts → g.ts: 同じ名前のファイルが既にあります"_s.arg(i);
    QString seenDetails;
    int seenHeight = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenDetails = box->detailedText();
        seenHeight = box->sizeHint().height();
        box->accept();
    });
    dialogs.message(text::renameErrorTitle(), u"次のファイルは名前が変わりませんでした (30 件):"_s,
                    chain::Dialogs::Icon::Warning, lines.join(u'\n'));
    QCOMPARE(seenDetails, lines.join(u'\n'));
    QVERIFY2(seenHeight > 0 && seenHeight < 400, qPrintable(QString::number(seenHeight)));
}

// A settings file that is there but isn't cp932 (saved as UTF-8, say) is told above the
// preview; the first save keeps it as .bak.
void Form1Test::unusableSettingsAreToldAboveThePreview() {
    const QByteArray utf8 = (m_dir->path() + u"\r\n\"!?\"\r\n\"！？\"\r\n"_s).toUtf8();
    QFile settings(m_dir->filePath(text::settingsFileName()));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(utf8);
    settings.close();
    m_form = std::make_unique<Form1>(m_dialogs, m_dir->path());
    m_form->show();
    auto* note = find<QLabel>(u"PreviewNote"_s);
    QVERIFY(note->isVisible());
    QVERIFY2(note->text().contains(text::settingsFileName()), qPrintable(note->text()));
    QVERIFY(m_dialogs.shown.isEmpty());

    find<QLineEdit>(u"Text2"_s)->setText(u"!"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"_"_s);
    click(u"Command4"_s);
    QVERIFY(m_dialogs.shown.isEmpty());
    QFile backup(m_dir->filePath(text::settingsFileName() + u".bak"_s));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), utf8);
    QVERIFY(!note->text().contains(text::settingsFileName()));
}

void Form1Test::undoShowsItsPreviewThenNamesTheBatchBack() {
    createFiles(m_dir->path(), {u"a!.ts"_s, u"b!.ts"_s});
    PeekingDialogs dialogs;
    m_form = std::make_unique<Form1>(dialogs, m_dir->path());
    find<QLineEdit>(u"Text2"_s)->setText(u"!"_s);
    find<QLineEdit>(u"Text3"_s)->setText(u"_"_s);
    click(u"Command2"_s);
    QVERIFY(QFile::exists(m_dir->filePath(u"b_.ts"_s)));

    QStringList previewAsked;
    dialogs.onQuestion = [&] { previewAsked = previewRows(preview()); };
    dialogs.answers.enqueue(true);
    find<QPushButton>(u"UndoButton"_s)->click();
    QCOMPARE(previewAsked, (QStringList{u"b_.ts → b!.ts"_s, u"a_.ts → a!.ts"_s})); // newest first
    QCOMPARE(dialogs.shown.last().text, u"前回の一括変更 (2 件) のうち、2 件の名前を元に戻しますか？"_s);
    QStringList names = QDir(m_dir->path()).entryList({u"*.ts"_s}, QDir::Files);
    names.sort();
    QCOMPARE(names, (QStringList{u"a!.ts"_s, u"b!.ts"_s}));

    find<QPushButton>(u"UndoButton"_s)->click();
    QCOMPARE(dialogs.shown.last().text, u"前回の一括変更は元に戻してあるため、何もしません"_s);
}

QTEST_MAIN(Form1Test)

#include "test_form1.moc"
