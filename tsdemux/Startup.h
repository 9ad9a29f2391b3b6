#pragma once

#include "Keywords.h"
#include "Slots.h"

#include "Dialogs.h"

#include <QStringList>

namespace kestrune {

// The data side of Kestrune's start-up: checks that BonTsDemux.exe lies in the program
// folder (telling the user when it doesn't), removes what interrupted saves left of the
// two files, the run record and the list of unfiled recordings, then loads the settings
// file or the defaults and the keyword list. Slot 1 then holds "0" or "1", slots 13 and
// 14 "0" or "1" (as the option buttons and check boxes store them), slot 5 an interval
// within 1-60 and slot 12 one within 20-300. Returns false when the program must end.
// `notes`, when given, receives lines for the event log: a settings or keyword file that
// is there but can't be used, a check interval brought into its range, leftovers removed.
bool startUp(const QString& programFolder, Settings& settings, Keywords& keywords, chain::Dialogs& dialogs,
             QStringList* notes = nullptr);

} // namespace kestrune
