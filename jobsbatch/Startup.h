#pragma once

#include "JobLists.h"
#include "Slots.h"

#include <QStringList>

namespace orvane {

// The data side of Orvane's start-up: the start folder into slot 0, the settings file
// (or its defaults), no current job, each folder that can't be listed replaced by the
// start folder (the settings file keeps it until "記憶"), then the job list read and its
// first entry shown. What interrupted saves left of the settings file and of
// VirtualDub.jobs is removed. Returns the lines for the event log.
QStringList startUp(const QString& startFolder, StateTable& state, JobLists& lists);

} // namespace orvane
