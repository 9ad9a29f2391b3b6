#pragma once

class QLineEdit;

namespace chain {

// Rules for the edit boxes that feed one-line settings (folders, character tables,
// keywords). A QLineEdit keeps the line breaks of pasted or set text, and cuts what is
// longer than 32767 UTF-16 units, so neither is left to it. Apply a rule before the box
// gets its first text.

// Keeps the box on one line: line breaks and every other control character (a pasted
// tab, say) typed, pasted or set are dropped. Its text has no length limit, so a long
// table is never cut silently.
void keepOneLine(QLineEdit* box);

// Keeps the box to at most one character, counted as the user sees characters (a
// character outside the BMP, such as an emoji, stays whole), with no control character.
// Of a longer text, the first character is kept.
void keepOneCharacter(QLineEdit* box);

} // namespace chain
