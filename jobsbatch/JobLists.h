#pragma once

#include "Slots.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <optional>

namespace orvane {

// The main window's two lists as data: the job list (List1, the names of the .jobs files
// waiting in the jobs folder, the first being the next job), the entry selected in it, and
// the output list (List2, the output files of one jobs file). The window shows them; the
// batch engine works through the job list.
class JobLists : public QObject {
    Q_OBJECT
  public:
    explicit JobLists(StateTable& state, QObject* parent = nullptr);

    const QStringList& jobs() const { return m_jobs; }
    const QStringList& outputs() const { return m_outputs; }
    // The selected entry of the job list, or -1.
    int selected() const { return m_selected; }

    // The "*.jobs" files of the jobs folder, read afresh (VirtualDub.jobs left out when the
    // jobs folder is the VirtualDub folder); nothing when the folder can't be listed, which
    // is reported once until it can be listed again.
    std::optional<QStringList> jobsFiles();
    // Fills the job list from the jobs folder (empty when it can't be listed), nothing selected.
    void JobsList();
    // Fills the output list from the named jobs file in the jobs folder. When that file
    // can't be read, the job list is read again and its first entry shown, once: a first
    // entry that can't be read either leaves the output list empty. A file over the size
    // limit of jobs files is not read: the output list stays empty and the file is
    // reported, once until it is read again.
    void OutputList(const QString& name);
    // When the job list is not empty: shows the outputs of its first entry and selects it.
    void showFirst();
    void clearOutputs();

    // A click on an entry of the job list: selects it and shows its outputs, unless an
    // entry is being taken off the list.
    void List1_Click(int row);
    // "解除": takes the selected entry off the job list (the file stays in the jobs folder),
    // selects the entry now at its place, or the new last one, and shows its outputs.
    void Command6_Click();

  Q_SIGNALS:
    void jobsChanged(); // the entries changed (the selection with them)
    void selectionChanged();
    void outputsChanged();
    // One line for the event log.
    void report(const QString& text);

  private:
    void readOutputs(const QString& name, bool reloadOnFailure);
    void select(int row);

    StateTable& m_state;
    QStringList m_jobs;
    QStringList m_outputs;
    int m_selected = -1;
    bool m_listingFailureReported = false;
    QSet<QString> m_tooLargeReported; // jobs files over the size limit, reported once
};

} // namespace orvane
