#pragma once

namespace pellavo {

// Runs Pellavo with its main window: start-up with the real message boxes, then the
// window until the user quits. Needs a QApplication. Returns the exit status.
int runWindow();

} // namespace pellavo
