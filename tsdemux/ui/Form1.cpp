#include "Form1.h"

#include "Form2.h"
#include "Form3.h"
#include "Form4.h"
#include "Form5.h"
#include "IntervalRules.h"
#include "OutputNameRule.h"
#include "SaveWithMessage.h"
#include "Texts.h"
#include "ui/EventLogView.h"
#include "ui/NamedWidgets.h"
#include "ui/RunDisplay.h"

#include "EventLog.h"

#include "ui/LineRules.h"

#include "ChooseFolder.h"
#include "SettingsText.h"
#include "WholeNumber.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrune {

namespace {

const QString TagProperty = QStringLiteral("tag");
const QString Stopped = QStringLiteral("0");
const QString Running = QStringLiteral("1");

// The row whose item is selected, or -1 when none is.
int selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

// Makes the list, which shows `shown`, show `wanted`: the rows before and after the part
// that differs stay as they are, the differing ones get their new text, and the extra
// ones are removed or inserted there. Many rows gone at once: the list is filled anew.
void showChanges(QListWidget* list, const QStringList& shown, const QStringList& wanted) {
    constexpr qsizetype RemovedOneByOne = 64;
    const qsizetype common = std::min(shown.size(), wanted.size());
    qsizetype head = 0;
    while (head < common && shown[head] == wanted[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && shown[shown.size() - 1 - tail] == wanted[wanted.size() - 1 - tail])
        ++tail;
    const qsizetype oldRows = shown.size() - head - tail;
    const qsizetype newRows = wanted.size() - head - tail;
    if (list->count() != shown.size() || oldRows - newRows > RemovedOneByOne) {
        list->clear();
        list->addItems(wanted);
        return;
    }
    const qsizetype kept = std::min(oldRows, newRows);
    for (qsizetype k = head; k < head + kept; ++k)
        list->item(static_cast<int>(k))->setText(wanted[k]);
    for (qsizetype k = kept; k < oldRows; ++k)
        delete list->takeItem(static_cast<int>(head + kept));
    if (newRows > kept)
        list->insertItems(static_cast<int>(head + kept), wanted.mid(head + kept, newRows - kept));
}
} // namespace

Form1::Form1(Settings& settings, Keywords& keywords, chain::ProcessWatch& watch, chain::Launcher& launcher,
             chain::Dialogs& dialogs, const QStringList& startNotes, chain::EventLog* log, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_keywords(keywords), m_dialogs(dialogs),
      m_log(log ? log : new chain::EventLog(QString(), this)),
      m_runDisplay(
          new chain::RunDisplay(this, QStringLiteral("kestrune"), settings.text(slot::ProgramFolder))),
      m_engine(
          new ConversionEngine(settings, keywords, watch, launcher, {m_runDisplay->notifier(), {}}, this)),
      m_timer(new chain::StepDriver([this] { return tick(); }, 1.0, this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::MainTitle);
    buildControls();
    buildLayout();
    connectHandlers();
    Form_Load();
    EventLog->follow(*m_log);
    for (const QString& note : startNotes)
        m_log->add(note);
    m_engine->announceUnfinishedRun();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Frame1 = chain::named<QGroupBox>(QStringLiteral("Frame1"), text::Form1_Frame1);
    Option1 = chain::named<QRadioButton>(QStringLiteral("Option1"), text::Form1_Option1);
    Option2 = chain::named<QRadioButton>(QStringLiteral("Option2"), text::Form1_Option2);
    Label1 = chain::named<QLabel>(QStringLiteral("Label1"), text::Form1_Label1);
    Label1->setToolTip(text::Form1_Label1_Tip);
    Text1 = chain::named<QLineEdit>(QStringLiteral("Text1"));
    Command1 = chain::named<QPushButton>(QStringLiteral("Command1"), text::Form1_Command1);
    Check1 = chain::named<QCheckBox>(QStringLiteral("Check1"), text::Form1_Check1);
    Check1->setToolTip(text::Form1_Check1_Tip);
    Command12 = chain::named<QPushButton>(QStringLiteral("Command12"), text::Form1_Command12);
    Label2 = chain::named<QLabel>(QStringLiteral("Label2"), text::Form1_Label2);
    List1 = chain::named<QListWidget>(QStringLiteral("List1"));
    Command2 = chain::named<QPushButton>(QStringLiteral("Command2"), text::Form1_Command2);
    Command3 = chain::named<QPushButton>(QStringLiteral("Command3"), text::Form1_Command3);
    Command4 = chain::named<QPushButton>(QStringLiteral("Command4"), text::Form1_Command4);
    Command10 = chain::named<QPushButton>(QStringLiteral("Command10"), text::Form1_Command10);
    Label8 = chain::named<QLabel>(QStringLiteral("Label8"), text::Form1_Label8);
    Label7 = chain::named<QLabel>(QStringLiteral("Label7"), text::Form1_Label7);
    Label7->setToolTip(text::Form1_Label7_Tip);
    Text2 = chain::named<QLineEdit>(QStringLiteral("Text2"));
    Command9 = chain::named<QPushButton>(QStringLiteral("Command9"), text::Form1_Command9);
    Label3 = chain::named<QLabel>(QStringLiteral("Label3"), text::Form1_Label3);
    Label3->setToolTip(text::Form1_Label3_Tip);
    Text3 = chain::named<QLineEdit>(QStringLiteral("Text3"));
    Command5 = chain::named<QPushButton>(QStringLiteral("Command5"), text::Form1_Command5);
    Command6 = chain::named<QPushButton>(QStringLiteral("Command6"), text::Form1_Command6);
    Label4 = chain::named<QLabel>(QStringLiteral("Label4"), text::Form1_Label4);
    Label4->setToolTip(text::Form1_Label4_Tip);
    Text4 = chain::named<QLineEdit>(QStringLiteral("Text4"));
    Label5 = chain::named<QLabel>(QStringLiteral("Label5"), text::Form1_Label5);
    Label6 = chain::named<QLabel>(QStringLiteral("Label6"), text::Form1_Label6);
    List2 = chain::named<QListWidget>(QStringLiteral("List2"));
    Label9 = chain::named<QLabel>(QStringLiteral("Label9"), text::Form1_Label9);
    Text5 = chain::named<QLineEdit>(QStringLiteral("Text5"));
    // The boxes feed one-line settings. The interval box has no two-character limit:
    // that would cut "5.5" to "5." before the whole-number rule sees it; the 1-60 rule
    // keeps it short.
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5})
        chain::keepOneLine(box);
    // The after-conversion and output folders are set through their folder buttons only:
    // a path typed there would be shown while the engine and 記憶 used the setting.
    Text2->setReadOnly(true);
    Text3->setReadOnly(true);
    Text5->setText(text::Form1_Text5);
    Label10 = chain::named<QLabel>(QStringLiteral("Label10"), text::Form1_Label10);
    Check2 = chain::named<QCheckBox>(QStringLiteral("Check2"), text::Form1_Check2);
    Command13 = chain::named<QPushButton>(QStringLiteral("Command13"), text::Form1_Command13);
    Command11 = chain::named<QPushButton>(QStringLiteral("Command11"), text::Form1_Command11);
    Command7 = chain::named<QPushButton>(QStringLiteral("Command7"), text::Form1_Command7);
    Command8 = chain::named<QPushButton>(QStringLiteral("Command8"), text::Form1_Command8);
    EventLog = chain::named<chain::EventLogView>(QStringLiteral("EventLog"));

    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List2->setSelectionMode(QAbstractItemView::SingleSelection);
    // The running label keeps its place, so the window doesn't jump when it shows.
    chain::keepSpaceWhenHidden(Label8);
    // Room for two digits, whatever the font and scaling.
    Text5->setMaximumWidth(Text5->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
}

void Form1::buildLayout() {
    auto* modes = new QHBoxLayout(Frame1);
    modes->addWidget(Option1);
    modes->addWidget(Option2);

    // Top: the mode frame, then the source folder with the keyword switch beside it.
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(Frame1);
    modeRow->addStretch(1);

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(Text1, 1);
    sourceRow->addWidget(Command1);
    sourceRow->addSpacing(12);
    sourceRow->addWidget(Check1);
    sourceRow->addWidget(Command12);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->addLayout(modeRow, 0, 0, 1, 3);
    grid->addWidget(Label1, 1, 0);
    grid->addLayout(sourceRow, 1, 1, 1, 2);
    grid->addWidget(Label2, 2, 0, Qt::AlignTop);
    grid->addWidget(List1, 2, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(Command2);
    listButtons->addWidget(Command3);
    listButtons->addWidget(Command4);
    listButtons->addStretch(1);
    grid->addLayout(listButtons, 2, 2);

    auto* demuxRow = new QHBoxLayout;
    demuxRow->addWidget(Command10);
    demuxRow->addSpacing(12);
    demuxRow->addWidget(Label8);
    demuxRow->addWidget(m_runDisplay->label());
    demuxRow->addStretch(1);
    grid->addLayout(demuxRow, 3, 0, 1, 3);

    grid->addWidget(Label7, 4, 0);
    grid->addWidget(Text2, 4, 1);
    grid->addWidget(Command9, 4, 2);
    grid->addWidget(Label3, 5, 0);
    grid->addWidget(Text3, 5, 1);
    grid->addWidget(Command5, 5, 2);
    grid->addWidget(Label4, 6, 0);
    grid->addWidget(Text4, 6, 1);
    grid->addWidget(Command6, 6, 2);

    auto* list2Labels = new QVBoxLayout;
    list2Labels->addWidget(Label5);
    list2Labels->addWidget(Label6);
    list2Labels->addStretch(1);
    grid->addLayout(list2Labels, 7, 0);
    grid->addWidget(List2, 7, 1);

    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(Text5);
    intervalRow->addWidget(Label10);
    intervalRow->addStretch(1);
    grid->addWidget(Label9, 8, 0);
    grid->addLayout(intervalRow, 8, 1);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(7, 1);

    // Bottom row: the conversion switch and the command buttons.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Check2);
    bottom->addWidget(Command13);
    bottom->addStretch(1);
    bottom->addWidget(Command11);
    bottom->addWidget(Command7);
    bottom->addWidget(Command8);

    EventLog->setMinimumHeight(EventLog->fontMetrics().lineSpacing() * 4);
    EventLog->setMaximumHeight(EventLog->fontMetrics().lineSpacing() * 8);

    auto* page = new QVBoxLayout(this);
    page->addLayout(grid, 1);
    page->addLayout(bottom);
    page->addWidget(EventLog);
}

void Form1::connectHandlers() {
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Form1::Check2_Click);
    connect(Text5, &QLineEdit::textChanged, this, &Form1::Text5_Change);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    // A click, also on the row already selected, shows that row again (an edit of Text4
    // not yet written is dropped, as the click asks); moving with the keys does too.
    connect(List1, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { List1_Click(index.row()); });
    connect(List2, &QListWidget::clicked, this,
            [this](const QModelIndex& index) { List2_Click(index.row()); });
    connect(List1, &QListWidget::currentRowChanged, this, &Form1::List1_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &Form1::List2_Click);

    connect(m_engine, &ConversionEngine::tableChanged, this, &Form1::ShowTable);
    connect(m_engine, &ConversionEngine::runningChanged, this, [this](bool running) {
        m_runDisplay->setRunning(running);
        if (!running)
            onEngineStopped();
    });
    m_runDisplay->follow([this] { return tag() == Running ? Label8->text() : QString(); },
                         [this] { return m_engine->progressText(); });
    connect(m_engine, &ConversionEngine::report, m_log, &chain::EventLog::add);
}

// Puts the settings into the controls when the window opens.
void Form1::Form_Load() {
    if (m_settings.text(slot::Mode) == QStringLiteral("0")) {
        Option1->setChecked(true);
        Option1_Click();
    } else {
        Option2->setChecked(true);
        Option2_Click();
    }
    setTag(Stopped);
    Label8->hide();

    Text1->setText(m_settings.text(slot::SourceFolder));
    Text2->setText(m_settings.text(slot::AfterFolder));
    Text3->setText(m_settings.text(slot::OutputFolder));
    Text4->clear();
    // The box keeps the loaded interval within its range too (a hand-edited "120" shows as
    // "60", not cut to "12"), and what it shows is the interval used.
    Text5->setText(keptIndividualInterval(m_settings.text(slot::IndividualInterval)));
    Check1->setChecked(chain::wholeNumber(m_settings.text(slot::KeywordFilter)) == 1);
    Check1_Click();
    m_list.clear();
    showList();
    Check2->setChecked(chain::wholeNumber(m_settings.text(slot::CharConversion)) == 1);
}

QString Form1::tag() const {
    return Command7->property("tag").toString();
}

void Form1::setTag(const QString& tag) {
    Command7->setProperty("tag", tag);
}

QList<QWidget*> Form1::idleOnlyControls() const {
    return {Text1,     Command1, List1,  Command2, Command3, Command4, Text2,  Command9,
            Text3,     Command5, Text4,  Command6, List2,    Text5,    Check2, Command13,
            Command11, Command8, Frame1, Option1,  Option2,  Command10};
}

void Form1::ShowAutoIdle() {
    Check1->setVisible(true);
    Check1->setEnabled(true);
    Command12->setVisible(true);
    Command12->setEnabled(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Text1, Command1, List1, Command2, Command3, Command4, Text2,
                                         Command9, Text3, Command5, Text4, Command6, List2, Text5})
        w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{Check2, Command13, Command11, Command8, Frame1, Option1,
                                                      Option2, Command10})
        w->setEnabled(true);
    Label8->setVisible(false);
}

void Form1::ShowRunning() {
    Check1->setEnabled(false);
    Command12->setEnabled(false);
    for (QWidget* w : idleOnlyControls())
        w->setEnabled(false);
    Label8->setVisible(true);
}

void Form1::ShowIndividualIdle() {
    Check1->setVisible(false);
    Command12->setVisible(false);
    for (QWidget* w : idleOnlyControls())
        w->setEnabled(true);
    Label8->setVisible(false);
}

void Form1::Option1_Click() {
    ShowAutoIdle();
    m_settings.set(slot::Mode, QStringLiteral("0"));
}

void Form1::Option2_Click() {
    ShowIndividualIdle();
    m_settings.set(slot::Mode, QStringLiteral("1"));
}

void Form1::Check1_Click() {
    m_settings.set(slot::KeywordFilter, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::Check2_Click() {
    m_settings.set(slot::CharConversion, Check2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::Text5_Change() {
    const QString kept = keptIndividualInterval(Text5->text());
    if (kept != Text5->text()) {
        Text5->setText(kept); // runs this handler again, which stores the kept text
        return;
    }
    m_settings.set(slot::IndividualInterval, kept);
}

bool Form1::chooseFolderInto(QLineEdit* box, int folderSlot, bool trim) {
    QString remembered;
    const std::optional<QString> folder =
        chain::ChooseFolder(m_dialogs, text::FolderChoiceTitle, box->text(), remembered);
    m_settings.set(slot::FolderChoiceName, remembered);
    if (!folder)
        return false;
    box->setText(trim ? chain::trimBlanks(*folder) : *folder);
    m_settings.set(folderSlot, box->text());
    return true;
}

void Form1::Command1_Click() {
    if (!chooseFolderInto(Text1, slot::SourceFolder, true))
        return;
    m_list.clear();
    showList();
    Text4->clear();
}

void Form1::Command9_Click() {
    chooseFolderInto(Text2, slot::AfterFolder, false);
}

void Form1::Command5_Click() {
    chooseFolderInto(Text3, slot::OutputFolder, false);
}

void Form1::Command2_Click() {
    Form3 chooser(Text1->text(), this);
    chooser.exec();
    m_list.AddChosenFiles(chooser.chosen());
    showList();
}

void Form1::Command3_Click() {
    m_list.clear();
    showList();
    const QStringList files = tsFilesOf(Text1->text()).value_or(QStringList{});
    if (files.isEmpty()) {
        m_dialogs.message(text::NoTsFilesTitle, text::NoTsFilesText);
        return;
    }
    m_list.AddChosenFiles(files);
    showList();
}

void Form1::Command4_Click() {
    const int row = selectedRow(List1);
    if (row < 0)
        return;
    m_list.removeRow(row);
    showList();
    Text4->clear();
}

void Form1::Command6_Click() {
    const int row = selectedRow(List2);
    if (row < 0)
        return;
    const QString name = Text4->text();
    switch (checkOutputName(name)) {
    case OutputNameProblem::Empty:
        m_dialogs.message(text::EmptyNameTitle, text::EmptyNameText);
        return;
    case OutputNameProblem::Forbidden:
        m_dialogs.message(text::InputErrorTitle, ForbiddenOutputChars + text::ForbiddenTail);
        return;
    case OutputNameProblem::None:
        break;
    }
    m_list.outputNames[row] = name;
    List2->item(row)->setText(name);
}

void Form1::Command7_Click() {
    const bool autoMode = m_engine->isAutoMode();
    if (!autoMode && m_list.names.isEmpty())
        return;
    Text4->clear();
    m_syncingLists = true;
    for (QListWidget* list : {List1, List2}) {
        list->clearSelection();
        list->setCurrentRow(-1);
    }
    m_syncingLists = false;

    if (tag() != Stopped) {
        showStopped();
        m_engine->stop();
        return;
    }
    if (const QString problem = m_engine->startProblem(Text1->text()); !problem.isEmpty()) {
        m_dialogs.message(text::InputErrorTitle, problem, chain::Dialogs::Icon::Warning);
        return;
    }
    const std::optional<int> first = m_engine->start(Text1->text(), m_list.names, m_list.outputNames);
    if (!first)
        return;
    Command7->setText(text::Form1_Command7_Running);
    showRunningLabel();
    setTag(Running);
    ShowRunning();
    Text4->clear();
    m_timer->arm(*first);
}

void Form1::showRunningLabel() {
    QPalette palette = Label8->palette();
    palette.setColor(QPalette::WindowText, m_engine->isAutoMode() ? QColor(255, 0, 255) : QColor(192, 64, 0));
    Label8->setPalette(palette);
    Label8->show();
}

void Form1::showStopped() {
    m_timer->disarm();
    Command7->setText(text::Form1_Command7);
    Label8->hide();
    setTag(Stopped);
    if (m_engine->isAutoMode())
        ShowAutoIdle();
    else
        ShowIndividualIdle();
}

void Form1::onEngineStopped() {
    if (tag() != Running)
        return;
    showStopped();
}

std::optional<int> Form1::tick() {
    const std::optional<int> next = m_engine->step();
    if (!next)
        onEngineStopped();
    return next;
}

void Form1::Timer1_Timer() {
    m_timer->disarm();
    if (const std::optional<int> next = tick())
        m_timer->arm(*next);
}

void Form1::Command8_Click() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing saves nothing and asks nothing; a running demuxer keeps running.
    m_timer->disarm();
    event->accept();
}

void Form1::Command10_Click() {
    Form2 window(m_settings, m_dialogs, this);
    window.exec();
}

void Form1::Command11_Click() {
    saveSettingsTelling(m_settings, m_dialogs);
}

void Form1::Command12_Click() {
    Form4 window(m_settings, m_keywords, m_dialogs, this);
    window.exec();
}

void Form1::Command13_Click() {
    Form5 window(m_settings, m_dialogs, this);
    window.exec();
}

void Form1::List1_Click(int row) {
    if (m_syncingLists || row < 0)
        return;
    m_syncingLists = true;
    List2->setCurrentRow(row);
    m_syncingLists = false;
    if (List2->item(row))
        Text4->setText(List2->item(row)->text());
}

void Form1::List2_Click(int row) {
    if (m_syncingLists || row < 0)
        return;
    m_syncingLists = true;
    List1->setCurrentRow(row);
    m_syncingLists = false;
    Text4->setText(List2->item(row)->text());
}

void Form1::ShowTable() {
    IndividualList table;
    table.names.reserve(static_cast<qsizetype>(m_engine->table().size()));
    table.outputNames.reserve(table.names.capacity());
    for (const FileRow& row : m_engine->table()) {
        table.names.append(row.name);
        table.outputNames.append(row.outputName);
    }
    // Only the rows that changed are touched: a tick over a large folder adds or removes
    // a row or two, and the others keep their items (and their laid-out text).
    m_syncingLists = true;
    showChanges(List1, m_list.names, table.names);
    showChanges(List2, m_list.outputNames, table.outputNames);
    m_syncingLists = false;
    m_list = std::move(table);
}

void Form1::showList() {
    m_syncingLists = true;
    List1->clear();
    List2->clear();
    List1->addItems(m_list.names);
    List2->addItems(m_list.outputNames);
    m_syncingLists = false;
}

} // namespace kestrune
