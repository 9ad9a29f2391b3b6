#pragma once

#include "JobLists.h"
#include "Slots.h"

#include "FileIdentity.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "RunNotices.h"
#include "RunProgress.h"
#include "ToolHandOver.h"
#include "ToolWatch.h"

#include <QObject>
#include <QSet>
#include <optional>

namespace orvane {

// The status line while a job runs (its name, then this), and while nothing is left.
inline const QString CompressingTail = QStringLiteral(" を圧縮中です。");
inline const QString WaitingStatus = QStringLiteral("　　待機中");
// The title of the message that refuses "開始".
inline const QString StartRefusedTitle = QStringLiteral("フォルダ指定確認");

// Orvane's batch engine: hands the jobs files of the job list to VirtualDub one after
// another (the file's text into VirtualDub.jobs, then VirtualDub.exe /x /r), files each
// one away at the step after its start, and waits while any tool of the chain runs. It
// knows no widget: one timer tick is one call of step(), and what changed is told through
// signals and the job lists.
class BatchEngine : public QObject {
    Q_OBJECT
  public:
    static constexpr int StepMs = 10000;        // after "開始", while a tool runs, after a start
    static constexpr int JobsAppearedMs = 1000; // the list was empty, the folder wasn't
    static constexpr int NothingLeftMs = 60000; // nothing to do: look at the folder again later

    BatchEngine(StateTable& state, JobLists& lists, chain::ProcessWatch& watch, chain::Launcher& launcher,
                const chain::RunSeams& seams = {}, QObject* parent = nullptr);

    // Why "開始" must not start the batch, for a message; empty when it may. With the delete
    // option off, a jobs-move folder that is the jobs folder is refused: no finished jobs
    // file could be moved there, and each would run again at every start.
    QString startProblem() const;
    // "開始": the batch runs, every jobs file passed over gets another chance. Returns the
    // interval before the first step.
    int start();
    // "中止": the batch stops. VirtualDub keeps running and every file stays as it is; a
    // jobs file handed over (slots 10 and 11) is filed away by the first step after the
    // next start.
    void stop();
    // One step (Timer1_Timer). Returns the next interval in ms; nothing when the batch isn't
    // running or when the program is to end (the close option, with no jobs file left).
    std::optional<int> step();

    bool isRunning() const { return m_running; }
    // The last step found nothing left to do: no tool running, no jobs file to hand over.
    bool isIdle() const { return m_running && m_idle; }
    // The status line (Label5).
    const QString& status() const { return m_status; }
    // The elapsed time and output size of the job VirtualDub runs, for beside the status
    // line; empty when none is.
    QString progressText() const { return m_progress.text(); }
    // How many jobs files failed since the start and are passed over (for the exit status).
    qsizetype passedOverCount() const { return m_passedOver.size(); }
    // Is BonTsDemux.exe, VirtualDubMod.exe or VirtualDub.exe running? A process list
    // that can't be read counts as running, and is reported once.
    bool BonAct() { return m_tools.anyToolBusy(); }

  Q_SIGNALS:
    void statusChanged(const QString& text);
    void runningChanged(bool running);
    // One line for the event log.
    void report(const QString& text);

  private:
    // Hands the first jobs file that can go to VirtualDub, inside the hand-over lock of the
    // VirtualDub folder. True when one went, or when the lock or a tool makes it wait.
    bool handOverNext();
    void fileAway();
    void lookAtFolder();
    // The job handed over last has ended (no tool runs now): told with its duration.
    void jobEnded();
    // Hands one jobs file to VirtualDub; false (reported, passed over) when that failed.
    bool startJob(const QString& name);
    QString commandLine() const;
    void passOver(const QString& name, const QString& why);
    void setStatus(const QString& text);

    StateTable& m_state;
    JobLists& m_lists;
    chain::ToolWatch m_tools;
    chain::Launcher& m_launcher;
    chain::ToolHandOver m_handOver;

    bool m_running = false;
    bool m_idle = false;
    QString m_status;
    QSet<QString> m_passedOver; // jobs files whose step failed, left alone until the next start
    // The jobs file handed to VirtualDub (slots 10 and 11 name it) as it was when it was
    // read: only that file is filed away, never a new one put under its name since.
    std::optional<chain::FileIdentity> m_handed;
    chain::RunProgress m_progress; // the job handed to VirtualDub last, until VirtualDub ends
    QString m_runName;             // its jobs file
    chain::RunNotices m_notices;
};

} // namespace orvane
