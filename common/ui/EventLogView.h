#pragma once

#include <QListWidget>
#include <QTime>

namespace chain {

// The read-only event log at the bottom of an engine window: one line per event,
// "HH:mm:ss text", newest last, keeping only the most recent lines.
class EventLogView : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int MaxLines = 1000;

    explicit EventLogView(QWidget* parent = nullptr);

    // Appends a line stamped with the current time.
    void addLine(const QString& text);
    void addLine(const QString& text, const QTime& time);
};

} // namespace chain
