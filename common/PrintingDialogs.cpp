#include "PrintingDialogs.h"

#include "platform/Console.h"

#include <QStringList>
#include <cstdio>

namespace chain {

namespace {
void printLine(const QString& line) {
    platform::writeText(stderr, (line + u'\n').toUtf8().constData());
    std::fflush(stderr);
}
} // namespace

void PrintingDialogs::message(const QString& title, const QString& text, Icon, const QString& details) {
    printLine(QStringLiteral("[") + title + QStringLiteral("] ") + text);
    if (!details.isEmpty()) {
        for (const QString& line : details.split(u'\n'))
            printLine(QStringLiteral("  ") + line);
    }
}

bool PrintingDialogs::question(const QString& title, const QString& text) {
    printLine(QStringLiteral("[") + title + QStringLiteral("] ") + text +
              QStringLiteral(" → いいえ (headless)"));
    return false;
}

std::optional<QString> PrintingDialogs::pickFolder(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

} // namespace chain
