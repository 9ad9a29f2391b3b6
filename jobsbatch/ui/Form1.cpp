#include "Form1.h"

#include "Settings.h"
#include "Startup.h"
#include "Texts.h"
#include "ui/EventLogView.h"
#include "ui/NamedWidgets.h"
#include "ui/RunDisplay.h"

#include "ChooseFolder.h"
#include "EventLog.h"
#include "SettingsText.h"
#include "WriteFailure.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>
#include <utility>

namespace orvane {

namespace {

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Form1::Form1(const QString& startFolder, chain::ProcessWatch& watch, chain::Launcher& launcher,
             chain::Dialogs& dialogs, chain::EventLog* log, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_log(log ? log : new chain::EventLog(QString(), this)),
      m_state(StateTableSize), m_lists(new JobLists(m_state, this)),
      m_runDisplay(new chain::RunDisplay(this, QStringLiteral("orvane"), startFolder)),
      m_engine(new BatchEngine(m_state, *m_lists, watch, launcher, {m_runDisplay->notifier(), {}}, this)),
      m_timer(new chain::StepDriver([this] { return tick(); }, 1.0, this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::MainTitle);
    buildControls();
    buildLayout();
    connectHandlers();
    EventLog->follow(*m_log);
    Form_Load(startFolder);
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Label1 = chain::named<QLabel>(QStringLiteral("Label1"), text::Form1_Label1);
    Text1 = chain::named<QLineEdit>(QStringLiteral("Text1"));
    Command1 = chain::named<QPushButton>(QStringLiteral("Command1"), text::Form1_Command1);
    Label2 = chain::named<QLabel>(QStringLiteral("Label2"), text::Form1_Label2);
    Text2 = chain::named<QLineEdit>(QStringLiteral("Text2"));
    Command2 = chain::named<QPushButton>(QStringLiteral("Command2"), text::Form1_Command2);
    Label3 = chain::named<QLabel>(QStringLiteral("Label3"), text::Form1_Label3);
    Text3 = chain::named<QLineEdit>(QStringLiteral("Text3"));
    Command8 = chain::named<QPushButton>(QStringLiteral("Command8"), text::Form1_Command8);
    Check2 = chain::named<QCheckBox>(QStringLiteral("Check2"), text::Form1_Check2);
    Check1 = chain::named<QCheckBox>(QStringLiteral("Check1"), text::Form1_Check1);
    List1 = chain::named<QListWidget>(QStringLiteral("List1"));
    List2 = chain::named<QListWidget>(QStringLiteral("List2"));
    Command7 = chain::named<QPushButton>(QStringLiteral("Command7"), text::Form1_Command7);
    Command6 = chain::named<QPushButton>(QStringLiteral("Command6"), text::Form1_Command6);
    Command3 = chain::named<QPushButton>(QStringLiteral("Command3"), text::Form1_Command3);
    Command4 = chain::named<QPushButton>(QStringLiteral("Command4"), text::Form1_Command4);
    Command5 = chain::named<QPushButton>(QStringLiteral("Command5"), text::Form1_Command5);
    Label6 = chain::named<QLabel>(QStringLiteral("Label6"), text::Form1_Label6);
    Label5 = chain::named<QLabel>(QStringLiteral("Label5"), text::Form1_Label5);
    EventLog = chain::named<chain::EventLogView>(QStringLiteral("EventLog"));

    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List2->setSelectionMode(QAbstractItemView::SingleSelection);
    // The running labels keep their place, so the window doesn't jump when they show.
    chain::keepSpaceWhenHidden(Label5);
    chain::keepSpaceWhenHidden(Label6);
}

void Form1::buildLayout() {
    auto* folders = new QGridLayout;
    folders->setColumnStretch(1, 1);
    const QList<std::tuple<QLabel*, QLineEdit*, QPushButton*>> rows{
        {Label1, Text1, Command1}, {Label2, Text2, Command2}, {Label3, Text3, Command8}};
    for (int r = 0; r < rows.size(); ++r) {
        folders->addWidget(std::get<0>(rows[r]), r, 0);
        folders->addWidget(std::get<1>(rows[r]), r, 1);
        folders->addWidget(std::get<2>(rows[r]), r, 2);
    }

    auto* options = new QHBoxLayout;
    options->addWidget(Check2);
    options->addSpacing(16);
    options->addWidget(Check1);
    options->addStretch(1);

    // The job list with its two buttons below, and beside it the outputs of the selected entry.
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(Command7);
    listButtons->addWidget(Command6);
    listButtons->addStretch(1);
    auto* lists = new QGridLayout;
    lists->addWidget(List1, 0, 0);
    lists->addWidget(List2, 0, 1);
    lists->addLayout(listButtons, 1, 0);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(1, 1);

    auto* status = new QHBoxLayout;
    status->addWidget(Label6);
    status->addSpacing(12);
    status->addWidget(Label5, 1);
    status->addWidget(m_runDisplay->label());

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Command5);
    bottom->addStretch(1);
    bottom->addWidget(Command3);
    bottom->addWidget(Command4);

    EventLog->setMinimumHeight(EventLog->fontMetrics().lineSpacing() * 4);
    EventLog->setMaximumHeight(EventLog->fontMetrics().lineSpacing() * 8);

    auto* page = new QVBoxLayout(this);
    page->addLayout(folders);
    page->addLayout(options);
    page->addLayout(lists, 1);
    page->addLayout(status);
    page->addLayout(bottom);
    page->addWidget(EventLog);
}

void Form1::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Form1::Check2_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    // A click, also on the entry already selected, and a move with the keys.
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { List1_Click(List1->row(item)); });
    connect(List1, &QListWidget::currentRowChanged, this, &Form1::List1_Click);

    connect(m_lists, &JobLists::jobsChanged, this, &Form1::showJobs);
    connect(m_lists, &JobLists::selectionChanged, this, &Form1::showSelection);
    connect(m_lists, &JobLists::outputsChanged, this, &Form1::showOutputs);
    connect(m_lists, &JobLists::report, m_log, &chain::EventLog::add);
    connect(m_engine, &BatchEngine::report, m_log, &chain::EventLog::add);
    connect(m_engine, &BatchEngine::statusChanged, Label5, &QLabel::setText);
    connect(m_engine, &BatchEngine::runningChanged, m_runDisplay, &chain::RunDisplay::setRunning);
    m_runDisplay->follow([this] { return m_engine->isRunning() ? Label5->text() : QString(); },
                         [this] { return m_engine->progressText(); });
}

void Form1::Form_Load(const QString& startFolder) {
    for (const QString& note : startUp(startFolder, m_state, *m_lists))
        m_log->add(note);
    DeleteOptionLayout();
    Check1->setChecked(isOn(m_state, slot::CloseOption));
    Check1_Click();
    Text1->setText(m_state.text(slot::VirtualDubFolder));
    Text2->setText(m_state.text(slot::JobsFolder));
    Text3->setText(m_state.text(slot::JobsMoveFolder));
    Label5->clear();
    Label5->hide();
    Label6->hide();
}

QList<QWidget*> Form1::idleOnlyControls() const {
    return {Text1,    Text2,    Text3,    Command1, Command2, Command4,
            Command5, Command6, Command7, Command8, Check1,   Check2};
}

void Form1::RunLayout() {
    Command3->setText(text::Form1_Command3_Running);
    for (QWidget* w : idleOnlyControls())
        w->setEnabled(false);
    Label5->show();
    Label6->show();
}

void Form1::IdleLayout() {
    Command3->setText(text::Form1_Command3);
    for (QWidget* w : idleOnlyControls())
        w->setEnabled(true);
    Label5->hide();
    Label6->hide();
    DeleteOptionLayout();
}

void Form1::DeleteOptionLayout() {
    const bool deleting = isOn(m_state, slot::DeleteOption);
    Check2->setChecked(deleting);
    Text3->setEnabled(!deleting);
    Command8->setEnabled(!deleting);
}

bool Form1::chooseFolderInto(QLineEdit* box, int folderSlot, const QString& title, const QString& filter) {
    const QString before = m_state.text(folderSlot);
    QString remembered;
    const std::optional<QString> folder =
        chain::ChooseFolder(m_dialogs, title, m_state.text(folderSlot), remembered, filter);
    if (!folder)
        return false;
    box->setText(chain::trimBlanks(*folder));
    m_state.set(folderSlot, box->text());
    return m_state.text(folderSlot) != before;
}

void Form1::Command1_Click() {
    chooseFolderInto(Text1, slot::VirtualDubFolder, text::Command1_Title);
}

void Form1::Command2_Click() {
    if (chooseFolderInto(Text2, slot::JobsFolder, text::Command2_Title, text::JobsFilter))
        m_lists->JobsList();
}

void Form1::Command8_Click() {
    chooseFolderInto(Text3, slot::JobsMoveFolder, text::Command8_Title);
}

void Form1::Check1_Click() {
    m_state.set(slot::CloseOption, checkValue(Check1));
}

void Form1::Check2_Click() {
    m_state.set(slot::DeleteOption, checkValue(Check2));
    DeleteOptionLayout();
}

void Form1::Command7_Click() {
    m_lists->JobsList();
}

void Form1::Command6_Click() {
    m_lists->Command6_Click();
}

void Form1::List1_Click(int row) {
    if (!m_showingLists)
        m_lists->List1_Click(row);
}

void Form1::Command5_Click() {
    if (const QString reason = SaveSettings(m_state); !reason.isEmpty())
        chain::tellWriteFailure(m_dialogs, settingsPath(m_state), reason);
}

void Form1::Command3_Click() {
    if (Command3->text() == text::Form1_Command3) {
        if (const QString problem = m_engine->startProblem(); !problem.isEmpty()) {
            m_dialogs.message(StartRefusedTitle, problem, chain::Dialogs::Icon::Warning);
            return;
        }
        RunLayout();
        m_timer->arm(m_engine->start());
    } else if (Command3->text() == text::Form1_Command3_Running) {
        IdleLayout();
        m_timer->disarm();
        m_engine->stop();
    }
}

void Form1::Command4_Click() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing saves nothing and asks nothing; a running VirtualDub keeps running.
    m_timer->disarm();
    event->accept();
}

std::optional<int> Form1::tick() {
    const std::optional<int> next = m_engine->step();
    if (!next && m_engine->isRunning())
        Command4_Click(); // the close option: nothing left, the program ends
    return next;
}

void Form1::Timer1_Timer() {
    m_timer->disarm();
    if (const std::optional<int> next = tick())
        m_timer->arm(*next);
}

void Form1::showJobs() {
    m_showingLists = true;
    List1->clear();
    List1->addItems(m_lists->jobs());
    m_showingLists = false;
    showSelection();
}

void Form1::showSelection() {
    m_showingLists = true;
    List1->setCurrentRow(m_lists->selected());
    if (m_lists->selected() < 0)
        List1->clearSelection();
    m_showingLists = false;
}

void Form1::showOutputs() {
    List2->clear();
    List2->addItems(m_lists->outputs());
}

} // namespace orvane
