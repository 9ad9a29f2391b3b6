#pragma once

#include "ConversionEngine.h"
#include "IndividualList.h"
#include "Keywords.h"
#include "Slots.h"

#include "Dialogs.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "StepDriver.h"

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace chain {
class EventLog;
class EventLogView;
class RunDisplay;
} // namespace chain

namespace kestrune {

// Kestrune's main window: the three folders, the mode, the lists of individual
// conversion, the switches and the buttons that open the other windows, save, start and
// stop the engine, and quit; with the event log at the bottom.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // `startNotes` are what start-up has to tell (a settings file it could not use, for
    // instance): the event log pane shows them after the earlier history of `log`, the
    // program's log file (without one, events are only shown).
    Form1(Settings& settings, Keywords& keywords, chain::ProcessWatch& watch, chain::Launcher& launcher,
          chain::Dialogs& dialogs, const QStringList& startNotes = {}, chain::EventLog* log = nullptr,
          QWidget* parent = nullptr);
    ~Form1() override;

    // The start/stop button's running flag: "0" stopped, "1" running.
    QString tag() const;
    // One tick of the engine timer, now, as the timer would run it.
    void Timer1_Timer();
    bool isTimerArmed() const { return m_timer->isArmed(); }
    ConversionEngine& engine() { return *m_engine; }

    // The three layouts of the controls: idle in auto mode, idle in individual mode, and
    // while the engine runs.
    void ShowAutoIdle();
    void ShowIndividualIdle();
    void ShowRunning();
    // The controls that the running layout disables and the individual idle layout enables.
    QList<QWidget*> idleOnlyControls() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void connectHandlers();
    void Form_Load();

    void Option1_Click();
    void Option2_Click();
    void Check1_Click();
    void Check2_Click();
    void Text5_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void List1_Click(int row);
    void List2_Click(int row);

    // Runs the folder choice for one folder box; true when the box got a new folder.
    bool chooseFolderInto(QLineEdit* box, int folderSlot, bool trim);
    // One engine step; when the engine has stopped, shows the stopped state.
    std::optional<int> tick();
    // Caption, tag, label and layout of the stopped engine.
    void showStopped();
    void onEngineStopped();
    // Shows the engine's remaining rows in both lists.
    void ShowTable();
    // Fills both list boxes from the individual list.
    void showList();
    void showRunningLabel();
    void setTag(const QString& tag);

    Settings& m_settings;
    Keywords& m_keywords;
    chain::Dialogs& m_dialogs;
    chain::EventLog* m_log;          // the program's, or one of our own that writes no file
    chain::RunDisplay* m_runDisplay; // before the engine, which tells its notices there
    ConversionEngine* m_engine;
    chain::StepDriver* m_timer;
    IndividualList m_list;
    bool m_syncingLists = false;

    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QCheckBox* Check1;
    QPushButton* Command12;
    QLabel* Label2;
    QListWidget* List1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command10;
    QLabel* Label8;
    QLabel* Label7;
    QLineEdit* Text2;
    QPushButton* Command9;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command5;
    QPushButton* Command6;
    QLabel* Label4;
    QLineEdit* Text4;
    QLabel* Label5;
    QLabel* Label6;
    QListWidget* List2;
    QLabel* Label9;
    QLineEdit* Text5;
    QLabel* Label10;
    QCheckBox* Check2;
    QPushButton* Command13;
    QPushButton* Command11;
    QPushButton* Command7;
    QPushButton* Command8;
    chain::EventLogView* EventLog;
};

} // namespace kestrune
