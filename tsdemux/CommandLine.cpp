#include "CommandLine.h"

namespace kestrune {

namespace {
QString quoted(const QString& value) {
    return u'"' + value + u'"';
}

QString joined(const QString& folder, const QString& name, QChar separator) {
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}
} // namespace

QString BuildCommandLine(const Settings& s, const FileRow& row, QChar separator) {
    QString program = joined(s.text(slot::ProgramFolder), DemuxerName, separator);
    // A program folder with blanks would otherwise be cut at the first blank.
    if (program.contains(u' ') || program.contains(u'\t'))
        program = quoted(program);

    QString line = program;
    line += QStringLiteral(" -i ") + quoted(row.path);
    line += QStringLiteral(" -o ") + quoted(joined(s.text(slot::OutputFolder), row.outputName, separator));
    if (s.text(slot::DemuxKind) != DemuxBoth)
        line += QStringLiteral(" -encode ") + quoted(s.text(slot::DemuxKind));
    if (s.text(slot::AudioMode) != u"0")
        line += QStringLiteral(" -sound ") + quoted(s.text(slot::AudioMode));
    if (s.text(slot::AudioEs) != u"0")
        line += QStringLiteral(" -es ") + quoted(s.text(slot::AudioEs));
    if (s.text(slot::Rf64) != u"0")
        line += QStringLiteral(" -rf64") + quoted(s.text(slot::Rf64));
    if (s.text(slot::FrameCompletion) != u"0")
        line += QStringLiteral(" -vf") + quoted(s.text(slot::FrameCompletion));
    if (s.text(slot::Descramble) == u"0")
        line += QStringLiteral(" -nd ") + quoted(s.text(slot::Descramble));
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
