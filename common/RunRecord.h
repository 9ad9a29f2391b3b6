#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace chain {

// The record of a run in progress: a small file in the program folder, written before a
// tool is started (or a temporary name taken) and removed once the run has been
// finished off or undone. A program started again after a kill, a crash or a close finds
// it and finishes the run by its ordinary rules, so no recording is stranded and no
// temporary name outlives a run.
//
// The file is cp932 with CR LF, written atomically: line 1 is the moment the run began
// (UTC, ISO 8601 with milliseconds), the other lines are the engine's fields. A
// character cp932 can't hold (and "%") is written as the %XX bytes of its name as the
// system spells it, so any path survives the trip.
class RunRecord {
  public:
    explicit RunRecord(const QString& path) : m_path(path) {}

    struct Run {
        QDateTime began;
        QStringList fields;
    };
    struct Loaded {
        enum class State { None, Damaged, Present } state = State::None;
        Run run;        // for Present
        QString reason; // for Damaged
    };

    const QString& path() const { return m_path; }
    // Records a run. Returns an empty text on success, otherwise the reason; the run must
    // then not start.
    QString save(const Run& run) const;
    Loaded load() const;
    // Removes the record of a finished run. A missing record is no failure.
    QString remove() const;
    // Renames a record that can't be used, never deleting it: "<name>.damaged-<time>".
    // Returns the new path, or an empty text when the rename failed (`error` says why).
    QString setAside(QString* error = nullptr) const;

    // How one field is written and read back (exposed for tests).
    static QString encodeField(const QString& value);
    static QString decodeField(const QString& text);
    // How the moment a run began is written ("2026-01-02T03:04:05.678Z", UTC) and read back
    // (an invalid moment for any other text). Kestrune's list of unfiled recordings writes
    // its moments the same way.
    static QString momentText(const QDateTime& moment);
    static QDateTime parseMoment(const QString& text);

  private:
    QString m_path;
};

} // namespace chain
