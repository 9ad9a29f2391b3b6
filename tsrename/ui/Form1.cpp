#include "Form1.h"

#include "Actions.h"
#include "ChooseFolder.h"
#include "Dialogs.h"
#include "FileOps.h"
#include "PreviewList.h"
#include "SettingsText.h"
#include "Texts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    : QWidget(parent), m_dialogs(dialogs), m_values(startUp(startFolder)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::windowCaption());
    buildControls();

    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(PreviewDelayMs);
    connect(&m_previewTimer, &QTimer::timeout, this, &Form1::refreshPreview);

    Form_Load();

    connect(Text2, &QLineEdit::textChanged, &m_previewTimer, qOverload<>(&QTimer::start));
    connect(Text3, &QLineEdit::textChanged, &m_previewTimer, qOverload<>(&QTimer::start));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
}

void Form1::buildControls() {
    Text1 = makeTextBox(QStringLiteral("Text1"), this);
    Text2 = makeTextBox(QStringLiteral("Text2"), this);
    Text3 = makeTextBox(QStringLiteral("Text3"), this);
    Text4 = makeTextBox(QStringLiteral("Text4"), this);
    Text5 = makeTextBox(QStringLiteral("Text5"), this);
    Text4->setMaxLength(1);
    Text5->setMaxLength(1);
    Text4->setText(QStringLiteral("T4"));
    Text5->setText(QStringLiteral("T5"));
    Command1 = makeButton(QStringLiteral("Command1"), text::folderButton(), this);
    Command5 = makeButton(QStringLiteral("Command5"), text::addButton(), this);
    Command4 = makeButton(QStringLiteral("Command4"), text::saveButton(), this);
    Command2 = makeButton(QStringLiteral("Command2"), text::startButton(), this);
    Command3 = makeButton(QStringLiteral("Command3"), text::cancelButton(), this);
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
    refreshPreview();
}

void Form1::refreshPreview() {
    m_previewTimer.stop();
    const QString folder = m_values.text(slot::RenameFolder);
    QString error;
    const std::optional<QStringList> listing = chain::listFiles(folder, &error);
    if (!listing) {
        showNote(QStringLiteral("フォルダ「%1」を読めません: %2").arg(folder, error));
        m_previewList->setRows({});
        return;
    }
    Preview preview = computePreview(*listing, Text2->text(), Text3->text());
    showNote(preview.note);
    m_previewList->setRows(std::move(preview.rows));
}

void Form1::showNote(const QString& note) {
    PreviewNote->setText(note);
    PreviewNote->setVisible(!note.isEmpty());
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
    m_previewTimer.start();
}

// Renames the folder's .ts files, then ends the program unless the input was refused.
void Form1::Command2_Click() {
    const StartResult result = startRename(m_dialogs, m_values, Text2->text(), Text3->text());
    if (result.outcome != StartResult::Outcome::Finished)
        return;
    if (result.anyFailed())
        m_dialogs.message(text::renameErrorTitle(), failureSummary(result.results),
                          chain::Dialogs::Icon::Warning);
    Q_EMIT quitRequested();
}

void Form1::Command3_Click() {
    Q_EMIT quitRequested();
}

void Form1::Command4_Click() {
    saveTable(m_dialogs, m_values, Text2->text(), Text3->text());
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
