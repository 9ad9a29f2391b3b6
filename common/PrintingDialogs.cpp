#include "PrintingDialogs.h"

#include "EventPrinter.h"

#include <QStringList>

namespace chain {

void PrintingDialogs::message(const QString& title, const QString& text, Icon, const QString& details) {
    printErrorLine(QStringLiteral("[") + title + QStringLiteral("] ") + text);
    if (!details.isEmpty()) {
        for (const QString& line : details.split(u'\n'))
            printErrorLine(QStringLiteral("  ") + line);
    }
}

bool PrintingDialogs::question(const QString& title, const QString& text) {
    printErrorLine(QStringLiteral("[") + title + QStringLiteral("] ") + text +
                   QStringLiteral(" → いいえ (headless)"));
    return false;
}

std::optional<QString> PrintingDialogs::pickFolder(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

} // namespace chain
