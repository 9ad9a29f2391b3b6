#pragma once

#include "PatternTable.h"
#include "Slots.h"

#include "Dialogs.h"

#include <QStringList>

namespace pellavo {

// The data side of Pellavo's start-up: slot 0 := the start folder, leftovers of
// interrupted saves of the two settings files, the run record and VirtualDub.jobs removed, the settings and
// the pattern table loaded (defaults for what is missing), and the entries no job can be made without
// checked, their message box shown when they are missing. Start-up never stops the program. Returns lines for
// the event log: a settings file that is there but can't be read (its defaults apply) or was read as
// UTF-8, codes of the settings file read otherwise than written, and leftovers removed.
QStringList startUp(const QString& startFolder, SettingTable& settings, PatternTable& patterns,
                    chain::Dialogs& dialogs);

} // namespace pellavo
