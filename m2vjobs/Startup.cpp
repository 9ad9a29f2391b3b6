#include "Startup.h"

#include "Settings.h"
#include "Texts.h"

#include "FileOps.h"
#include "TextFile.h"

namespace pellavo {

namespace {
void noteUnreadable(QStringList& notes, const QString& path, const chain::TextRead& read) {
    if (read.state == chain::TextRead::State::Unreadable)
        notes << QStringLiteral("%1 を読めないため、既定値を使います: %2").arg(path, read.reason);
}
} // namespace

QStringList startUp(const QString& startFolder, SettingTable& settings, PatternTable& patterns,
                    chain::Dialogs& dialogs) {
    QStringList notes;
    settings.set(slot::StartFolder, startFolder);
    for (const QString& file : {text::SettingsFile, text::PatternFile}) {
        for (const QString& leftover : chain::removeSaveLeftovers(chain::joinPath(startFolder, file)))
            notes << QStringLiteral("保存の途中で残った一時ファイル %1 を削除しました").arg(leftover);
    }
    noteUnreadable(notes, chain::joinPath(startFolder, text::SettingsFile), loadSettings(settings));
    noteUnreadable(notes, chain::joinPath(startFolder, text::PatternFile),
                   loadPatterns(startFolder, patterns));
    if (!hasRequiredEntries(patterns))
        dialogs.message(text::FatalTitle, text::MissingBothText1 + u'\n' + text::MissingBothText2);
    return notes;
}

} // namespace pellavo
