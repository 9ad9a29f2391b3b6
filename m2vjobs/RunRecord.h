#pragma once

#include "JobWrite.h"

#include <QString>
#include <optional>

namespace pellavo {

// The small file in the start folder that keeps the job under way from VirtualDub's
// start until its file is finished off, so that Pellavo started again after a kill, a
// crash or a headless stop finishes it off: the .m2v would otherwise keep its
// temporary name for good.
inline const QString RunRecordFile = QStringLiteral("Pellavo_Run.txt");

// Writes the names the finish-off needs. Empty text on success, otherwise the reason.
QString saveRunRecord(const QString& startFolder, const JobLines& job);

// The job a record names. Nothing and no error when there is no record.
struct RecordedRun {
    std::optional<JobLines> job;
    QString error; // the record is there but can't be used: why
};
RecordedRun loadRunRecord(const QString& startFolder);

// Removes the record. Empty text on success (or when there was none), otherwise the reason.
QString removeRunRecord(const QString& startFolder);

} // namespace pellavo
