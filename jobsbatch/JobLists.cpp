#include "JobLists.h"

#include "JobsFiles.h"
#include "JobsText.h"

#include "FileOps.h"

namespace orvane {

JobLists::JobLists(StateTable& state, QObject* parent) : QObject(parent), m_state(state) {}

std::optional<QStringList> JobLists::jobsFiles() {
    const QString folder = m_state.text(slot::JobsFolder);
    QString error;
    const std::optional<QStringList> files = chain::listFiles(folder, JobsPattern.mid(1), &error);
    if (!files) {
        if (!m_listingFailureReported)
            Q_EMIT report(QStringLiteral("(.jobs)フォルダ %1 を読めません: %2").arg(folder, error));
        m_listingFailureReported = true;
        return std::nullopt;
    }
    m_listingFailureReported = false;
    QStringList jobs = *files;
    // In the VirtualDub folder, VirtualDub.jobs is the job list the batch writes, not a
    // jobs file: handed over it would run the last job again, and then be filed away. Only
    // the name the system takes for it counts: where letter case matters, a user's
    // virtualdub.jobs is a jobs file of its own.
    if (sameFolder(folder, m_state.text(slot::VirtualDubFolder)))
        jobs.removeIf([](const QString& name) { return chain::sameEntryName(name, VirtualDubJobsName); });
    return jobs;
}

void JobLists::JobsList() {
    m_jobs = jobsFiles().value_or(QStringList{});
    m_selected = -1;
    Q_EMIT jobsChanged();
}

void JobLists::OutputList(const QString& name) {
    readOutputs(name, true);
}

void JobLists::readOutputs(const QString& name, bool reloadOnFailure) {
    const QString path = chain::joinPath(m_state.text(slot::JobsFolder), name);
    bool tooLarge = false;
    const chain::TextRead read = readJobsFile(path, &tooLarge);
    const bool isRead = read.state == chain::TextRead::State::Read;
    m_outputs = isRead ? outputNames(read.lines) : QStringList{};
    Q_EMIT outputsChanged();
    if (tooLarge) {
        if (!m_tooLargeReported.contains(name))
            Q_EMIT report(QStringLiteral("ジョブファイル %1 を読みません: %2").arg(path, read.reason));
        m_tooLargeReported.insert(name);
        return; // it is there, just not read: the list read again would hold it all the same
    }
    m_tooLargeReported.remove(name);
    if (isRead || !reloadOnFailure)
        return;
    JobsList();
    if (!m_jobs.isEmpty()) {
        readOutputs(m_jobs.first(), false);
        select(0);
    }
}

void JobLists::showFirst() {
    if (m_jobs.isEmpty())
        return;
    OutputList(m_jobs.first());
    select(0);
}

void JobLists::clearOutputs() {
    m_outputs.clear();
    Q_EMIT outputsChanged();
}

void JobLists::select(int row) {
    m_selected = row;
    Q_EMIT selectionChanged();
}

void JobLists::List1_Click(int row) {
    if (isOn(m_state, slot::ListEditFlag) || m_jobs.isEmpty() || row < 0 || row >= m_jobs.size())
        return;
    select(row);
    OutputList(m_jobs[row]);
}

void JobLists::Command6_Click() {
    if (m_selected < 0 || m_selected >= m_jobs.size())
        return;
    m_state.set(slot::ListEditFlag, QStringLiteral("1"));
    const int removed = m_selected;
    m_jobs.removeAt(removed);
    const int left = static_cast<int>(m_jobs.size());
    m_selected = removed <= left - 1 ? removed : removed - 1;
    Q_EMIT jobsChanged();
    if (m_jobs.isEmpty())
        clearOutputs();
    else
        OutputList(m_jobs[m_selected]);
    m_state.set(slot::ListEditFlag, QStringLiteral("0"));
}

} // namespace orvane
