#include "Startup.h"

#include "JobEngine.h"
#include "Settings.h"
#include "Texts.h"

#include "FileOps.h"
#include "TextFile.h"

namespace pellavo {

namespace {
// What reading a settings file came to, when it is worth telling: unreadable (defaults
// apply), or read as UTF-8.
QString readingNote(const QString& folder, const QString& file, const chain::TextRead& read,
                    const QString& afterwards) {
    if (read.state != chain::TextRead::State::Unreadable)
        return chain::utf8Note(chain::joinPath(folder, file), read);
    return QStringLiteral("設定ファイル %1 を読めないため、%2 (%3)。").arg(file, afterwards, read.reason);
}
} // namespace

QStringList startUp(const QString& startFolder, SettingTable& settings, PatternTable& patterns,
                    chain::Dialogs& dialogs) {
    QStringList notes;
    const auto removeLeftovers = [&](const QString& path) {
        for (const QString& leftover : chain::removeSaveLeftovers(path))
            notes << QStringLiteral("中断された保存の一時ファイル %1 を削除しました").arg(leftover);
    };
    settings.set(slot::StartFolder, startFolder);
    for (const QString& file : {text::SettingsFile, text::PatternFile, JobEngine::RunRecordFile})
        removeLeftovers(chain::joinPath(startFolder, file));
    QString corrected;
    notes << readingNote(startFolder, text::SettingsFile, loadSettings(settings, &corrected),
                         QStringLiteral("既定の設定で始めます"))
          << corrected
          << readingNote(startFolder, text::PatternFile, loadPatterns(startFolder, patterns),
                         QStringLiteral("既定の登録で始めます"));
    notes.removeAll(QString());
    removeLeftovers(chain::joinPath(settings.text(slot::VirtualDubFolder), text::JobsFile));
    if (!hasRequiredEntries(patterns))
        dialogs.message(text::FatalTitle, text::MissingBothText1 + u'\n' + text::MissingBothText2);
    return notes;
}

} // namespace pellavo
