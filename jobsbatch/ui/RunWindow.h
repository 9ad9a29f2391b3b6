#pragma once

namespace orvane {

// Opens the main window in the current folder and runs until it is closed.
int runWindow();

} // namespace orvane
