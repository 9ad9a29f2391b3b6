#pragma once

#include <QStringList>

namespace kestrune {

// Runs Kestrune without a window: the same start-up, then the engine as the start
// button starts it (in individual mode after listing the source folder as "取得" does),
// printing each event. Options: --until-idle, --time-scale F. Needs a
// QCoreApplication. Returns the exit status: 0 normal end, 1 nothing to do or bad
// input, 2 fatal start-up error.
int runHeadless(const QStringList& arguments);

} // namespace kestrune
