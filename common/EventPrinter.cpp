#include "EventPrinter.h"

#include "EventLog.h"

#include <cstdio>

namespace chain {

void printEvent(const QString& text) {
    printEvent(QDateTime::currentDateTime(), text);
}

void printEvent(const QDateTime& when, const QString& text) {
    const QString line = when.toString(QStringLiteral("HH:mm:ss")) + u' ' + text + u'\n';
    std::fputs(line.toUtf8().constData(), stdout);
}

void flushPrintedEvents() {
    std::fflush(stdout);
}

void printEventsOf(EventLog& log) {
    QObject::connect(&log, &EventLog::added,
                     [](const QDateTime& when, const QString& text) { printEvent(when, text); });
    QObject::connect(&log, &EventLog::writeFailed, [](const QString& reason) {
        std::fputs((reason + u'\n').toUtf8().constData(), stderr);
        std::fflush(stderr);
    });
}

} // namespace chain
