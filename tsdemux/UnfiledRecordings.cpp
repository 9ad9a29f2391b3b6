#include "UnfiledRecordings.h"

#include "FileOps.h"
#include "TextFile.h"

namespace kestrune {

UnfiledRecordings::Loaded UnfiledRecordings::load() const {
    const chain::TextRead read = chain::readTextFile(m_path);
    if (read.state == chain::TextRead::State::Missing)
        return {};
    if (read.state == chain::TextRead::State::Unreadable)
        return {{}, read.reason};
    Loaded loaded;
    for (const QString& line : read.lines) {
        const QStringList parts = line.split(u'\t');
        const QDateTime began = chain::RunRecord::parseMoment(parts.first());
        if (!began.isValid() || parts.size() < 2)
            return {{}, QStringLiteral("%1 行目が読めません").arg(loaded.runs.size() + 1)};
        chain::RunRecord::Run run{began, {}};
        for (qsizetype i = 1; i < parts.size(); ++i)
            run.fields << chain::RunRecord::decodeField(parts[i]);
        loaded.runs << run;
    }
    return loaded;
}

QString UnfiledRecordings::save(const QList<chain::RunRecord::Run>& runs) const {
    if (runs.isEmpty())
        return chain::fileExists(m_path) ? chain::deleteFile(m_path) : QString();
    QStringList lines;
    for (const chain::RunRecord::Run& run : runs) {
        QString line = chain::RunRecord::momentText(run.began);
        for (const QString& field : run.fields)
            line += u'\t' + chain::RunRecord::encodeField(field);
        lines << line;
    }
    return chain::writeTextLines(m_path, lines, chain::OldFile::Replace);
}

} // namespace kestrune
