#include "EventLogView.h"

#include <QScrollBar>

namespace chain {

EventLogView::EventLogView(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setUniformItemSizes(true);
}

void EventLogView::addLine(const QString& text) {
    addLine(text, QTime::currentTime());
}

void EventLogView::addLine(const QString& text, const QTime& time) {
    const bool atBottom =
        verticalScrollBar() == nullptr || verticalScrollBar()->value() == verticalScrollBar()->maximum();
    addItem(time.toString(QStringLiteral("HH:mm:ss")) + u' ' + text);
    while (count() > MaxLines)
        delete takeItem(0);
    if (atBottom)
        scrollToBottom();
}

} // namespace chain
