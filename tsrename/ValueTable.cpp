#include "ValueTable.h"

#include "FileOps.h"
#include "SettingsText.h"
#include "TextFile.h"
#include "Texts.h"

namespace tassik {

namespace {
void applyDefaults(ValueTable& values) {
    values.set(slot::RenameFolder, values.text(slot::StartFolder));
    values.set(slot::BeforeString, QString());
    values.set(slot::AfterString, QString());
}
} // namespace

ValueTable startUp(const QString& startFolder, QStringList* notes) {
    ValueTable values(slot::Count);
    values.set(slot::StartFolder, startFolder);
    QStringList said;
    for (const QString& leftover : chain::removeSaveLeftovers(settingsPath(values)))
        said << QStringLiteral("中断された保存の一時ファイル %1 を削除しました。").arg(leftover);
    QString problem;
    loadSettings(values, &problem);
    if (!problem.isEmpty())
        said << problem;
    if (notes)
        *notes = said;
    return values;
}

QString settingsPath(const ValueTable& values) {
    return chain::joinPath(values.text(slot::StartFolder), text::settingsFileName());
}

void loadSettings(ValueTable& values, QString* problem) {
    const chain::TextRead read = chain::readTextFile(settingsPath(values));
    QString why;
    if (read.state == chain::TextRead::State::Read)
        why = settingsFromLines(values, read.lines);
    else
        applyDefaults(values);
    why = QStringList{chain::utf8Note(settingsPath(values), read), why}.join(u' ').trimmed();
    if (read.state == chain::TextRead::State::Unreadable)
        why = QStringLiteral("設定ファイル %1 を読めないため、変換表は空で始めます (%2)。")
                  .arg(text::settingsFileName(), read.reason) +
              chain::keptOnSaveNote(settingsPath(values), QStringLiteral("記憶すると"));
    if (problem)
        *problem = why;
}

QString settingsFromLines(ValueTable& values, const QStringList& lines) {
    const auto fail = [&](const QString& why) {
        applyDefaults(values);
        return why;
    };
    if (lines.size() < 3)
        return fail(QStringLiteral("設定ファイル %1 の行が足りないため、変換表は空で始めます。")
                        .arg(text::settingsFileName()));
    const std::optional<QString> before = chain::unquoteLine(lines.at(1));
    const std::optional<QString> after = chain::unquoteLine(lines.at(2));
    if (!before || !after)
        return fail(QStringLiteral("設定ファイル %1 の変換表の行 (2、3 行目) が正しくないため、"
                                   "変換表は空で始めます。")
                        .arg(text::settingsFileName()));
    values.set(slot::RenameFolder, chain::trimBlanks(lines.at(0)));
    values.set(slot::BeforeString, *before);
    values.set(slot::AfterString, *after);
    return {};
}

QStringList settingsLines(const ValueTable& values, const QString& before, const QString& after) {
    return {values.text(slot::RenameFolder), chain::quoteLine(before), chain::quoteLine(after)};
}

QString writeSettings(const ValueTable& values, const QString& before, const QString& after) {
    // The writer refuses a line break inside a value (it would split it over two lines
    // and spoil the file) and a character cp932 can't hold, naming it; it keeps a file
    // it could not read as a backup before replacing it.
    return chain::writeTextLines(settingsPath(values), settingsLines(values, before, after));
}

} // namespace tassik
