#include "Form1.h"

#include "Form2.h"
#include "Form3.h"
#include "Store.h"
#include "Texts.h"

#include "ChooseFolder.h"
#include "EventLog.h"
#include "SettingsText.h"
#include "WholeNumber.h"
#include "ui/EventLogView.h"
#include "ui/LineRules.h"
#include "ui/NamedWidgets.h"
#include "ui/RunDisplay.h"

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

namespace pellavo {

namespace {

const QString PassedOverTip = QStringLiteral("次の開始まで変換しません");

QString code(bool first) {
    return first ? QStringLiteral("1") : QStringLiteral("2");
}

} // namespace

Form1::Form1(SettingTable& settings, PatternTable& patterns, chain::ProcessWatch& watch,
             chain::Launcher& launcher, RandomSource& random, chain::Dialogs& dialogs,
             const QStringList& startNotes, chain::EventLog* log, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_patterns(patterns), m_dialogs(dialogs),
      m_log(log ? log : new chain::EventLog(QString(), this)),
      m_runDisplay(new chain::RunDisplay(this, QStringLiteral("pellavo"), settings.text(slot::StartFolder))),
      m_engine(new JobEngine(settings, patterns, watch, launcher, random, dialogs,
                             {m_runDisplay->notifier(), {}}, this)),
      Timer1(new chain::StepDriver([this] { return m_engine->step(); }, 1.0, this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text::Form1_Title);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    buildControls();
    buildLayout();
    connectHandlers();
    EventLog->follow(*m_log);
    for (const QString& note : startNotes)
        m_log->add(note);
    Form_Load();
    m_engine->resumeRecordedRun();
    Timer1->arm(JobEngine::FirstIntervalMs);
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Label1 = chain::named<QLabel>(QStringLiteral("Label1"), text::Label1);
    Text1 = chain::named<QLineEdit>(QStringLiteral("Text1"));
    Command1 = chain::named<QPushButton>(QStringLiteral("Command1"), text::Form1_Command1);
    Label2 = chain::named<QLabel>(QStringLiteral("Label2"), text::Label2);
    Text2 = chain::named<QLineEdit>(QStringLiteral("Text2"));
    Command2 = chain::named<QPushButton>(QStringLiteral("Command2"), text::Form1_Command2);
    Label5 = chain::named<QLabel>(QStringLiteral("Label5"), text::Label5);
    Text3 = chain::named<QLineEdit>(QStringLiteral("Text3"));
    Command3 = chain::named<QPushButton>(QStringLiteral("Command3"), text::Form1_Command3);
    Label3 = chain::named<QLabel>(QStringLiteral("Label3"), text::Label3);
    Text4 = chain::named<QLineEdit>(QStringLiteral("Text4"));
    Command4 = chain::named<QPushButton>(QStringLiteral("Command4"), text::Form1_Command4);
    Check1 = chain::named<QCheckBox>(QStringLiteral("Check1"), text::Form1_Check1);
    Label4 = chain::named<QLabel>(QStringLiteral("Label4"), text::Form1_Label4);
    Text5 = chain::named<QLineEdit>(QStringLiteral("Text5"));
    Label8 = chain::named<QLabel>(QStringLiteral("Label8"), text::Form1_Label8);
    Frame1 = chain::named<QGroupBox>(QStringLiteral("Frame1"), text::Form1_Frame1);
    Option1 = chain::named<QRadioButton>(QStringLiteral("Option1"), text::Form1_Option1);
    Option2 = chain::named<QRadioButton>(QStringLiteral("Option2"), text::Form1_Option2);
    Command5 = chain::named<QPushButton>(QStringLiteral("Command5"), text::Form1_Command5);
    Frame2 = chain::named<QGroupBox>(QStringLiteral("Frame2"), text::Form1_Frame2);
    Option3 = chain::named<QRadioButton>(QStringLiteral("Option3"), text::Form1_Option3);
    Option4 = chain::named<QRadioButton>(QStringLiteral("Option4"), text::Form1_Option4);
    Label6 = chain::named<QLabel>(QStringLiteral("Label6"), text::Form1_Label6);
    List1 = chain::named<QListWidget>(QStringLiteral("List1"));
    Label7 = chain::named<QLabel>(QStringLiteral("Label7"), text::Form1_Label7);
    List2 = chain::named<QListWidget>(QStringLiteral("List2"));
    Label9 = chain::named<QLabel>(QStringLiteral("Label9"));
    Command6 = chain::named<QPushButton>(QStringLiteral("Command6"), text::Form1_Command6);
    Command7 = chain::named<QPushButton>(QStringLiteral("Command7"), text::Start);
    Command8 = chain::named<QPushButton>(QStringLiteral("Command8"), text::Form1_Command8);
    EventLog = chain::named<chain::EventLogView>(QStringLiteral("EventLog"));

    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5})
        chain::keepOneLine(box);
    // Room for a folder path and a few file names, whatever the font and scaling.
    for (QLineEdit* box : {Text1, Text2, Text3, Text4})
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 48);
    for (QListWidget* list : {List1, List2})
        list->setMinimumHeight(list->fontMetrics().lineSpacing() * 8);
    Text5->setMaximumWidth(Text5->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    // The initial choices; start-up changes them only for the codes it knows.
    Check1->setChecked(true);
    Option1->setChecked(true);
    Option3->setChecked(true);
    // The status line keeps its height while it is empty.
    Label9->setMinimumHeight(Label9->fontMetrics().lineSpacing() + 4);
}

void Form1::buildLayout() {
    auto* folders = new QGridLayout;
    folders->setColumnStretch(1, 1);
    const QList<std::tuple<QLabel*, QLineEdit*, QPushButton*>> rows = {{Label1, Text1, Command1},
                                                                       {Label2, Text2, Command2},
                                                                       {Label5, Text3, Command3},
                                                                       {Label3, Text4, Command4}};
    for (int row = 0; row < rows.size(); ++row) {
        folders->addWidget(std::get<0>(rows[row]), row, 0);
        folders->addWidget(std::get<1>(rows[row]), row, 1);
        folders->addWidget(std::get<2>(rows[row]), row, 2);
    }

    auto* options = new QHBoxLayout;
    options->addWidget(Check1);
    options->addSpacing(24);
    options->addWidget(Label4);
    options->addWidget(Text5);
    options->addWidget(Label8);
    options->addStretch(1);

    auto* size = new QHBoxLayout(Frame1);
    size->addWidget(Option1);
    size->addWidget(Option2);
    size->addSpacing(12);
    size->addWidget(Command5);
    auto* rate = new QHBoxLayout(Frame2);
    rate->addWidget(Option3);
    rate->addWidget(Option4);
    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    frames->addStretch(1);

    auto* waiting = new QVBoxLayout;
    waiting->addWidget(Label6);
    waiting->addWidget(List1, 1);
    auto* finished = new QVBoxLayout;
    finished->addWidget(Label7);
    finished->addWidget(List2, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(waiting);
    lists->addLayout(finished);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label9, 1);
    bottom->addWidget(m_runDisplay->label());
    bottom->addWidget(Command6);
    bottom->addWidget(Command7);
    bottom->addWidget(Command8);

    EventLog->setMinimumHeight(EventLog->fontMetrics().lineSpacing() * 6);
    EventLog->setMaximumHeight(EventLog->fontMetrics().lineSpacing() * 8);

    auto* page = new QVBoxLayout(this);
    page->addLayout(folders);
    page->addLayout(options);
    page->addLayout(frames);
    page->addLayout(lists, 1);
    page->addLayout(bottom);
    page->addWidget(EventLog);
}

void Form1::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_Click);
    connect(Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &Form1::Option3_Click);
    connect(Option4, &QRadioButton::clicked, this, &Form1::Option4_Click);

    m_engine->setBoxes([this] { return values().boxes; });
    connect(m_engine, &JobEngine::report, m_log, &chain::EventLog::add);
    connect(m_engine, &JobEngine::listsChanged, this, &Form1::showLists);
    connect(m_engine, &JobEngine::statusChanged, Label9, &QLabel::setText);
    connect(m_engine, &JobEngine::intervalCorrected, Text5, &QLineEdit::setText);
    m_runDisplay->follow([this] { return Label9->text(); }, [this] { return m_engine->progressText(); });
    m_runDisplay->setRunning(true); // watching from the start
    connect(m_engine, &JobEngine::stateChanged, this, [this](JobEngine::State state) {
        m_runDisplay->setRunning(state != JobEngine::State::Stopped);
        Command7->setText(m_engine->Command7Caption());
        if (state == JobEngine::State::Running)
            ShowRunning();
        else
            ShowStopped();
    });
    connect(m_engine, &JobEngine::timerChanged, this, [this](std::optional<int> intervalMs) {
        if (intervalMs)
            Timer1->arm(*intervalMs);
        else
            Timer1->disarm();
    });
    connect(m_engine, &JobEngine::quitRequested, this, &Form1::Command8_Click);
}

// Puts the settings into the controls and lists the folders when the window opens.
void Form1::Form_Load() {
    Text1->setText(m_settings.text(slot::M2vFolder));
    Text2->setText(m_settings.text(slot::AviFolder));
    Text3->setText(m_settings.text(slot::StorageFolder));
    Text4->setText(m_settings.text(slot::VirtualDubFolder));
    // When the .m2v is deleted, the storage folder (still used for the .wav) can't be edited.
    Check1->setChecked(chain::wholeNumber(m_settings.text(slot::DeleteFlag)) == 1);
    Text3->setEnabled(!Check1->isChecked());
    Command3->setEnabled(!Check1->isChecked());
    Text5->setText(m_settings.text(slot::Interval));
    Label9->clear();
    if (m_settings.text(slot::PictureSize) == u"1")
        Option1->setChecked(true);
    else if (m_settings.text(slot::PictureSize) == u"2")
        Option2->setChecked(true);
    if (m_settings.text(slot::FrameRate) == u"1")
        Option3->setChecked(true);
    else if (m_settings.text(slot::FrameRate) == u"2")
        Option4->setChecked(true);
    m_engine->M2vList();
    m_engine->AviList();
}

void Form1::Timer1_Timer() {
    Timer1->disarm();
    if (const std::optional<int> next = m_engine->step())
        Timer1->arm(*next);
}

bool Form1::chooseFolderInto(QLineEdit* box, int folderSlot, const QString& title) {
    QString remembered; // the dialog's initial name, kept for this click only
    const std::optional<QString> folder =
        chain::ChooseFolder(m_dialogs, title, m_settings.text(folderSlot), remembered);
    if (!folder)
        return false;
    box->setText(chain::trimBlanks(*folder));
    m_settings.set(folderSlot, box->text());
    return true;
}

void Form1::Command1_Click() {
    if (chooseFolderInto(Text1, slot::M2vFolder, text::Command1FolderTitle))
        m_engine->M2vList();
}

void Form1::Command2_Click() {
    if (chooseFolderInto(Text2, slot::AviFolder, text::Command2FolderTitle))
        m_engine->AviList();
}

void Form1::Command3_Click() {
    chooseFolderInto(Text3, slot::StorageFolder, text::Command3FolderTitle);
}

void Form1::Command4_Click() {
    chooseFolderInto(Text4, slot::VirtualDubFolder, text::Command4FolderTitle);
}

void Form1::Command5_Click() {
    // The engine goes on meanwhile, with the table as it was until "ＯＫ".
    Form3 registry(m_settings.text(slot::StartFolder), m_patterns, m_dialogs, this);
    registry.exec();
}

void Form1::Command6_Click() {
    // A tick that falls due while the check's boxes or the notice are up runs afterwards.
    Timer1->hold();
    const StoreOutcome outcome = Store(values(), m_settings, m_dialogs);
    if (outcome.Text5)
        Text5->setText(*outcome.Text5);
    if (outcome.stored) {
        Form2 notice(m_settings, this);
        notice.exec();
    }
    Timer1->release();
}

void Form1::Command7_Click() {
    Timer1->hold(); // while the check's boxes are up
    m_engine->Command7_Click();
    Timer1->release();
}

void Form1::Command8_Click() {
    m_settings.set(slot::Abort, QStringLiteral("1"));
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_engine->state() == JobEngine::State::Running) {
        m_dialogs.message(text::RunningTitle, text::RunningText);
        event->ignore();
        return;
    }
    // Nothing is saved; a running VirtualDub keeps running and pellavo.run keeps its job.
    m_settings.set(slot::Abort, QStringLiteral("1"));
    Timer1->disarm();
    event->accept();
}

void Form1::Check1_Click() {
    Text3->setEnabled(!Check1->isChecked());
    Command3->setEnabled(!Check1->isChecked());
    m_settings.set(slot::DeleteFlag, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::Option1_Click() {
    m_settings.set(slot::PictureSize, code(Option1->isChecked()));
}

void Form1::Option2_Click() {
    m_settings.set(slot::PictureSize, code(!Option2->isChecked()));
}

void Form1::Option3_Click() {
    m_settings.set(slot::FrameRate, code(Option3->isChecked()));
}

void Form1::Option4_Click() {
    m_settings.set(slot::FrameRate, code(!Option4->isChecked()));
}

WindowValues Form1::values() const {
    return {{Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()},
            Check1->isChecked(),
            code(!Option2->isChecked()),
            code(!Option4->isChecked())};
}

void Form1::ShowRunning() {
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Command1, Text2, Command2, Text3, Command3,
                                                      Text4, Command4, Text5, List1, List2, Command6,
                                                      Command8, Check1, Option1, Option2, Option3, Option4})
        w->setEnabled(false);
}

void Form1::ShowStopped() {
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Command1, Text2, Command2, Text4, Command4,
                                                      Text5, List1, List2, Command6, Command8, Check1,
                                                      Option1, Option2, Option3, Option4})
        w->setEnabled(true);
    const bool keep = m_settings.text(slot::DeleteFlag) == u"0";
    Text3->setEnabled(keep);
    Command3->setEnabled(keep);
}

void Form1::showLists() {
    List1->clear();
    for (const QString& name : m_engine->List1()) {
        auto* item = new QListWidgetItem(name, List1);
        if (m_engine->isPassedOver(name)) {
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            item->setToolTip(PassedOverTip);
        }
    }
    List2->clear();
    List2->addItems(m_engine->List2());
}

} // namespace pellavo
