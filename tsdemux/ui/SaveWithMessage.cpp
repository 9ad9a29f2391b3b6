#include "SaveWithMessage.h"

#include "Settings.h"
#include "Texts.h"

#include "FileOps.h"

namespace kestrune {

bool saveSettingsTelling(const Settings& settings, chain::Dialogs& dialogs) {
    const QString reason = SaveSettings(settings);
    if (reason.isEmpty())
        return true;
    tellWriteFailure(dialogs, chain::joinPath(settings.text(slot::ProgramFolder), SettingsFileName), reason);
    return false;
}

void tellDeleteFailure(chain::Dialogs& dialogs, const QString& path, const QString& reason) {
    dialogs.message(text::ErrorTitle, QStringLiteral("%1 を削除できませんでした。\n%2").arg(path, reason),
                    chain::Dialogs::Icon::Critical);
}

} // namespace kestrune
