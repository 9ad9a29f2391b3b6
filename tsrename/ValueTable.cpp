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

ValueTable startUp(const QString& startFolder) {
    ValueTable values(slot::Count);
    values.set(slot::StartFolder, startFolder);
    loadSettings(values);
    return values;
}

QString settingsPath(const ValueTable& values) {
    return chain::joinPath(values.text(slot::StartFolder), text::settingsFileName());
}

void loadSettings(ValueTable& values) {
    const std::optional<QStringList> lines = chain::readTextLines(settingsPath(values));
    if (!lines || lines->size() < 3) {
        applyDefaults(values);
        return;
    }
    const std::optional<QString> before = chain::unquoteLine(lines->at(1));
    const std::optional<QString> after = chain::unquoteLine(lines->at(2));
    if (!before || !after) {
        applyDefaults(values);
        return;
    }
    values.set(slot::RenameFolder, chain::trimBlanks(lines->at(0)));
    values.set(slot::BeforeString, *before);
    values.set(slot::AfterString, *after);
}

QString writeSettings(const ValueTable& values, const QString& before, const QString& after) {
    const QStringList lines = {values.text(slot::RenameFolder), chain::quoteLine(before),
                               chain::quoteLine(after)};
    // A line break inside a value would split it over two lines and spoil the file.
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            return QStringLiteral("改行を含む文字は保存できません");
    }
    return chain::writeTextLines(settingsPath(values), lines);
}

} // namespace tassik
