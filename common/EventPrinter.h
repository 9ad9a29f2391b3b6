#pragma once

#include <QDateTime>
#include <QString>

namespace chain {

class EventLog;

// Prints one event of a headless run on standard output as "HH:MM:SS text". The output
// is buffered; flushPrintedEvents() hands it on at the end of each step.
void printEvent(const QString& text);
void printEvent(const QDateTime& when, const QString& text);
void flushPrintedEvents();

// Prints a line on standard error at once (a console shows it whatever its code page).
void printErrorLine(const QString& line);

// Prints every event of the log as it is added, and a failure to write the log file on
// standard error.
void printEventsOf(EventLog& log);

} // namespace chain
