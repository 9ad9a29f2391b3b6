#include "PatternTable.h"

#include "Texts.h"

#include "FileOps.h"
#include "SettingsText.h"

namespace pellavo {

PatternTable defaultPatterns() {
    return {{{text::Others, text::DefaultOthersPattern}, {text::NoResize, text::DefaultNoResizePattern}}};
}

PatternEntry patternFromLine(const QString& line) {
    const QString trimmed = chain::trimBlanks(line);
    const qsizetype cut = trimmed.lastIndexOf(u'\\');
    if (cut < 0)
        return {};
    return {trimmed.left(cut), trimmed.mid(cut + 1)};
}

chain::TextRead loadPatterns(const QString& startFolder, PatternTable& table) {
    chain::TextRead read = chain::readTextFile(chain::joinPath(startFolder, text::PatternFile));
    if (read.state != chain::TextRead::State::Read) {
        table = defaultPatterns();
        return read;
    }
    table = patternsFromLines(read.lines);
    return read;
}

PatternTable patternsFromLines(const QStringList& lines) {
    PatternTable table;
    for (const QString& line : lines)
        table.entries << patternFromLine(line);
    return table;
}

QStringList patternLines(const PatternTable& table) {
    QStringList lines;
    for (const PatternEntry& entry : table.entries)
        lines << entry.label + u'\\' + entry.file;
    return lines.isEmpty() ? QStringList{QString()} : lines;
}

QString SavePatterns(const QString& startFolder, const PatternTable& table) {
    return chain::writeTextLines(chain::joinPath(startFolder, text::PatternFile), patternLines(table));
}

std::optional<PatternEntry> firstLabelled(const PatternTable& table, const QString& label) {
    for (const PatternEntry& entry : table.entries) {
        if (entry.label == label)
            return entry;
    }
    return std::nullopt;
}

bool hasRequiredEntries(const PatternTable& table) {
    const auto noResize = firstLabelled(table, text::NoResize);
    if (!noResize || noResize->file.isEmpty())
        return false;
    for (const PatternEntry& entry : table.entries) {
        if (entry.label == text::OthersJapanese || entry.label == text::Others)
            return !entry.file.isEmpty();
    }
    return false;
}

} // namespace pellavo
