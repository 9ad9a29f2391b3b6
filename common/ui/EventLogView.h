#pragma once

#include <QListWidget>
#include <QTime>

namespace chain {

class EventLog;

// The read-only event log at the bottom of an engine window: one line per event,
// "HH:mm:ss text", wrapped to the pane's width, newest last, keeping only the most
// recent lines.
class EventLogView : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int MaxLines = 1000;

    explicit EventLogView(QWidget* parent = nullptr);

    // Appends a line stamped with the current time.
    void addLine(const QString& text);
    void addLine(const QString& text, const QTime& time);
    // Shows lines of earlier runs as the log file holds them (with their date), in grey,
    // followed by a line that marks where the earlier history ends.
    void showHistory(const QStringList& lines);
    // Shows the log's recent history, then each event as it is added and a failure to
    // write the log file (once, as the log tells it).
    void follow(EventLog& log, int historyLines = 100);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void append(QListWidgetItem* item);

    bool m_scrollPending = false;
};

} // namespace chain
