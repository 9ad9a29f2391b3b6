#pragma once

#include <cstdio>
#include <string_view>

namespace chain::platform {

// On Windows the programs are GUI programs (no console window opens when a shortcut starts
// them), so a run from a command prompt or a scheduled task would print nowhere. This
// attaches the process to its parent's console when the parent has one, and points the
// standard streams that have no target yet at it; streams the parent redirected (to a
// file or a pipe) keep their target. Nothing happens elsewhere, or without a parent
// console.
void attachParentConsole();

// Writes UTF-8 text to `stream` (standard output or standard error). On
// Windows a console is given the text as wide characters, since its code page is seldom
// UTF-8 and Japanese would come out garbled; a pipe or a file gets the UTF-8 bytes, with
// the C runtime's line ends (CR LF). Elsewhere the bytes are written as they are.
void writeText(std::FILE* stream, std::string_view utf8);

} // namespace chain::platform
