#pragma once

#include "InputCheck.h"
#include "JobWrite.h"
#include "PatternTable.h"
#include "RandomSource.h"
#include "Slots.h"

#include "Dialogs.h"
#include "FileIdentity.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "RunNotices.h"
#include "RunProgress.h"
#include "RunRecord.h"
#include "ToolHandOver.h"
#include "ToolWatch.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <functional>
#include <optional>

namespace pellavo {

// Pellavo's job engine: converts the waiting .m2v files of List1 one at a time through
// VirtualDub.exe, and once no tool of the chain runs, gives the new .avi its name and
// files the .m2v and .wav away. It knows no widget: one timer tick is one call of
// step(), and what changed is told through signals.
class JobEngine : public QObject {
    Q_OBJECT
  public:
    // Watching: from start-up until the first start or stop, the timer running.
    // Running: started with "開始". Stopped: the timer off.
    enum class State { Watching, Running, Stopped };
    static constexpr int FirstIntervalMs = 10440; // the first tick after start-up
    static constexpr int StartIntervalMs = 3000;  // the first tick after "開始"
    // The record, in the start folder, of the job under way from VirtualDub's start until
    // its file is finished off: a Pellavo started again after a kill, a crash or a
    // headless stop finishes the job off, so the .m2v never keeps its temporary name.
    static inline const QString RunRecordFile = QStringLiteral("pellavo.run");

    JobEngine(SettingTable& settings, const PatternTable& patterns, chain::ProcessWatch& watch,
              chain::Launcher& launcher, RandomSource& random, chain::Dialogs& dialogs,
              const chain::RunSeams& seams = {}, QObject* parent = nullptr);

    // One timer tick (Timer1_Timer). Returns the next interval in ms, or nothing when
    // the timer is to stay off.
    std::optional<int> step();
    // The start/stop button: starts after the input check of the boxes passes, or
    // stops. Returns the first interval when it started the engine.
    std::optional<int> Command7_Click();
    // Stops as "中止" does; a running VirtualDub keeps running, its file stays under way.
    void stop();
    // Where the input check gets the boxes' texts; by default the settings themselves.
    void setBoxes(std::function<InputBoxes()> boxes) { m_boxes = std::move(boxes); }

    // Lists the .m2v files of the m2v folder into List1, the .avi files of the avi
    // folder into List2; listsChanged() tells when that changed them.
    void M2vList();
    void AviList();
    // Takes up the job that the run record names, left by a Pellavo that ended while
    // VirtualDub ran: the next tick with no tool running finishes it off. A record that
    // can't be used is set aside under another name and reported.
    void resumeRecordedRun();

    State state() const { return m_state; }
    QString Command7Caption() const;
    const QStringList& List1() const { return m_list1; }
    const QStringList& List2() const { return m_list2; }
    // Whether a file of List1 failed and is left alone until the next start.
    bool isPassedOver(const QString& name) const { return m_passedOver.contains(name); }
    // How many files failed in this run: passed over, or under way with a finish-off that
    // waits for the next start (for the exit status).
    qsizetype failedCount() const { return m_passedOver.size() + (m_finishOffWaits ? 1 : 0); }
    // The status line.
    const QString& Label9() const { return m_label9; }
    // The elapsed time and .avi size of the VirtualDub run under way, for beside the
    // status line; empty when none is.
    QString progressText() const { return m_progress.text(); }
    // A VirtualDub run has been started and its file not yet finished off (the run flag).
    bool runPending() const;
    // Nothing left to do: no run pending and no file of List1 left to take, or a run
    // whose finish-off waits for the next start.
    bool isIdle() const;
    // Whether the settings name the m2v folder as the storage folder too, so that nothing
    // can be filed away: told once (again after each start) while it lasts.
    bool storageRefused();
    // Is any tool of the chain running? A process list that can't be read counts as yes.
    bool BonAct() { return m_tools.anyToolBusy(); }

  Q_SIGNALS:
    // One line for the event log: a start of VirtualDub, a rename, a move, a failure.
    void report(const QString& text);
    void stateChanged(JobEngine::State state);
    // List1 or List2, or the passed-over files among them, changed.
    void listsChanged();
    void statusChanged(const QString& label9);
    // Command7_Click or stop() started the timer (with this interval) or stopped it.
    void timerChanged(std::optional<int> intervalMs);
    // The input check corrected the interval box to this text.
    void intervalCorrected(const QString& text5);
    // A pattern file can't be read: the program ends as "キャンセル" ends it.
    void quitRequested();

  private:
    std::optional<int> stepOnce();
    // The files of the job under way as they were when it started: the .m2v and .wav, and
    // the .avi once VirtualDub has written it and before it takes its final name. Only
    // these files are renamed, filed away or deleted; another file under one of their
    // names is left alone.
    struct JobFiles {
        QDateTime began;
        chain::FileIdentity m2v;
        chain::FileIdentity wav;
        std::optional<chain::FileIdentity> avi;
        // Runs of this file just before this one that a stop cut short before VirtualDub
        // wrote anything (kept in the run record).
        int interruptions = 0;
        bool recovered = false; // taken up from the run record at this start
    };
    // How a step on one of the job's own files went. Gone: the file is neither where it was
    // nor where it was to go (the user took it, or another file has its name).
    enum class Outcome { Done, Failed, Gone };

    // Starts the next file inside the hand-over lock of the VirtualDub folder.
    void handOver(const QString& name);
    // Takes the temporary .m2v of the job under way out of List1.
    void leaveOutJobUnderWay();
    chain::RunRecord runRecord() const;
    std::optional<QString> nextFile() const;
    // Whether M2vList and AviList would find the lists as they are, with nothing to
    // report: the folders hold the same files and listed without trouble.
    bool foldersAsListed() const;
    void startFile(const QString& name);
    QString folderProblem() const;
    void finishOff();
    // Whether the job under way never reached VirtualDub: its .m2v still has its own name,
    // and no .avi was written or recorded.
    bool neverHandedOver(const JobLines& job) const;
    // Whether a job taken up from the run record, its own .m2v named back, was cut short before
    // VirtualDub wrote anything (no .avi under the temporary name, or an empty one, which
    // is removed). Once in a row it is converted again at this start, not failed.
    bool interruptedWithoutOutput(const JobLines& job);
    // Removes the run record and ends the job under way.
    void forgetJob();
    // Names the .avi, then files the .wav and the .m2v (now at `m2vNow`) away or deletes
    // the .m2v; what fails stays and is passed over.
    void fileAway(const JobLines& job, const QString& m2vNow);
    bool nameTheAvi(const JobLines& job);
    // Moves or deletes one of the job's files, found by its identity: a move found done
    // (the file already where it was to go) counts as done.
    Outcome move(const QString& from, const QString& to, const chain::FileIdentity& identity);
    Outcome remove(const QString& path, const chain::FileIdentity& identity);
    // Renames a file the job has no identity for (VirtualDub's new .avi).
    bool move(const QString& from, const QString& to);
    // Writes the run record of the job under way; empty, or why it could not.
    QString saveRecord(const JobLines& job, const JobFiles& files) const;
    // Why a job read back from the run record can't be trusted; empty when it can.
    QString recordProblem(const JobLines& job) const;
    void passOver(const QString& name, const QString& why = {});
    QStringList listing(int folderSlot, const QString& label, const QString& extension,
                        std::optional<QString>& reported);
    int intervalMs();
    void setState(State state);
    void setLabel9(const QString& text);

    SettingTable& m_settings;
    const PatternTable& m_patterns;
    chain::ToolWatch m_tools;
    chain::Launcher& m_launcher;
    RandomSource& m_random;
    chain::Dialogs& m_dialogs;
    chain::ToolHandOver m_handOver;
    std::function<InputBoxes()> m_boxes;

    State m_state = State::Watching;
    QStringList m_list1;
    QStringList m_list2;
    QSet<QString> m_passedOver;
    // Files whose last run was cut short with no output, and how often in a row: carried
    // into the record of their next run.
    QHash<QString, int> m_interruptions;
    bool m_reportedStorage = false;
    bool m_finishOffWaits = false; // the job under way can't be finished off before the next start
    QString m_label9;
    int m_jobError = 0;
    std::optional<JobLines> m_job;   // the job under way while the run flag is 1
    std::optional<JobFiles> m_files; // its files, with it
    std::optional<QString> m_reportedList1Failure;
    std::optional<QString> m_reportedList2Failure;
    std::optional<QString> m_reportedInterval;
    chain::RunProgress m_progress; // the VirtualDub run started by this engine
    chain::RunNotices m_notices;
};

} // namespace pellavo
