#pragma once

#include "BatchEngine.h"
#include "JobLists.h"
#include "Slots.h"

#include "Dialogs.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "StepDriver.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace chain {
class EventLog;
class EventLogView;
class RunDisplay;
} // namespace chain

namespace orvane {

// Orvane's one window: the three folders, the two options, the job list with the outputs
// of the selected jobs file, and the buttons that re-read and edit the list, save the
// settings, start and stop the batch, and quit; with the event log at the bottom.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // The event log pane shows the earlier history of `log`, the program's log file, and
    // each new event; without one, events are only shown.
    Form1(const QString& startFolder, chain::ProcessWatch& watch, chain::Launcher& launcher,
          chain::Dialogs& dialogs, chain::EventLog* log = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    StateTable& state() { return m_state; }
    BatchEngine& engine() { return *m_engine; }
    // One tick of Timer1, now, as the timer would run it.
    void Timer1_Timer();
    bool isTimerArmed() const { return m_timer->isArmed(); }

    // The two layouts of the batch, and the one that follows the delete option.
    void RunLayout();
    void IdleLayout();
    void DeleteOptionLayout();
    // The controls the running layout disables.
    QList<QWidget*> idleOnlyControls() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void connectHandlers();
    void Form_Load(const QString& startFolder);

    void Command1_Click();
    void Command2_Click();
    void Command8_Click();
    void Check1_Click();
    void Check2_Click();
    void Command7_Click();
    void Command6_Click();
    void List1_Click(int row);
    void Command5_Click();
    void Command3_Click();
    void Command4_Click();

    // Runs the folder choice for one folder box; true when its slot changed.
    bool chooseFolderInto(QLineEdit* box, int folderSlot, const QString& title, const QString& filter = {});
    std::optional<int> tick();
    void showJobs();
    void showSelection();
    void showOutputs();

    chain::Dialogs& m_dialogs;
    chain::EventLog* m_log; // the program's, or one of our own that writes no file
    StateTable m_state;
    JobLists* m_lists;
    chain::RunDisplay* m_runDisplay; // before the engine, which tells its notices there
    BatchEngine* m_engine;
    chain::StepDriver* m_timer;
    bool m_showingLists = false; // the list boxes are being filled from the data, not clicked

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command2;
    QLabel* Label3;
    QLineEdit* Text3;
    QPushButton* Command8;
    QCheckBox* Check2;
    QCheckBox* Check1;
    QListWidget* List1;
    QListWidget* List2;
    QPushButton* Command7;
    QPushButton* Command6;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QLabel* Label6;
    QLabel* Label5;
    chain::EventLogView* EventLog;
};

} // namespace orvane
