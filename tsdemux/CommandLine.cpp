#include "CommandLine.h"

#include "CommandText.h"

namespace kestrune {

namespace {
QString joined(const QString& folder, const QString& name, QChar separator) {
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}
} // namespace

QString BuildCommandLine(const Settings& s, const FileRow& row, QChar separator) {
    // Every value goes between double quotes by the Windows rule, so the argument vector
    // is always what the text means: a value ending in "\" can't swallow its closing
    // quote. A program folder with blanks is quoted too, or it would be cut there.
    using chain::quoteArgument;
    QString line = chain::programArgument(joined(s.text(slot::ProgramFolder), DemuxerName, separator));
    line += QStringLiteral(" -i ") + quoteArgument(row.path);
    line +=
        QStringLiteral(" -o ") + quoteArgument(joined(s.text(slot::OutputFolder), row.outputName, separator));
    if (s.text(slot::DemuxKind) != DemuxBoth)
        line += QStringLiteral(" -encode ") + quoteArgument(s.text(slot::DemuxKind));
    if (s.text(slot::AudioMode) != u"0")
        line += QStringLiteral(" -sound ") + quoteArgument(s.text(slot::AudioMode));
    if (s.text(slot::AudioEs) != u"0")
        line += QStringLiteral(" -es ") + quoteArgument(s.text(slot::AudioEs));
    if (s.text(slot::Rf64) != u"0")
        line += QStringLiteral(" -rf64") + quoteArgument(s.text(slot::Rf64));
    if (s.text(slot::FrameCompletion) != u"0")
        line += QStringLiteral(" -vf") + quoteArgument(s.text(slot::FrameCompletion));
    if (s.text(slot::Descramble) == u"0")
        line += QStringLiteral(" -nd ") + quoteArgument(s.text(slot::Descramble));
    line += QStringLiteral(" -start -quit");
    return line;
}

std::optional<QString> unsafeCommandValue(const Settings& s, const FileRow& row) {
    const QString values[] = {s.text(slot::ProgramFolder),   row.path,
                              s.text(slot::OutputFolder),    row.outputName,
                              s.text(slot::DemuxKind),       s.text(slot::AudioMode),
                              s.text(slot::AudioEs),         s.text(slot::Rf64),
                              s.text(slot::FrameCompletion), s.text(slot::Descramble)};
    for (const QString& value : values) {
        if (value.contains(u'"'))
            return value;
    }
    return std::nullopt;
}

} // namespace kestrune
