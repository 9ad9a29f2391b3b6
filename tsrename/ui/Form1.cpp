#include "Form1.h"

#include "Actions.h"
#include "ChooseFolder.h"
#include "Dialogs.h"
#include "EventLog.h"
#include "FileOps.h"
#include "PreviewList.h"
#include "SettingsText.h"
#include "Texts.h"
#include "Undo.h"
#include "ui/LineRules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tassik {

namespace {
// How long the preview waits after the last edit before it is worked out again.
constexpr int PreviewDelayMs = 200;

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* makeTextBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}
} // namespace

Form1::Form1(chain::Dialogs& dialogs, const QString& startFolder, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_values(startUp(startFolder, &m_startNotes)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::windowCaption());
    buildControls();

    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(PreviewDelayMs);
    connect(&m_previewTimer, &QTimer::timeout, this, &Form1::refreshPreview);
    // Files that come, go or are renamed in the folder show in the preview.
    connect(&m_folderWatch, &QFileSystemWatcher::directoryChanged, &m_previewTimer,
            qOverload<>(&QTimer::start));

    Form_Load();

    connect(Text2, &QLineEdit::textChanged, &m_previewTimer, qOverload<>(&QTimer::start));
    connect(Text3, &QLineEdit::textChanged, &m_previewTimer, qOverload<>(&QTimer::start));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(UndoButton, &QPushButton::clicked, this, &Form1::UndoButton_Click);
}

void Form1::buildControls() {
    Text1 = makeTextBox(QStringLiteral("Text1"), this);
    Text2 = makeTextBox(QStringLiteral("Text2"), this);
    Text3 = makeTextBox(QStringLiteral("Text3"), this);
    Text4 = makeTextBox(QStringLiteral("Text4"), this);
    Text5 = makeTextBox(QStringLiteral("Text5"), this);
    // The table and the folder are one line each of the settings file, and a long table
    // is never cut; the entry boxes hold one character, counted as the user counts them
    // (an emoji is one, not two UTF-16 halves).
    for (QLineEdit* box : {Text1, Text2, Text3})
        chain::keepOneLine(box);
    chain::keepOneCharacter(Text4);
    chain::keepOneCharacter(Text5);
    Text4->setText(QStringLiteral("T4"));
    Text5->setText(QStringLiteral("T5"));
    Command1 = makeButton(QStringLiteral("Command1"), text::folderButton(), this);
    Command5 = makeButton(QStringLiteral("Command5"), text::addButton(), this);
    Command4 = makeButton(QStringLiteral("Command4"), text::saveButton(), this);
    Command2 = makeButton(QStringLiteral("Command2"), text::startButton(), this);
    Command3 = makeButton(QStringLiteral("Command3"), text::cancelButton(), this);
    UndoButton = makeButton(QStringLiteral("UndoButton"), QStringLiteral("元に戻す"), this);
    PreviewNote = makeLabel(QStringLiteral("PreviewNote"), QString(), this);
    PreviewNote->setWordWrap(true);
    m_previewList = new PreviewList(this);

    auto* table = new QGridLayout;
    table->addWidget(makeLabel(QStringLiteral("Label1"), text::folderLabel(), this), 0, 0);
    table->addWidget(Text1, 0, 1);
    table->addWidget(Command1, 0, 2);
    table->addWidget(makeLabel(QStringLiteral("Label2"), text::beforeLabel(), this), 1, 0);
    table->addWidget(Text2, 1, 1, 1, 2);
    table->addWidget(makeLabel(QStringLiteral("Label3"), text::afterLabel(), this), 2, 0);
    table->addWidget(Text3, 2, 1, 1, 2);

    auto* entry = new QHBoxLayout;
    entry->addWidget(makeLabel(QStringLiteral("Label4"), text::newBeforeLabel(), this));
    entry->addWidget(Text4);
    entry->addWidget(makeLabel(QStringLiteral("Label5"), text::newAfterLabel(), this));
    entry->addWidget(Text5);
    entry->addWidget(makeLabel(QStringLiteral("Label6"), text::deleteHint(), this));
    entry->addWidget(Command5);
    entry->addStretch();
    const int charWidth = fontMetrics().horizontalAdvance(QStringLiteral("Ｗ")) * 2;
    Text4->setMaximumWidth(charWidth);
    Text5->setMaximumWidth(charWidth);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(UndoButton);
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto* main = new QVBoxLayout(this);
    main->addLayout(table);
    main->addLayout(entry);
    main->addWidget(PreviewNote);
    main->addWidget(m_previewList, 1);
    main->addLayout(buttons);
    resize(640, 480);
}

void Form1::Form_Load() {
    Text1->setText(m_values.text(slot::RenameFolder));
    Text2->setText(m_values.text(slot::BeforeString));
    Text3->setText(m_values.text(slot::AfterString));
    Text4->clear();
    Text5->clear();
    watchFolder();
    refreshPreview();
}

void Form1::watchFolder() {
    if (!m_folderWatch.directories().isEmpty())
        m_folderWatch.removePaths(m_folderWatch.directories());
    const QString folder = m_values.text(slot::RenameFolder);
    if (chain::pathProblem(folder).isEmpty())
        m_folderWatch.addPath(folder); // a folder that can't be watched is shown as it is
}

void Form1::refreshPreview() {
    m_previewTimer.stop();
    const QString folder = m_values.text(slot::RenameFolder);
    // An edit of the table leaves the folder as it was: its listing is read again only
    // when the folder's stamp has changed since (or couldn't be relied on).
    const std::optional<chain::FolderStamp> stamp = chain::folderStamp(folder);
    std::optional<chain::FolderListing> fresh; // read for this preview alone
    if (!m_listing || !stamp || m_listing->folder != folder || m_listing->stamp != *stamp) {
        m_listing.reset();
        QString error;
        std::optional<chain::FolderListing> listing = chain::FolderListing::read(folder, &error);
        if (!listing) {
            showNote(QStringLiteral("フォルダ「%1」を読めません: %2").arg(folder, error));
            m_previewList->setRows({});
            return;
        }
        if (stamp && chain::isSettled(*stamp))
            m_listing = KeptListing{folder, *stamp, std::move(*listing)};
        else
            fresh = std::move(listing);
    }
    const chain::FolderListing& listing = m_listing ? m_listing->listing : *fresh;
    // The run's test for each new name: a name taken by a folder or a dot-file (not among
    // the files) makes the rename fail as surely as a listed file.
    Preview preview = computePreview(listing.files(), Text2->text(), Text3->text(),
                                     [&listing](const QString& name) { return listing.nameTaken(name); });
    showNote(preview.note);
    m_previewList->setRows(std::move(preview.rows));
}

void Form1::showNote(const QString& note) {
    QStringList lines = m_startNotes;
    if (!note.isEmpty())
        lines << note;
    PreviewNote->setText(lines.join(u'\n'));
    PreviewNote->setVisible(!lines.isEmpty());
}

// Chooses the rename folder.
void Form1::Command1_Click() {
    QString remembered;
    const std::optional<QString> folder =
        chain::ChooseFolder(m_dialogs, text::folderDialogTitle(), Text1->text(), remembered);
    if (!folder)
        return;
    Text1->setText(chain::trimBlanks(*folder));
    m_values.set(slot::RenameFolder, Text1->text());
    watchFolder();
    m_previewTimer.start();
}

// Renames the folder's .ts files, then ends the program unless the input was refused.
void Form1::Command2_Click() {
    const StartResult result = startRename(m_dialogs, m_values, Text2->text(), Text3->text());
    if (result.outcome != StartResult::Outcome::Finished)
        return;
    {
        chain::EventLog log(logPath(m_values));
        for (const QString& event : renameEvents(result.results))
            log.add(event);
        if (const QString note = keepUndoJournal(m_values, result.results); !note.isEmpty())
            log.add(note);
    } // written now, before the program ends
    if (result.anyFailed()) {
        const FailureSummary summary = failureSummary(result.results);
        m_dialogs.message(text::renameErrorTitle(), summary.text, chain::Dialogs::Icon::Warning,
                          summary.details);
    }
    Q_EMIT quitRequested();
}

void Form1::UndoButton_Click() {
    const QString journal = undoPath(m_values);
    const UndoPlan plan = planUndo(journal);
    if (plan.state != UndoPlan::State::Ready) {
        m_dialogs.message(UndoButton->text(), plan.message, chain::Dialogs::Icon::Information);
        return;
    }
    // The preview shows the undo while the question is open; the folder's changes wait.
    m_previewTimer.stop();
    const QSignalBlocker folderQuiet(m_folderWatch);
    showNote(QStringLiteral(
                 "前回の一括変更を元に戻すと、フォルダ「%1」の名前は次のようになります (新しい変更から順に)")
                 .arg(plan.folder));
    m_previewList->setRows(undoPreviewRows(plan));
    const bool agreed = m_dialogs.question(UndoButton->text(), undoQuestion(plan));
    if (agreed) {
        const UndoRun run = undoLastBatch(journal);
        {
            chain::EventLog log(logPath(m_values));
            for (const QString& event : run.events)
                log.add(event);
        }
        if (run.anyFailed)
            m_dialogs.message(
                UndoButton->text(),
                QStringLiteral(
                    "元に戻せなかったファイルがあります。詳しくはログ (tassik.log) をご覧下さい。"),
                chain::Dialogs::Icon::Warning, run.events.join(u'\n'));
    }
    refreshPreview();
}

void Form1::Command3_Click() {
    Q_EMIT quitRequested();
}

void Form1::Command4_Click() {
    if (!saveTable(m_dialogs, m_values, Text2->text(), Text3->text()))
        return;
    if (!m_startNotes.isEmpty()) { // the file is readable again: nothing left to tell
        m_startNotes.clear();
        refreshPreview();
    }
}

void Form1::Command5_Click() {
    QString before = Text2->text();
    QString after = Text3->text();
    if (!addEntry(m_dialogs, before, after, Text4->text(), Text5->text()))
        return;
    Text2->setText(before);
    Text3->setText(after);
}

} // namespace tassik
