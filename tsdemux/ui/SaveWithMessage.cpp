#include "SaveWithMessage.h"

#include "Settings.h"

#include "FailureMessages.h"
#include "FileOps.h"

namespace kestrune {

bool saveSettingsTelling(const Settings& settings, chain::Dialogs& dialogs) {
    const QString reason = SaveSettings(settings);
    if (reason.isEmpty())
        return true;
    chain::tellWriteFailure(dialogs, chain::joinPath(settings.text(slot::ProgramFolder), SettingsFileName),
                            reason);
    return false;
}

} // namespace kestrune
