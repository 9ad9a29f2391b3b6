#pragma once

#include "Keywords.h"
#include "Slots.h"

#include "Dialogs.h"

namespace kestrune {

// The data side of Kestrune's start-up: checks that BonTsDemux.exe lies in the program
// folder (telling the user when it doesn't), then loads the settings file or the
// defaults and the keyword list. Slot 1 then holds "0" or "1" and slot 13 "0" or "1",
// as the option buttons and the keyword check box store them. Returns false when the
// program must end.
bool startUp(const QString& programFolder, Settings& settings, Keywords& keywords, chain::Dialogs& dialogs);

} // namespace kestrune
