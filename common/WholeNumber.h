#pragma once

#include <QString>

namespace chain {

// The number a text stands for wherever an interval, flag or code is read from a
// slot or a text box: its leading decimal number (blanks before it and a sign
// allowed), rounded to the nearest integer with ties to even, 0 when the text does
// not begin with a number. Values beyond the int range are clamped.
int wholeNumber(const QString& text);

// The leading decimal number of the text itself, unrounded; 0 when there is none.
double leadingNumber(const QString& text);

} // namespace chain
