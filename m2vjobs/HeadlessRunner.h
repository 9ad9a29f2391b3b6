#pragma once

#include <QStringList>

namespace pellavo {

// Runs Pellavo without a window, as the window runs from opening: the same start-up,
// then the engine watching, its first tick after 10440 ms, printing each event and
// appending it to pellavo.log. Options: --until-idle, --time-scale F, --no-log. Needs
// a QCoreApplication. Returns the exit status: 0 normal end, 1 bad options or the
// engine stopped itself (a missing pattern, an unreadable pattern file).
int runHeadless(const QStringList& arguments);

} // namespace pellavo
