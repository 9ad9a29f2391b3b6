#pragma once

namespace chain::platform {

// On Windows the programs are GUI programs (no console window opens when a shortcut starts
// them), so a run from a command prompt or a scheduled task would print nowhere. This
// attaches the process to its parent's console when the parent has one, and points the
// standard streams that have no target yet at it; streams the parent redirected (to a
// file or a pipe) keep their target. Nothing happens elsewhere, or without a parent
// console.
void attachParentConsole();

} // namespace chain::platform
