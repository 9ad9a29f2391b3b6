#include "EventLogView.h"

#include "EventLog.h"

#include <QScrollBar>

namespace chain {

EventLogView::EventLogView(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    // A long line (a note naming a file and the reason) wraps within the pane instead of
    // running past its right edge.
    setWordWrap(true);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void EventLogView::addLine(const QString& text) {
    addLine(text, QTime::currentTime());
}

void EventLogView::addLine(const QString& text, const QTime& time) {
    append(new QListWidgetItem(time.toString(QStringLiteral("HH:mm:ss")) + u' ' + text));
}

void EventLogView::showHistory(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line);
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
        append(item);
    }
    auto* mark = new QListWidgetItem(QStringLiteral("―――― ここまでは以前の記録です ――――"));
    mark->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    mark->setTextAlignment(Qt::AlignCenter);
    append(mark);
}

void EventLogView::follow(EventLog& log, int historyLines) {
    showHistory(log.history(historyLines));
    connect(&log, &EventLog::added, this,
            [this](const QDateTime& when, const QString& text) { addLine(text, when.time()); });
    connect(&log, &EventLog::writeFailed, this, qOverload<const QString&>(&EventLogView::addLine));
}

void EventLogView::showEvent(QShowEvent* event) {
    QListWidget::showEvent(event);
    scrollToBottom(); // lines added before the pane had its size may have scrolled it short
}

void EventLogView::append(QListWidgetItem* item) {
    const bool atBottom = m_scrollPending || verticalScrollBar() == nullptr ||
                          verticalScrollBar()->value() == verticalScrollBar()->maximum();
    addItem(item);
    while (count() > MaxLines)
        delete takeItem(0);
    // Scrolled once for the lines added together: wrapped lines differ in height, and
    // laying every line out again for each new one would make a burst of lines slow.
    if (atBottom && !m_scrollPending) {
        m_scrollPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_scrollPending = false;
                scrollToBottom();
            },
            Qt::QueuedConnection);
    }
}

} // namespace chain
