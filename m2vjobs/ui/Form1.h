#pragma once

#include "JobEngine.h"
#include "PatternTable.h"
#include "RandomSource.h"
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

namespace pellavo {

struct WindowValues;

// Pellavo's main window: the four folders, the delete box, the check interval, the
// picture-size and frame-rate choices, the waiting and finished files, the status line
// and the buttons that store, start and stop the job engine and quit; with the event log
// at the bottom. The engine works from the window's opening on.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // `settings` and `patterns` are loaded by start-up; `startNotes` are what start-up has
    // to tell, shown in the event log pane after the earlier history of `log`, the
    // program's log file (without one, events are only shown).
    Form1(SettingTable& settings, PatternTable& patterns, chain::ProcessWatch& watch,
          chain::Launcher& launcher, RandomSource& random, chain::Dialogs& dialogs,
          const QStringList& startNotes = {}, chain::EventLog* log = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    // One tick of the engine timer, now, as the timer would run it.
    void Timer1_Timer();
    bool isTimerArmed() const { return Timer1->isArmed(); }
    JobEngine& engine() { return *m_engine; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void connectHandlers();
    void Form_Load();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Check1_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

    // Runs the folder choice for one folder box and its slot; true when the box got a
    // new folder.
    bool chooseFolderInto(QLineEdit* box, int folderSlot, const QString& title);
    // The values the input check and the store read from the window.
    WindowValues values() const;
    // The layouts while the engine runs, and while it watches or is stopped.
    void ShowRunning();
    void ShowStopped();
    // Shows the engine's List1 and List2; files passed over until the next start are grey.
    void showLists();

    SettingTable& m_settings;
    PatternTable& m_patterns;
    chain::Dialogs& m_dialogs;
    chain::EventLog* m_log;          // the program's, or one of our own that writes no file
    chain::RunDisplay* m_runDisplay; // before the engine, which tells its notices there
    JobEngine* m_engine;
    chain::StepDriver* Timer1;

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command2;
    QLabel* Label5;
    QLineEdit* Text3;
    QPushButton* Command3;
    QLabel* Label3;
    QLineEdit* Text4;
    QPushButton* Command4;
    QCheckBox* Check1;
    QLabel* Label4;
    QLineEdit* Text5;
    QLabel* Label8;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command5;
    QGroupBox* Frame2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QLabel* Label6;
    QListWidget* List1;
    QLabel* Label7;
    QListWidget* List2;
    QLabel* Label9;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    chain::EventLogView* EventLog;
};

} // namespace pellavo
