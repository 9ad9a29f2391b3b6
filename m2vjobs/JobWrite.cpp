#include "JobWrite.h"

#include "Texts.h"

#include "FileOps.h"
#include "TextFile.h"

namespace pellavo {

namespace {
constexpr int TemporaryNameLength = 20;
constexpr int NameDraws = 100; // a name is drawn again while taken, this often at most

QString quoted(const QString& value) {
    return u'"' + value + u'"';
}

QString withoutTrailingBlanks(QString line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    line.truncate(end);
    return line;
}

bool temporaryNameTaken(const JobLines& job) {
    return chain::nameTaken(job.temporaryM2v) || chain::nameTaken(job.temporaryAvi);
}
} // namespace

QString baseName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString escapeScriptPath(const QString& path) {
    return QString(path).replace(u'\\', QStringLiteral("\\\\"));
}

JobLines jobNames(const QString& m2vFolder, const QString& aviFolder, const QString& name,
                  const QString& temporaryName) {
    JobLines job;
    job.listedName = name;
    job.wavName = baseName(name) + text::WavExtension;
    job.temporaryAvi = chain::joinPath(aviFolder, temporaryName + text::AviExtension);
    job.saveAviPath = escapeScriptPath(job.temporaryAvi);
    job.finalAvi = chain::joinPath(aviFolder, baseName(name) + text::AviExtension);
    job.temporaryM2v = chain::joinPath(m2vFolder, temporaryName + text::M2vExtension);
    job.openPath = escapeScriptPath(job.temporaryM2v);
    job.m2vPath = chain::joinPath(m2vFolder, name);
    job.m2vFolder = m2vFolder;
    return job;
}

QString drawTemporaryName(RandomSource& random) {
    QString name;
    for (int i = 0; i < TemporaryNameLength; ++i)
        name += QChar(u'A' + random.below(26));
    return name;
}

std::optional<PatternEntry> choosePattern(const PatternTable& table, const QString& name,
                                          const QString& pictureSize) {
    if (pictureSize == u"1") {
        for (const PatternEntry& entry : table.entries) {
            if (name.contains(entry.label))
                return entry;
        }
        for (const PatternEntry& entry : table.entries) {
            if (entry.label == text::Others || entry.label == text::OthersJapanese)
                return entry;
        }
    }
    return firstLabelled(table, text::NoResize);
}

QStringList rewritePattern(const QStringList& pattern, const JobLines& job, int frames) {
    const QString range = text::RangeStart + QString::number(frames) + text::CallEnd;
    QStringList script;
    for (const QString& raw : pattern) {
        const QString line = withoutTrailingBlanks(raw);
        if (line.startsWith(text::Signature))
            script << text::SignatureLine;
        else if (line.startsWith(text::NumJobs))
            script << text::NumJobsLine;
        else if (line.startsWith(text::JobLine))
            script << text::JobLine + quoted(text::JobName);
        else if (line.startsWith(text::InputLine))
            script << text::InputLine + quoted(job.temporaryM2v);
        else if (line.startsWith(text::OutputLine))
            script << text::OutputLine + quoted(job.temporaryAvi);
        else if (line.startsWith(text::OpenCall))
            script << text::OpenCall + quoted(job.openPath) + u',' + quoted({}) + text::OpenCallEnd;
        else if (line.startsWith(text::AddRange))
            script << text::AddRange + range;
        else if (line.startsWith(text::SetRangeFrames))
            script << text::SetRangeFrames + range;
        else if (line.startsWith(text::SaveAviCall))
            script << text::SaveAviCall + quoted(job.saveAviPath) + text::CallEnd;
        else
            script << line;
        if (line.startsWith(text::Done))
            break;
    }
    return script;
}

JobWriteResult JobWrite(const SettingTable& settings, const PatternTable& patterns, RandomSource& random,
                        chain::Dialogs& dialogs, const QString& name, int frames) {
    using Outcome = JobWriteResult::Outcome;
    const std::optional<PatternEntry> entry = choosePattern(patterns, name, settings.text(slot::PictureSize));
    if (!entry) {
        dialogs.message(text::FatalTitle, text::MissingNoResizeText);
        return {Outcome::NoPattern, {}, {}};
    }
    const QString patternPath =
        chain::joinPath(chain::joinPath(settings.text(slot::StartFolder), text::PatternFolder), entry->file);
    const chain::TextRead pattern = chain::readTextFile(patternPath);
    if (pattern.state != chain::TextRead::State::Read) {
        dialogs.message(text::FileErrorTitle, patternPath + text::FileErrorText);
        return {Outcome::PatternUnreadable, {}, {}};
    }

    JobLines job;
    int draws = 0;
    do {
        if (++draws > NameDraws)
            return {Outcome::Failed, {}, QStringLiteral("空いている一時ファイル名が見つかりません")};
        job = jobNames(settings.text(slot::M2vFolder), settings.text(slot::AviFolder), name,
                       drawTemporaryName(random));
    } while (temporaryNameTaken(job));

    job.script = rewritePattern(pattern.lines, job, frames);
    const QString jobsPath = chain::joinPath(settings.text(slot::VirtualDubFolder), text::JobsFile);
    if (const QString error =
            chain::writeTextLines(jobsPath, job.script, chain::OldFile::Replace, chain::Reader::ForTool);
        !error.isEmpty())
        return {Outcome::Failed, job, QStringLiteral("%1 を書き込めません: %2").arg(jobsPath, error)};
    return {Outcome::Written, job, {}};
}

} // namespace pellavo
