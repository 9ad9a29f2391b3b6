#include "BatchEngine.h"

#include "JobsFiles.h"
#include "JobsText.h"

#include "CommandText.h"
#include "FileOps.h"
#include "TextFile.h"

#include <algorithm>
#include <utility>

namespace orvane {

BatchEngine::BatchEngine(StateTable& state, JobLists& lists, chain::ProcessWatch& watch,
                         chain::Launcher& launcher, const chain::RunSeams& seams, QObject* parent)
    : QObject(parent), m_state(state), m_lists(lists),
      m_tools(watch, [this](const QString& text) { Q_EMIT report(text); }), m_launcher(launcher),
      m_handOver([this](const QString& text) { Q_EMIT report(text); }), m_progress(seams.clock),
      m_notices(seams.notifier) {}

int BatchEngine::start() {
    m_running = true;
    m_idle = false;
    m_passedOver.clear();
    Q_EMIT report(QStringLiteral("ジョブの処理を開始しました"));
    Q_EMIT runningChanged(true);
    return StepMs;
}

QString BatchEngine::startProblem() const {
    if (isOn(m_state, slot::DeleteOption) ||
        !sameFolder(m_state.text(slot::JobsMoveFolder), m_state.text(slot::JobsFolder)))
        return {};
    return QStringLiteral(
        "jobs移動フォルダが(.jobs)フォルダと同じです。終わったジョブファイルを移せないため、"
        "開始しません。\njobs移動フォルダに別のフォルダを指定するか、"
        "「jobs終わったら削除」を選んで下さい。");
}

void BatchEngine::stop() {
    if (!m_running)
        return;
    m_running = false;
    m_handOver.settle(true);
    Q_EMIT report(QStringLiteral("ジョブの処理を中止しました"));
    Q_EMIT runningChanged(false);
}

std::optional<int> BatchEngine::step() {
    if (!m_running)
        return std::nullopt;
    m_idle = false;
    m_handOver.settle();
    if (!m_state.text(slot::CurrentJobPath).isEmpty())
        fileAway();
    else
        lookAtFolder();

    // A VirtualDub just started and not yet seen counts as running.
    const bool busy = m_handOver.holding() || BonAct();
    if (!busy)
        jobEnded();
    if (busy || handOverNext())
        return StepMs;
    m_notices.queueEmpty(true);

    if (isOn(m_state, slot::CloseOption)) {
        qsizetype left = 0; // the jobs files passed over, still in the jobs folder
        for (const QString& name : m_lists.jobs())
            left += m_passedOver.contains(name) ? 1 : 0;
        QString text = QStringLiteral("処理するジョブファイルがなくなったため、終了します");
        if (left > 0)
            text +=
                QStringLiteral(
                    "（飛ばしたジョブファイル %1 件は (.jobs)フォルダに残り、次に開始したときに処理します）")
                    .arg(left);
        Q_EMIT report(text);
        return std::nullopt;
    }
    if (m_status != WaitingStatus)
        Q_EMIT report(QStringLiteral("処理するジョブファイルがないため、待機します"));
    setStatus(WaitingStatus);
    m_lists.JobsList();
    m_idle = true;
    for (const QString& name : m_lists.jobs())
        m_idle = m_idle && m_passedOver.contains(name);
    return m_idle ? NothingLeftMs : JobsAppearedMs;
}

bool BatchEngine::handOverNext() {
    // Another program may be handing a job to a tool this very moment: wait for it to be
    // seen, then look again inside the lock.
    if (!m_handOver.begin(m_state.text(slot::VirtualDubFolder)))
        return true;
    const QStringList jobs = m_lists.jobs(); // a failed start may read the list again
    // With nothing to hand over, the check just made before the lock stands.
    const bool anyToHand = std::any_of(jobs.cbegin(), jobs.cend(),
                                       [this](const QString& name) { return !m_passedOver.contains(name); });
    if (anyToHand && BonAct()) {
        m_handOver.end(false, {});
        return true;
    }
    for (const QString& name : jobs) {
        if (!m_passedOver.contains(name) && startJob(name)) {
            m_handOver.end(true, [this] { return m_tools.videoToolBusy(); });
            return true;
        }
    }
    m_handOver.end(false, {});
    return false;
}

void BatchEngine::fileAway() {
    const QString path = m_state.text(slot::CurrentJobPath);
    const QString name = m_state.text(slot::CurrentJobName);
    const std::optional<chain::FileIdentity> handed = std::exchange(m_handed, std::nullopt);
    if (chain::fileExists(path) && !(handed && chain::isSameFile(path, *handed))) {
        // Replaced or written to since it was read: its job has not run. It stays to be
        // handed over as a new one.
        Q_EMIT report(QStringLiteral("%1 は VirtualDub に渡した後で置き換えられたため、移動も削除もしません "
                                     "(新しいジョブとして処理します)")
                          .arg(path));
    } else if (isOn(m_state, slot::DeleteOption)) {
        const QString error = chain::deleteFile(path);
        if (error.isEmpty())
            Q_EMIT report(QStringLiteral("削除しました: %1").arg(path));
        else
            passOver(name, QStringLiteral("%1 を削除できません: %2").arg(path, error));
    } else {
        const QString target = chain::joinPath(m_state.text(slot::JobsMoveFolder), name);
        const QString error = moveJobsFile(path, target);
        if (error.isEmpty())
            Q_EMIT report(QStringLiteral("移動しました: %1 → %2").arg(path, target));
        else
            passOver(name, QStringLiteral("%1 を %2 へ移動できません: %3").arg(path, target, error));
    }
    m_lists.JobsList();
    m_state.set(slot::CurrentJobPath, QString());
    m_state.set(slot::CurrentJobName, QString());
    m_lists.clearOutputs();
    m_lists.showFirst();
}

void BatchEngine::jobEnded() {
    if (!m_progress.running())
        return;
    const QString took = m_progress.end();
    Q_EMIT report(QStringLiteral("VirtualDub が終わりました: %1").arg(m_runName) + took);
    m_notices.runEnded(m_runName, true, took);
}

void BatchEngine::lookAtFolder() {
    const qsizetype count = m_lists.jobsFiles().value_or(QStringList{}).size();
    if (count == m_lists.jobs().size())
        return;
    m_lists.JobsList();
    m_lists.showFirst();
}

bool BatchEngine::startJob(const QString& name) {
    const QString path = chain::joinPath(m_state.text(slot::JobsFolder), name);
    // The identity before and after the reading: a file being replaced or written to
    // meanwhile is left for the next step, so the text handed over is that file's.
    const std::optional<chain::FileIdentity> before = chain::fileIdentity(path);
    const chain::TextRead read = readJobsFile(path);
    const std::optional<chain::FileIdentity> identity = chain::fileIdentity(path);
    if (read.state != chain::TextRead::State::Missing && identity != before)
        return false;
    if (read.state != chain::TextRead::State::Read) {
        const QString why = read.state == chain::TextRead::State::Missing
                                ? QStringLiteral("ファイルが見つかりません")
                                : read.reason;
        passOver(name, QStringLiteral("ジョブファイル %1 を読めません: %2").arg(path, why));
        return false;
    }
    const QStringList used = usedPart(read.lines);
    if (isBlank(used)) {
        passOver(name, QStringLiteral("ジョブファイル %1 は空です").arg(path));
        return false;
    }
    const QString folder = m_state.text(slot::VirtualDubFolder);
    if (folder.contains(u'"')) {
        passOver(name,
                 QStringLiteral("VirtualDubフォルダ %1 に \" が含まれるため、VirtualDub を起動できません")
                     .arg(folder));
        return false;
    }
    const QString jobList = chain::joinPath(folder, VirtualDubJobsName);
    if (const QString error =
            chain::writeTextLines(jobList, used, chain::OldFile::Replace, chain::Reader::ForTool);
        !error.isEmpty()) {
        passOver(name, QStringLiteral("%1 に書き込めません: %2").arg(jobList, error));
        return false;
    }
    m_lists.OutputList(name);
    const QString command = commandLine();
    if (const QString error = m_launcher.start(command, chain::Launcher::Window::Minimised);
        !error.isEmpty()) {
        passOver(name, QStringLiteral("VirtualDub を起動できません (%1): %2").arg(command, error));
        return false;
    }
    m_state.set(slot::CurrentJobName, name);
    m_state.set(slot::CurrentJobPath, path);
    m_handed = identity;
    Q_EMIT report(QStringLiteral("%1 を VirtualDub に渡しました: %2").arg(name, command));
    m_progress.begin(outputPaths(used));
    m_runName = name;
    setStatus(name + CompressingTail);
    return true;
}

QString BatchEngine::commandLine() const {
    return chain::programArgument(chain::joinPath(m_state.text(slot::VirtualDubFolder), VirtualDubName)) +
           VirtualDubOptions;
}

void BatchEngine::passOver(const QString& name, const QString& why) {
    Q_EMIT report(why + QStringLiteral("（次の「開始」まで %1 は飛ばします）").arg(name));
    m_passedOver.insert(name);
}

void BatchEngine::setStatus(const QString& text) {
    if (text == m_status)
        return;
    m_status = text;
    Q_EMIT statusChanged(text);
}

} // namespace orvane
