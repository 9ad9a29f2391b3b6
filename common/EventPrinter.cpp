#include "EventPrinter.h"

#include <QTime>
#include <cstdio>

namespace chain {

void printEvent(const QString& text) {
    const QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + u' ' + text + u'\n';
    std::fputs(line.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace chain
