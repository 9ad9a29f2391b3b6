#include "PrintingDialogs.h"

#include <cstdio>

namespace chain {

namespace {
void printLine(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}
} // namespace

void PrintingDialogs::message(const QString& title, const QString& text, Icon) {
    printLine(QStringLiteral("[") + title + QStringLiteral("] ") + text);
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
