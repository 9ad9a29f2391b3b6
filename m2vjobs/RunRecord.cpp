#include "RunRecord.h"

#include "FileOps.h"
#include "TextFile.h"

namespace pellavo {

namespace {
QString recordPath(const QString& startFolder) {
    return chain::joinPath(startFolder, RunRecordFile);
}

// The fields of a job that the record keeps, in the order of its lines.
const QList<QString JobLines::*> recordedFields = {
    &JobLines::listedName,   &JobLines::wavName, &JobLines::temporaryAvi, &JobLines::finalAvi,
    &JobLines::temporaryM2v, &JobLines::m2vPath, &JobLines::m2vFolder,
};
} // namespace

QString saveRunRecord(const QString& startFolder, const JobLines& job) {
    QStringList lines;
    for (QString JobLines::*field : recordedFields)
        lines << job.*field;
    return chain::writeTextLines(recordPath(startFolder), lines, chain::OldFile::Replace);
}

RecordedRun loadRunRecord(const QString& startFolder) {
    const chain::TextRead read = chain::readTextFile(recordPath(startFolder));
    if (read.state == chain::TextRead::State::Missing)
        return {};
    if (read.state == chain::TextRead::State::Unreadable)
        return {std::nullopt, read.reason};
    if (read.lines.size() < recordedFields.size())
        return {std::nullopt, QStringLiteral("行が足りません")};
    JobLines job;
    for (qsizetype k = 0; k < recordedFields.size(); ++k) {
        if (!chain::pathProblem(read.lines[k]).isEmpty())
            return {std::nullopt, QStringLiteral("%1 行目が空か、使えない文字を含んでいます").arg(k + 1)};
        job.*recordedFields[k] = read.lines[k];
    }
    return {job, {}};
}

QString removeRunRecord(const QString& startFolder) {
    const QString path = recordPath(startFolder);
    if (!chain::fileExists(path))
        return {};
    return chain::deleteFile(path);
}

} // namespace pellavo
