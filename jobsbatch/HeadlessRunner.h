#pragma once

#include <QStringList>

namespace orvane {

// Runs Orvane without a window: the same start-up, then the batch as "開始" starts it,
// printing each event and writing it to orvane.log (not with --no-log). Options:
// --until-idle, --time-scale F, --no-log. With the close option on
// the run ends by itself when no jobs file is left (exit 0). Needs a QCoreApplication.
// Returns the exit status: 0 normal end, 1 a refused command line.
int runHeadless(const QStringList& arguments);

} // namespace orvane
