#include "JobEngine.h"

#include "Texts.h"
#include "WavLength.h"

#include "CommandText.h"
#include "FileOps.h"
#include "RunRecord.h"
#include "WholeNumber.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace pellavo {

namespace {
constexpr int FallbackIntervalMs = 20000; // for an interval that is no number, or not above 0
constexpr int ShortestIntervalMs = 1000;  // an interval below a second is brought up to this
// Filesystems keep write times coarser than our clock (FAT to 2 s), so an output written
// just after the start may carry a time a little before it.
constexpr qint64 WriteTimeSlackMs = 2000;
constexpr int TemporaryNameLength = 20; // the letters of a temporary name, as JobWrite draws them
// The run record's field for an .avi not written yet.
const QString NoIdentity = QStringLiteral("-");

// The fields of a job that the run record keeps, in the order of its lines.
const QList<QString JobLines::*> RecordedFields = {
    &JobLines::listedName,   &JobLines::wavName, &JobLines::temporaryAvi, &JobLines::finalAvi,
    &JobLines::temporaryM2v, &JobLines::m2vPath, &JobLines::m2vFolder,
};
// After them: the identities of the .m2v, the .wav and the .avi (NoIdentity until it is named),
// then the interruptions of the file's runs before this one (records written before it was
// kept have ten fields, and count none).
constexpr qsizetype RecordedFieldCount = 11;
constexpr qsizetype IdentityFieldCount = 10;
// A file whose run a stop cut short with no output this often in a row is passed over.
constexpr int MostInterruptions = 2;

// A count kept in the run record: one to three digits.
std::optional<int> countOf(const QString& text) {
    if (text.isEmpty() || text.size() > 3 ||
        !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return text.toInt();
}

QString nameOf(const QString& path) {
    return path.mid(path.lastIndexOf(chain::pathSeparator()) + 1);
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(chain::pathSeparator()));
}
} // namespace

JobEngine::JobEngine(SettingTable& settings, const PatternTable& patterns, chain::ProcessWatch& watch,
                     chain::Launcher& launcher, RandomSource& random, chain::Dialogs& dialogs,
                     const chain::RunSeams& seams, QObject* parent)
    : QObject(parent), m_settings(settings), m_patterns(patterns),
      m_tools(watch, [this](const QString& text) { Q_EMIT report(text); }), m_launcher(launcher),
      m_random(random), m_dialogs(dialogs), m_handOver([this](const QString& text) { Q_EMIT report(text); }),
      m_boxes([this] {
          return InputBoxes{m_settings.text(slot::M2vFolder), m_settings.text(slot::AviFolder),
                            m_settings.text(slot::StorageFolder), m_settings.text(slot::VirtualDubFolder),
                            m_settings.text(slot::Interval)};
      }),
      m_progress(seams.clock), m_notices(seams.notifier) {}

QString JobEngine::Command7Caption() const {
    return m_state == State::Running ? text::Stop : text::Start;
}

bool JobEngine::runPending() const {
    return m_job.has_value(); // slot 26 mirrors it
}

bool JobEngine::isIdle() const {
    return m_finishOffWaits ||
           (!runPending() && (!nextFile() || storageIsM2vFolder(m_settings.text(slot::M2vFolder),
                                                                m_settings.text(slot::StorageFolder))));
}

std::optional<int> JobEngine::step() {
    const bool wasOn = m_state != State::Stopped;
    const std::optional<int> next = stepOnce();
    if (wasOn)
        m_notices.queueEmpty(!runPending() && !nextFile());
    return next;
}

std::optional<int> JobEngine::stepOnce() {
    if (m_state == State::Stopped)
        return std::nullopt;
    m_handOver.settle();
    // With no run to watch and nothing left to take, a look at the folders that finds
    // nothing new ends the step as it would end whatever the busy check answered: the
    // process list isn't read.
    if (!m_handOver.holding() && !runPending() && !nextFile() && foldersAsListed())
        return intervalMs();
    // A VirtualDub just started and not yet seen in the process list must not be taken for
    // one that has ended.
    if (m_handOver.holding() || BonAct())
        return intervalMs();

    bool finished = false;
    if (runPending()) {
        if (!m_finishOffWaits)
            finishOff();
        if (m_finishOffWaits)
            return intervalMs();
        finished = true;
    }
    // A fresh look at the folders when nothing is left to take (files passed over don't count).
    if (!finished && !nextFile()) {
        M2vList();
        AviList();
    }
    if (storageRefused())
        return intervalMs();
    if (const std::optional<QString> name = nextFile()) {
        m_jobError = 0;
        handOver(*name);
        if (m_state == State::Stopped) // the pattern file was unreadable: the program ends
            return std::nullopt;
        if (m_jobError >= 1) {
            const std::optional<int> next = Command7_Click();
            m_jobError = 0;
            if (m_state == State::Watching)
                setState(State::Stopped); // the input check failed, and this tick left the timer off
            return next;
        }
    }
    return intervalMs();
}

std::optional<int> JobEngine::Command7_Click() {
    if (m_state == State::Running) {
        stop();
        return std::nullopt;
    }
    m_settings.set(slot::Abort, QStringLiteral("0"));
    const InputVerdict verdict = InputCheck(m_boxes(), m_settings, m_dialogs);
    if (verdict.Text5)
        Q_EMIT intervalCorrected(*verdict.Text5);
    if (m_settings.text(slot::Abort) == u"1") {
        m_settings.set(slot::Abort, QStringLiteral("0"));
        return std::nullopt;
    }
    m_passedOver.clear();
    m_finishOffWaits = false;
    m_reportedStorage = false;
    Q_EMIT listsChanged();
    setState(State::Running);
    Q_EMIT report(QStringLiteral("変換を開始しました"));
    Q_EMIT timerChanged(StartIntervalMs);
    return StartIntervalMs;
}

void JobEngine::stop() {
    if (m_state == State::Stopped)
        return;
    setState(State::Stopped);
    m_handOver.settle(true);
    Q_EMIT report(runPending()
                      ? QStringLiteral("変換を中止しました (VirtualDub の終了後、次の開始で仕上げます)")
                      : QStringLiteral("変換を中止しました"));
    Q_EMIT timerChanged(std::nullopt);
}

void JobEngine::M2vList() {
    const QStringList before = std::exchange(
        m_list1, listing(slot::M2vFolder, text::Label1, text::M2vExtension, m_reportedList1Failure));
    leaveOutJobUnderWay();
    if (m_list1 != before)
        Q_EMIT listsChanged();
}

void JobEngine::leaveOutJobUnderWay() {
    // The .m2v of the job under way carries its temporary name until it is finished off:
    // it is that job's, never a new file to take.
    if (!m_job || m_job->m2vFolder != m_settings.text(slot::M2vFolder))
        return;
    const QString& temporary = m_job->temporaryM2v;
    m_list1.removeAll(temporary.mid(temporary.lastIndexOf(chain::pathSeparator()) + 1));
}

void JobEngine::AviList() {
    QStringList list = listing(slot::AviFolder, text::Label2, text::AviExtension, m_reportedList2Failure);
    if (list == m_list2)
        return;
    m_list2 = std::move(list);
    Q_EMIT listsChanged();
}

bool JobEngine::foldersAsListed() const {
    // What M2vList, AviList and the storage check would report or reset makes the step
    // go the ordinary way, after the busy check.
    const QString m2vFolder = m_settings.text(slot::M2vFolder);
    const QString aviFolder = m_settings.text(slot::AviFolder);
    if (m_reportedList1Failure || m_reportedList2Failure ||
        m_reportedStorage != storageIsM2vFolder(m2vFolder, m_settings.text(slot::StorageFolder)) ||
        !chain::folderSettingProblem(text::Label1, m2vFolder).isEmpty() ||
        !chain::folderSettingProblem(text::Label2, aviFolder).isEmpty())
        return false;
    return chain::listFiles(m2vFolder, text::M2vExtension) == m_list1 &&
           chain::listFiles(aviFolder, text::AviExtension) == m_list2;
}

void JobEngine::resumeRecordedRun() {
    const chain::RunRecord record = runRecord();
    const chain::RunRecord::Loaded loaded = record.load();
    if (loaded.state == chain::RunRecord::Loaded::State::None)
        return;
    JobLines job;
    QString damage = loaded.reason;
    JobFiles files;
    if (loaded.state == chain::RunRecord::Loaded::State::Present) {
        // A record of the version before identities (seven fields) is set aside too: its
        // files can't be told from new ones of the same names. Only its .m2v is given its
        // name back, below, so that no temporary name outlives the upgrade.
        const QStringList& fields = loaded.run.fields;
        if (fields.size() != RecordedFieldCount && fields.size() != IdentityFieldCount &&
            fields.size() != RecordedFields.size())
            damage = QStringLiteral("行の数が違います");
        for (qsizetype k = 0; damage.isEmpty() && k < RecordedFields.size(); ++k) {
            job.*RecordedFields[k] = fields[k];
            if (!chain::pathProblem(job.*RecordedFields[k]).isEmpty())
                damage = QStringLiteral("%1 行目が空か、使えない文字を含んでいます").arg(k + 2);
        }
        if (damage.isEmpty())
            damage = recordProblem(job);
        if (damage.isEmpty() && fields.size() == RecordedFields.size()) {
            damage = QStringLiteral("ファイルの識別情報のない古い形式です");
            // Inside the m2v folder (checked above), and never over another file.
            if (chain::nameTaken(job.temporaryM2v) && move(job.temporaryM2v, job.m2vPath))
                Q_EMIT report(QStringLiteral("%1 は元の名前に戻しました。VirtualDub の出力が %2 "
                                             "に残っていれば、手で確かめて下さい")
                                  .arg(job.m2vPath, job.temporaryAvi));
        } else if (damage.isEmpty()) {
            const auto m2v = chain::parseIdentity(fields[7]);
            const auto wav = chain::parseIdentity(fields[8]);
            const auto avi = chain::parseIdentity(fields[9]);
            const std::optional<int> interruptions =
                fields.size() == IdentityFieldCount ? 0 : countOf(fields[IdentityFieldCount]);
            if (!m2v || !wav || (!avi && fields[9] != NoIdentity))
                damage = QStringLiteral("ファイルの識別情報が読めません");
            else if (!interruptions)
                damage = QStringLiteral("中断の回数が読めません");
            else
                files = JobFiles{loaded.run.began, *m2v, *wav, avi, *interruptions, true};
        }
    }
    if (!damage.isEmpty()) {
        QString error;
        const QString aside = record.setAside(&error);
        Q_EMIT report(aside.isEmpty() ? QStringLiteral("実行の記録 %1 を使えません: %2 (退避できません: %3)")
                                            .arg(record.path(), damage, error)
                                      : QStringLiteral("実行の記録 %1 を使えないため、%2 に退避しました: %3")
                                            .arg(record.path(), aside, damage));
        return;
    }
    m_job = job;
    m_files = files;
    m_settings.set(slot::RunFlag, QStringLiteral("1"));
    Q_EMIT report(QStringLiteral("前回の実行を引き継ぎます: %1 (一時ファイル名 %2)")
                      .arg(m_job->m2vPath, m_job->temporaryM2v));
    setLabel9(m_job->listedName + text::Compressing);
    leaveOutJobUnderWay();
    Q_EMIT listsChanged();
}

QString JobEngine::recordProblem(const JobLines& job) const {
    // Every path must be the one this job's names give, inside the folder the settings
    // name for it: a record edited by hand or brought from elsewhere names nothing else.
    const QString temporaryName = nameOf(job.temporaryM2v).chopped(text::M2vExtension.size());
    const bool temporaryNameOk = temporaryName.size() == TemporaryNameLength &&
                                 std::all_of(temporaryName.cbegin(), temporaryName.cend(),
                                             [](QChar c) { return c >= u'A' && c <= u'Z'; });
    if (!temporaryNameOk || !job.listedName.endsWith(text::M2vExtension, Qt::CaseInsensitive) ||
        nameOf(job.listedName) != job.listedName || folderOf(job.m2vPath) != job.m2vFolder)
        return QStringLiteral("ファイル名が変換の名前の決まりに合いません");
    const QString m2vFolder = m_settings.text(slot::M2vFolder);
    const QString aviFolder = m_settings.text(slot::AviFolder);
    const JobLines expected = jobNames(job.m2vFolder, aviFolder, job.listedName, temporaryName);
    const struct {
        const QString& path;
        const QString& folder;
        const QString& expected;
    } paths[] = {{job.m2vPath, m2vFolder, expected.m2vPath},
                 {job.temporaryM2v, m2vFolder, expected.temporaryM2v},
                 {job.temporaryAvi, aviFolder, expected.temporaryAvi},
                 {job.finalAvi, aviFolder, expected.finalAvi}};
    for (const auto& path : paths) {
        if (!chain::liesIn(path.path, path.folder) || nameOf(path.path) != nameOf(path.expected))
            return QStringLiteral("%1 は設定のフォルダ %2 の中のこの変換のファイルではありません")
                .arg(path.path, path.folder);
    }
    if (job.wavName != expected.wavName)
        return QStringLiteral("%1 はこの変換の .wav の名前ではありません").arg(job.wavName);
    return {};
}

QString JobEngine::saveRecord(const JobLines& job, const JobFiles& files) const {
    chain::RunRecord::Run run{files.began, {}};
    for (QString JobLines::*field : RecordedFields)
        run.fields << job.*field;
    run.fields << chain::identityText(files.m2v) << chain::identityText(files.wav)
               << (files.avi ? chain::identityText(*files.avi) : NoIdentity)
               << QString::number(files.interruptions);
    return runRecord().save(run);
}

chain::RunRecord JobEngine::runRecord() const {
    return chain::RunRecord(chain::joinPath(m_settings.text(slot::StartFolder), RunRecordFile));
}

std::optional<QString> JobEngine::nextFile() const {
    for (const QString& name : m_list1) {
        if (!m_passedOver.contains(name))
            return name;
    }
    return std::nullopt;
}

QString JobEngine::folderProblem() const {
    const struct {
        const QString& label;
        int index;
    } folders[] = {{text::Label1, slot::M2vFolder},
                   {text::Label2, slot::AviFolder},
                   {text::Label5, slot::StorageFolder},
                   {text::Label3, slot::VirtualDubFolder}};
    for (const auto& folder : folders) {
        const QString value = m_settings.text(folder.index);
        if (const QString problem = chain::folderSettingProblem(folder.label, value); !problem.isEmpty())
            return problem;
        // A quote would end the path early in the job script or the command line.
        if (value.contains(u'"'))
            return QStringLiteral("%1「%2」に \" が含まれています").arg(folder.label, value);
    }
    return {};
}

void JobEngine::handOver(const QString& name) {
    // Another program may be starting a tool this very moment: its start is awaited, then
    // the busy check is made again inside the lock.
    if (!m_handOver.begin(m_settings.text(slot::VirtualDubFolder)))
        return;
    if (BonAct()) {
        m_handOver.end(false, {});
        return;
    }
    startFile(name);
    m_handOver.end(runPending(), [this] { return m_tools.videoToolBusy(); });
}

void JobEngine::startFile(const QString& name) {
    const QString m2vPath = chain::joinPath(m_settings.text(slot::M2vFolder), name);
    if (const QString problem = folderProblem(); !problem.isEmpty()) {
        passOver(name, QStringLiteral("%1 は変換しません: %2").arg(m2vPath, problem));
        return;
    }
    // Checked before anything starts: VirtualDub's .avi could never take its name, and
    // would be left under its temporary one.
    const QString aviPath =
        chain::joinPath(m_settings.text(slot::AviFolder), baseName(name) + text::AviExtension);
    if (chain::nameTaken(aviPath)) {
        passOver(name, QStringLiteral("出力ファイル %1 が既にあるため、%2 は変換しません (上書きしません)")
                           .arg(aviPath, m2vPath));
        return;
    }
    const QString wavPath =
        chain::joinPath(m_settings.text(slot::M2vFolder), baseName(name) + text::WavExtension);
    if (const QString error = WavLength(m_settings, wavPath); !error.isEmpty()) {
        passOver(
            name,
            QStringLiteral("%1 の長さを読めないため、%2 は変換しません: %3").arg(wavPath, m2vPath, error));
        return;
    }
    const int frames = chain::wholeNumber(m_settings.text(slot::Frames));

    const JobWriteResult written = JobWrite(m_settings, m_patterns, m_random, m_dialogs, name, frames);
    switch (written.outcome) {
    case JobWriteResult::Outcome::NoPattern:
        m_jobError = 100;
        return;
    case JobWriteResult::Outcome::PatternUnreadable:
        m_settings.set(slot::Abort, QStringLiteral("1"));
        setState(State::Stopped);
        Q_EMIT quitRequested();
        return;
    case JobWriteResult::Outcome::Failed:
        passOver(name, QStringLiteral("%1 は変換しません: %2").arg(m2vPath, written.error));
        return;
    case JobWriteResult::Outcome::Written:
        break;
    }
    const JobLines& job = written.job;

    const std::optional<chain::FileIdentity> m2v = chain::fileIdentity(m2vPath);
    const std::optional<chain::FileIdentity> wav = chain::fileIdentity(wavPath);
    if (!m2v || !wav) {
        passOver(name,
                 QStringLiteral("%1 か %2 を調べられないため、%1 は変換しません").arg(m2vPath, wavPath));
        return;
    }
    const JobFiles files{QDateTime::currentDateTime(), *m2v, *wav, std::nullopt, m_interruptions.take(name)};
    const chain::RunRecord record = runRecord();
    if (const QString error = saveRecord(job, files); !error.isEmpty()) {
        passOver(name, QStringLiteral("実行の記録 %1 を書き込めないため、%2 は変換しません: %3")
                           .arg(record.path(), m2vPath, error));
        return;
    }
    if (move(job.m2vPath, job.temporaryM2v, files.m2v) != Outcome::Done) {
        record.remove();
        passOver(name);
        return;
    }
    const QString commandLine = chain::programArgument(chain::joinPath(
                                    m_settings.text(slot::VirtualDubFolder), text::VirtualDubProgram)) +
                                text::VirtualDubSwitches;
    if (const QString error = m_launcher.start(commandLine, chain::Launcher::Window::Minimised);
        !error.isEmpty()) {
        Q_EMIT report(QStringLiteral("VirtualDub を起動できません (%1): %2").arg(commandLine, error));
        move(job.temporaryM2v, job.m2vPath, files.m2v);
        record.remove();
        passOver(name);
        return;
    }
    Q_EMIT report(QStringLiteral("VirtualDub を起動しました: %1").arg(commandLine));
    m_progress.begin({job.temporaryAvi});
    m_job = job;
    m_files = files;
    m_settings.set(slot::RunFlag, QStringLiteral("1"));
    setLabel9(name + text::Compressing);
}

void JobEngine::finishOff() {
    const JobLines job = *m_job;
    const chain::FileIdentity m2v = m_files->m2v;
    if (neverHandedOver(job)) {
        // The program ended between recording the job and giving the .m2v its temporary
        // name: VirtualDub never had it. The file is simply waiting, as before.
        Q_EMIT report(
            QStringLiteral("前回の実行は VirtualDub に渡す前に終わっていたため、%1 は改めて変換します")
                .arg(job.m2vPath));
        if (m_files->interruptions > 0)
            m_interruptions.insert(job.listedName, m_files->interruptions);
        forgetJob();
        return;
    }
    const QString took = m_progress.end();
    Q_EMIT report(QStringLiteral("VirtualDub が終わりました: %1").arg(job.m2vPath) + took);
    // Without its temporary name the .m2v was named back (and perhaps filed) by a finish-off
    // that was cut short; the filing below finds what is left to do.
    const bool m2vNamed = !chain::isSameFile(job.temporaryM2v, m2v) ||
                          move(job.temporaryM2v, job.m2vPath, m2v) == Outcome::Done;
    if (m2vNamed && interruptedWithoutOutput(job)) {
        const int interruptions = m_files->interruptions + 1;
        if (interruptions < MostInterruptions) {
            // A stop (a logout, a reboot) ended VirtualDub too: the file did not fail.
            Q_EMIT report(QStringLiteral(
                              "前回の実行は VirtualDub が出力を書く前に中断されたため、%1 は改めて変換します")
                              .arg(job.m2vPath));
            m_interruptions.insert(job.listedName, interruptions);
            forgetJob();
            return;
        }
        Q_EMIT report(QStringLiteral("%1 の実行は %2 回続けて、VirtualDub が出力を書く前に中断されました")
                          .arg(job.m2vPath)
                          .arg(interruptions));
    }
    fileAway(job, m2vNamed ? job.m2vPath : job.temporaryM2v);
    m_notices.runEnded(job.listedName,
                       !m_passedOver.contains(job.listedName) && !chain::isSameFile(job.temporaryM2v, m2v),
                       took);
    if (chain::isSameFile(job.temporaryM2v, m2v)) {
        // The .m2v could neither have its name back nor be filed (its folder is read-only,
        // or a new file took its name and its storage name is taken too). Under its
        // temporary name only the run record tells which recording it is, so the run stays
        // under way and recorded until the next start finishes it off; no other file is
        // started before.
        Q_EMIT report(QStringLiteral("%1 の名前を戻せないため、次の開始で仕上げます").arg(job.temporaryM2v));
        m_finishOffWaits = true;
        return;
    }
    forgetJob();
}

bool JobEngine::neverHandedOver(const JobLines& job) const {
    return !chain::isSameFile(job.temporaryM2v, m_files->m2v) &&
           chain::isSameFile(job.m2vPath, m_files->m2v) && !m_files->avi &&
           !chain::nameTaken(job.temporaryAvi);
}

bool JobEngine::interruptedWithoutOutput(const JobLines& job) {
    // The recording itself must be back under its own name: a record that outlived its
    // finished run finds its .m2v gone, and perhaps a new file under its name.
    if (!m_files->recovered || m_files->avi || !chain::isSameFile(job.m2vPath, m_files->m2v))
        return false;
    const std::optional<chain::FileIdentity> avi = chain::fileIdentity(job.temporaryAvi);
    if (!avi)
        return !chain::nameTaken(job.temporaryAvi);
    return avi->size == 0 && remove(job.temporaryAvi, *avi) == Outcome::Done;
}

bool JobEngine::storageRefused() {
    const QString storage = m_settings.text(slot::StorageFolder);
    if (!storageIsM2vFolder(m_settings.text(slot::M2vFolder), storage)) {
        m_reportedStorage = false;
        return false;
    }
    if (!m_reportedStorage)
        Q_EMIT report(QStringLiteral("%1「%2」が%3と同じため、変換しません。%4")
                          .arg(text::Label5, storage, text::Label1, text::StorageFolderText));
    m_reportedStorage = true;
    return true;
}

void JobEngine::forgetJob() {
    const chain::RunRecord record = runRecord();
    if (const QString error = record.remove(); !error.isEmpty())
        Q_EMIT report(QStringLiteral("実行の記録 %1 を削除できません: %2").arg(record.path(), error));
    m_job.reset();
    m_files.reset();
    M2vList();
    AviList();
    m_settings.set(slot::RunFlag, QStringLiteral("0"));
    setLabel9({});
}

void JobEngine::fileAway(const JobLines& job, const QString& m2vNow) {
    const JobFiles& files = *m_files;
    bool keep = !nameTheAvi(job);
    if (!keep) {
        // A file of the job that is gone (taken by the user, or its name now another
        // file's) is not this job's to wait for: the new file is a new job.
        const QString storage = m_settings.text(slot::StorageFolder);
        const Outcome wav = move(chain::joinPath(job.m2vFolder, job.wavName),
                                 chain::joinPath(storage, job.wavName), files.wav);
        const Outcome m2v = m_settings.text(slot::DeleteFlag) == u"1"
                                ? remove(m2vNow, files.m2v)
                                : move(m2vNow, chain::joinPath(storage, job.listedName), files.m2v);
        keep = wav == Outcome::Failed || m2v == Outcome::Failed;
    } else {
        Q_EMIT report(QStringLiteral("%1 と %2 は m2v格納フォルダに残します")
                          .arg(m2vNow, chain::joinPath(job.m2vFolder, job.wavName)));
    }
    if (keep)
        passOver(job.listedName);
}

bool JobEngine::nameTheAvi(const JobLines& job) {
    JobFiles& files = *m_files;
    // Only the file VirtualDub wrote under the temporary name in this run, renamed by us,
    // proves the run: an .avi that turned up under the final name proves nothing.
    if (files.avi) { // recorded just before its rename, which may be done already
        if (chain::isSameFile(job.finalAvi, *files.avi)) {
            Q_EMIT report(QStringLiteral("%1 は既に %2 にあります").arg(job.temporaryAvi, job.finalAvi));
            return true;
        }
        if (!chain::isSameFile(job.temporaryAvi, *files.avi)) {
            Q_EMIT report(QStringLiteral("VirtualDub の出力 %1 が見つかりません").arg(job.temporaryAvi));
            return false;
        }
    }
    const std::optional<chain::FileIdentity> avi = chain::fileIdentity(job.temporaryAvi);
    if (!avi) {
        Q_EMIT report(QStringLiteral("VirtualDub の出力 %1 ができていません").arg(job.temporaryAvi));
        if (chain::nameTaken(job.finalAvi))
            Q_EMIT report(QStringLiteral("%1 はこの変換で書かれたものではないため、出力とはみなしません")
                              .arg(job.finalAvi));
        return false;
    }
    if (avi->size == 0) {
        Q_EMIT report(QStringLiteral("VirtualDub の出力 %1 が空です").arg(job.temporaryAvi));
        remove(job.temporaryAvi, *avi);
        return false;
    }
    if (avi->modifiedNs / 1000000 < files.began.toMSecsSinceEpoch() - WriteTimeSlackMs) {
        Q_EMIT report(QStringLiteral("%1 はこの変換の開始より前に書かれているため、出力とはみなしません")
                          .arg(job.temporaryAvi));
        return false;
    }
    files.avi = *avi;
    if (const QString error = saveRecord(job, files); !error.isEmpty())
        Q_EMIT report(QStringLiteral("実行の記録 %1 を書き込めません: %2").arg(runRecord().path(), error));
    if (!move(job.temporaryAvi, job.finalAvi)) {
        Q_EMIT report(QStringLiteral("変換した動画は %1 のまま残します").arg(job.temporaryAvi));
        return false;
    }
    return true;
}

JobEngine::Outcome JobEngine::move(const QString& from, const QString& to,
                                   const chain::FileIdentity& identity) {
    if (chain::isSameFile(from, identity))
        return move(from, to) ? Outcome::Done : Outcome::Failed;
    // A run taken over from a program that was ended half-way through its finish-off finds
    // some moves done: the file is gone from where it was and is where it was to go.
    if (chain::isSameFile(to, identity)) {
        Q_EMIT report(QStringLiteral("%1 は既に %2 にあります").arg(from, to));
        return Outcome::Done;
    }
    Q_EMIT report(
        chain::nameTaken(from)
            ? QStringLiteral(
                  "%1 は変換を始めたときのファイルではないため、移動しません (新しいファイルとして扱います)")
                  .arg(from)
            : QStringLiteral("%1 が見つかりません").arg(from));
    return Outcome::Gone;
}

JobEngine::Outcome JobEngine::remove(const QString& path, const chain::FileIdentity& identity) {
    if (!chain::isSameFile(path, identity)) {
        // Deleted already (by a finish-off that was cut short, or by the user), or the name
        // is a new file's now.
        if (chain::nameTaken(path))
            Q_EMIT report(QStringLiteral("%1 は変換を始めたときのファイルではないため、削除しません "
                                         "(新しいファイルとして扱います)")
                              .arg(path));
        return Outcome::Done;
    }
    if (const QString error = chain::deleteFile(path); !error.isEmpty()) {
        Q_EMIT report(QStringLiteral("%1 を削除できません: %2").arg(path, error));
        return Outcome::Failed;
    }
    Q_EMIT report(QStringLiteral("削除しました: %1").arg(path));
    return Outcome::Done;
}

bool JobEngine::move(const QString& from, const QString& to) {
    if (const QString error = chain::moveNoReplace(from, to); !error.isEmpty()) {
        Q_EMIT report(QStringLiteral("%1 を %2 へ移動できません: %3").arg(from, to, error));
        return false;
    }
    Q_EMIT report((folderOf(from) == folderOf(to) ? QStringLiteral("名前を変更しました: %1 → %2")
                                                  : QStringLiteral("移動しました: %1 → %2"))
                      .arg(from, to));
    return true;
}

void JobEngine::passOver(const QString& name, const QString& why) {
    if (!why.isEmpty())
        Q_EMIT report(why);
    Q_EMIT report(QStringLiteral("%1 は次の開始まで変換しません").arg(name));
    m_passedOver.insert(name);
    Q_EMIT listsChanged();
}

QStringList JobEngine::listing(int folderSlot, const QString& label, const QString& extension,
                               std::optional<QString>& reported) {
    const QString folder = m_settings.text(folderSlot);
    QString text = chain::folderSettingProblem(label, folder);
    std::optional<QStringList> files;
    if (text.isEmpty()) {
        QString error;
        files = chain::listFiles(folder, extension, &error);
        text = QStringLiteral("%1 %2 を読めません: %3").arg(label, folder, error);
    }
    if (!files) {
        if (reported != text)
            Q_EMIT report(text);
        reported = text;
        return {};
    }
    reported.reset();
    return *files;
}

int JobEngine::intervalMs() {
    const QString interval = m_settings.text(slot::Interval);
    const double seconds = chain::leadingNumber(interval);
    const double ms = std::nearbyint(seconds * 1000.0);
    if (ms >= 1000.0) {
        m_reportedInterval.reset();
        return ms >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(ms);
    }
    // A number below a second is brought up to one second; a text that is no number, or
    // a number that isn't above 0, gives the fallback.
    const bool belowASecond = seconds > 0.0;
    if (m_reportedInterval != interval)
        Q_EMIT report(
            belowASecond
                ? QStringLiteral("確認間隔時間「%1」は 1 秒未満のため、1 秒ごとに確認します").arg(interval)
                : QStringLiteral("確認間隔時間「%1」は使えないため、20 秒ごとに確認します").arg(interval));
    m_reportedInterval = interval;
    return belowASecond ? ShortestIntervalMs : FallbackIntervalMs;
}

void JobEngine::setState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void JobEngine::setLabel9(const QString& text) {
    m_label9 = text;
    if (!text.isEmpty())
        Q_EMIT report(text);
    Q_EMIT statusChanged(text);
}

} // namespace pellavo
