#pragma once

#include "ConvertName.h"
#include "FileTable.h"
#include "Keywords.h"
#include "Slots.h"

#include "Launcher.h"
#include "ProcessWatch.h"
#include "RunNotices.h"
#include "RunProgress.h"
#include "RunRecord.h"
#include "ToolHandOver.h"
#include "ToolWatch.h"
#include "UnfiledRecordings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <optional>

namespace kestrune {

// Kestrune's conversion engine: takes recordings from the source folder (auto mode) or
// from the hand-picked lists (individual mode), runs BonTsDemux.exe on one at a time,
// and files each recording away once the demuxer has gone. It knows no widget: one
// timer tick is one call of step(), and what changed is told through signals.
class ConversionEngine : public QObject {
    Q_OBJECT
  public:
    ConversionEngine(Settings& settings, const Keywords& keywords, chain::ProcessWatch& watch,
                     chain::Launcher& launcher, const chain::RunSeams& seams = {}, QObject* parent = nullptr);

    // Why the engine can't be started with these folders: an empty folder setting (it
    // would mean the root), one with control characters, or one naming a folder that
    // doesn't exist, named. Empty when it can.
    // `sourceFolder` is the source folder box's text, which individual mode uses.
    QString startProblem(const QString& sourceFolder) const;
    // Starts the engine as the start button does. In individual mode the rows come from
    // the lists, their paths from `sourceFolder` (the source folder box's text); with no
    // rows, or with a start problem, nothing happens. Returns the first interval in ms,
    // or nothing when not started.
    std::optional<int> start(const QString& sourceFolder, const QStringList& names,
                             const QStringList& outputNames);
    // Stops the engine. A running demuxer keeps running; the table and the pending flag
    // stay as they are.
    void stop();
    // Tells (as a report) of a run that an earlier Kestrune started and did not finish
    // off, as its run record shows; the next start takes it up, or sets the record aside
    // when it doesn't hold up. For the window opening.
    void announceUnfinishedRun();
    // Whether a run record of an earlier Kestrune, or a converted recording still to be
    // filed away, is there: a start in individual mode with no rows still takes it up and
    // finishes it off.
    bool hasRecordedRun() const;
    // One timer tick. Returns the next interval in ms, or nothing when the engine stopped.
    std::optional<int> step();

    bool isRunning() const { return m_running; }
    bool isAutoMode() const;
    // Running with no row left and no demuxer run pending.
    bool isIdle() const;
    const FileTable& table() const { return m_table; }
    // The elapsed time and output size of the demuxer run under way, for the status line;
    // empty when none is.
    QString progressText() const { return m_progress.text(); }
    int waitSeconds() const { return m_waitSeconds; }
    // How many recordings failed since the start and are passed over (for the exit status).
    qsizetype passedOverCount() const { return m_passedOver.size(); }

    // Is BonTsDemux.exe running? A process list that can't be read counts as running, and
    // is reported once. (An auto tick asks this and VirtualAct, whether VirtualDubMod.exe
    // or VirtualDub.exe runs, in one question.)
    bool BonAct() { return m_tools.demuxerBusy(); }

  Q_SIGNALS:
    // The rows changed: the lists should show table() again.
    void tableChanged();
    void runningChanged(bool running);
    // One line for the event log: a started or finished conversion, a rename, a failure.
    void report(const QString& text);

  private:
    std::optional<int> stepOnce();
    std::optional<int> rearm();
    std::optional<int> armAfter(int seconds);
    void finishRun();
    enum class Filing {
        Filed,
        Unfiled, // converted (its output proven), but not moved: to be filed at a later start
        Refused, // not shown to be converted, or no longer the file that was: left alone
    };
    // Moves a finished row's recording to the after-conversion folder when this run wrote
    // its output (or a remembered one's run did) and the recording is still the file the
    // demuxer was started on; otherwise reports it and passes it over. A converted
    // recording whose move fails is reported and stays unfiled; with the after-conversion
    // folder equal to its own folder it stays unfiled without a report (the start has
    // told why).
    Filing fileAway(const FileRow& row);
    // Keeps a converted recording that wasn't filed in the list of unfiled recordings, or
    // takes one out of it once it is filed or no longer what was converted.
    void rememberUnfiled(const FileRow& row);
    void forgetUnfiled(const QString& path);
    // Takes up the recordings converted at earlier starts but not filed: each that is
    // still the very file becomes a launched row, filed at the first tick without a
    // demuxer; with the after-conversion folder equal to the source folder they stay
    // where they are, and none is converted again.
    void takeUpUnfiled(const QString& sourceFolder);
    // Whether the after-conversion folder is the source folder in use, where a converted
    // recording can't be filed away.
    bool afterFolderIsSource(const QString& sourceFolder) const;
    // Prepares and launches the row at `index` inside the hand-over lock of the demuxer's
    // folder, once the busy check made again inside the lock finds the tools idle.
    void handOver(std::size_t index);
    // Takes up the new recordings of the source folder; true when rows were added. The
    // folder is listed again only when its stamp or the rules of the keyword filter have
    // changed, or a row has gone from the table, since the last listing.
    bool ScanFolder();
    // Looks at the size of every waiting row: one that kept a size above 0 since the last
    // check becomes ready; one that is gone is passed over.
    void checkSizes();
    // Checks a chosen row and gives it its converted name; on failure it is passed over.
    bool prepare(std::size_t index);
    // The row's output base name through the character table (count 0: unchanged).
    // Nothing, and a report, when the table makes a name no file may carry.
    std::optional<ConvertedName> converted(const FileRow& row);
    // Gives the row its converted name, renaming the recording.
    bool FiKakunin(FileRow& row, const ConvertedName& name);
    // The output files of a demux kind for an output base path.
    static QStringList outputPaths(const QString& outputBase, const QString& demuxKind);
    // The run record in the program folder: what finishing off a started run needs.
    chain::RunRecord runRecord() const;
    UnfiledRecordings unfiledList() const;
    // Whether a recorded path lies in the source folder setting or in `sourceFolder`
    // (the source folder box's text, which individual mode uses).
    bool inSourceFolder(const QString& path, const QString& sourceFolder) const;
    // Why a recorded run can't be used as it stands (its fields, folders, demux kind and
    // identity), or empty. `sourceFolder` is the source folder box's text, which may
    // differ from the setting in individual mode.
    QString recordProblem(const chain::RunRecord::Run& run, const QString& sourceFolder) const;
    // Puts the run an earlier Kestrune recorded back into the table as launched, so the
    // first tick without a demuxer finishes it off. A record whose recording already lies
    // in the after-conversion folder (the very file) is removed; a damaged or doubtful
    // one, one whose recording is gone, or one whose name now holds another file, is
    // reported and set aside, and no file it names is touched.
    void takeUpRecordedRun(const QString& sourceFolder);
    // Removes the run record once its run is finished off or undone.
    void forgetRun();
    // Why the row may not be handed this output name: it is another row's of this run,
    // or an output file of the chosen kind is there already. Empty when it may.
    QString outputProblem(const FileRow& row, const QString& outputName) const;
    void undoRename(FileRow& row);
    bool launch(std::size_t index);
    void passOver(std::size_t index, const QString& why);

    Settings& m_settings;
    const Keywords& m_keywords;
    chain::ToolWatch m_tools;
    chain::Launcher& m_launcher;
    chain::ToolHandOver m_handOver; // one demuxer start at a time in the program folder

    bool m_running = false;
    FileTable m_table;
    int m_waitSeconds = 0;
    int m_intervalMs = 0;
    QSet<QString> m_passedOver; // names whose step failed, left alone until the next start
    // Converted recordings that stay in the source folder, it being the after-conversion
    // folder too: never taken up again.
    QSet<QString> m_keptInPlace;
    QSet<QString> m_usedOutputs;            // output base paths handed to the demuxer since the start
    QList<chain::RunRecord::Run> m_unfiled; // converted recordings not filed away yet
    bool m_scanFailureReported = false;
    chain::RunProgress m_progress; // the demuxer run started by this engine
    chain::RunNotices m_notices;
    // What the last listing of the source folder was sifted by.
    struct ListingKey {
        QString folder;
        bool filter = false;
        QStringList keywords;
        bool operator==(const ListingKey&) const = default;
    };
    // The last listing that can be relied on while the folder keeps its stamp.
    struct Listing {
        ListingKey key;
        chain::FolderStamp stamp;
        QElapsedTimer age;
    };
    std::optional<Listing> m_lastListing;
};

} // namespace kestrune
