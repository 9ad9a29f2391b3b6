#pragma once

#include <QString>

namespace chain {

// Prints one event of a headless run on standard output as "HH:MM:SS text".
void printEvent(const QString& text);

} // namespace chain
