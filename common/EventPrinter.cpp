#include "EventPrinter.h"

#include "EventLog.h"
#include "platform/Console.h"

#include <cstdio>

namespace chain {

void printEvent(const QString& text) {
    printEvent(QDateTime::currentDateTime(), text);
}

void printEvent(const QDateTime& when, const QString& text) {
    // The time is formatted once for each second (and offset) that events come in.
    static qint64 shownSecond = -1;
    static int shownOffset = 0;
    static QByteArray shown;
    if (when.toSecsSinceEpoch() != shownSecond || when.offsetFromUtc() != shownOffset) {
        shownSecond = when.toSecsSinceEpoch();
        shownOffset = when.offsetFromUtc();
        shown = when.toString(QStringLiteral("HH:mm:ss")).toUtf8();
    }
    QByteArray line = shown;
    line += ' ';
    line += text.toUtf8();
    line += '\n';
    platform::writeText(stdout, line.constData());
}

void flushPrintedEvents() {
    std::fflush(stdout);
}

void printErrorLine(const QString& line) {
    platform::writeText(stderr, (line + u'\n').toUtf8().constData());
    std::fflush(stderr);
}

void printEventsOf(EventLog& log) {
    QObject::connect(&log, &EventLog::added,
                     [](const QDateTime& when, const QString& text) { printEvent(when, text); });
    QObject::connect(&log, &EventLog::writeFailed, printErrorLine);
}

} // namespace chain
