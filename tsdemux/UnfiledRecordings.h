#pragma once

#include "RunRecord.h"

#include <QList>

namespace kestrune {

// The list of recordings that were converted (their output proven) but could not be
// filed away, kept in a small file in the program folder from one start to the next.
// Each is the run that converted it, as the run record holds one: the moment it began
// and the engine's fields. The file is cp932 with CR LF, one recording a line: the
// moment (UTC, ISO 8601 with milliseconds), then each field after a tab, written as the
// run record writes a field (a tab inside one is written as %09).
class UnfiledRecordings {
  public:
    explicit UnfiledRecordings(const QString& path) : m_path(path) {}

    struct Loaded {
        QList<chain::RunRecord::Run> runs;
        QString problem; // why a file that is there can't be used; the runs are then empty
    };

    const QString& path() const { return m_path; }
    // No file is an empty list.
    Loaded load() const;
    // Writes the list atomically; an empty list removes the file. Returns an empty text
    // on success, otherwise the reason.
    QString save(const QList<chain::RunRecord::Run>& runs) const;

  private:
    QString m_path;
};

} // namespace kestrune
