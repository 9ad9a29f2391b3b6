#pragma once

#include "Slots.h"

#include "Dialogs.h"

namespace kestrune {

// Runs SaveSettings; when the settings file can't be written, tells the user which file
// and why. True when the file was written.
bool saveSettingsTelling(const Settings& settings, chain::Dialogs& dialogs);

} // namespace kestrune
