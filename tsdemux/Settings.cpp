#include "Settings.h"

#include "FileOps.h"
#include "SettingsText.h"
#include "TextFile.h"

namespace kestrune {

void applyDefaults(Settings& s) {
    const QString folder = s.text(slot::ProgramFolder);
    s.set(slot::Mode, QStringLiteral("1"));
    s.set(slot::SourceFolder, folder);
    s.set(slot::AfterFolder, folder);
    s.set(slot::OutputFolder, folder);
    s.set(slot::IndividualInterval, QStringLiteral("5"));
    s.set(slot::DemuxKind, DemuxBoth);
    s.set(slot::AudioMode, QStringLiteral("0"));
    s.set(slot::AudioEs, QStringLiteral("0"));
    s.set(slot::Rf64, QStringLiteral("0"));
    s.set(slot::FrameCompletion, QStringLiteral("0"));
    s.set(slot::Descramble, QStringLiteral("1"));
    s.set(slot::CheckInterval, QStringLiteral("120"));
    s.set(slot::KeywordFilter, QStringLiteral("0"));
    s.set(slot::CharConversion, QStringLiteral("1"));
    s.set(slot::BeforeString, QStringLiteral("!?#&~/."));
    s.set(slot::AfterString, QStringLiteral("！？\\＆～／,"));
    s.set(slot::Pending, QStringLiteral("0"));
}

bool loadSettings(Settings& s, QString* problem) {
    const QString path = chain::joinPath(s.text(slot::ProgramFolder), SettingsFileName);
    const chain::TextRead read = chain::readTextFile(path);
    QString why;
    if (read.state == chain::TextRead::State::Read)
        why = settingsFromLines(s, read.lines);
    else
        applyDefaults(s);
    const bool used = read.state == chain::TextRead::State::Read && why.isEmpty();
    why = QStringList{chain::utf8Note(path, read), why}.join(u' ').trimmed();
    if (read.state == chain::TextRead::State::Unreadable)
        why = QStringLiteral("設定ファイル %1 を読めないため、既定の設定で始めます (%2)。")
                  .arg(SettingsFileName, read.reason) +
              chain::keptOnSaveNote(path, QStringLiteral("記憶すると"));
    if (problem)
        *problem = why;
    return used;
}

QString settingsFromLines(Settings& s, const QStringList& lines) {
    if (lines.size() < 16) {
        applyDefaults(s);
        return QStringLiteral("設定ファイル %1 の行が足りない (%2 行) ため、既定の設定で始めます。")
            .arg(SettingsFileName)
            .arg(lines.size());
    }
    const auto before = chain::unquoteLine(lines.at(14));
    const auto after = chain::unquoteLine(lines.at(15));
    if (!before || !after) {
        applyDefaults(s);
        return QStringLiteral("設定ファイル %1 の変換表の行 (15、16 行目) が正しくないため、"
                              "既定の設定で始めます。")
            .arg(SettingsFileName);
    }
    for (int k = 1; k <= 14; ++k)
        s.set(k, chain::trimBlanks(lines.at(k - 1)));
    s.set(slot::BeforeString, *before);
    s.set(slot::AfterString, *after);
    return {};
}

QStringList settingsLines(const Settings& s) {
    QStringList lines;
    for (int k = 1; k <= 14; ++k)
        lines << chain::trimBlanks(s.text(k));
    lines << chain::quoteLine(s.text(slot::BeforeString)) << chain::quoteLine(s.text(slot::AfterString));
    return lines;
}

QString SaveSettings(const Settings& s) {
    return chain::writeTextLines(chain::joinPath(s.text(slot::ProgramFolder), SettingsFileName),
                                 settingsLines(s));
}

} // namespace kestrune
