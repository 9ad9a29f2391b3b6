#pragma once

#include "Slots.h"

#include "Dialogs.h"
#include "WriteFailure.h"

namespace kestrune {

// Runs SaveSettings; when the settings file can't be written, tells the user which file
// and why. True when the file was written.
bool saveSettingsTelling(const Settings& settings, chain::Dialogs& dialogs);

// Tells the user that a file could not be written, or deleted, and why.
using chain::tellWriteFailure;
void tellDeleteFailure(chain::Dialogs& dialogs, const QString& path, const QString& reason);

} // namespace kestrune
