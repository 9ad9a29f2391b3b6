#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QLabel;
class QWidget;

namespace chain {

class Notifier;
class TrayIcon;

// What an engine window shows of a tool run besides its own status line: the elapsed time
// and output size beside it (read from the engine once a second while the engine runs,
// one timer for the window), and the tray icon, where the desktop has a tray, whose
// tooltip is the status line and which shows the engine's notices.
class RunDisplay : public QObject {
    Q_OBJECT
  public:
    // `program` names the tray icon and its setting file ("kestrune"), kept in `folder`.
    RunDisplay(QWidget* window, const QString& program, const QString& folder);

    // The label beside the status line (object name "RunProgress"), empty while no tool runs.
    QLabel* label() const { return m_label; }
    // Where the engine's notices go: the tray icon, or nothing without a tray.
    Notifier* notifier() const;
    // Where the status line's text and the engine's figures are read.
    void follow(std::function<QString()> status, std::function<QString()> progress);
    // The engine runs (the figures are read once a second) or has stopped.
    void setRunning(bool running);
    // Reads the figures now.
    void refresh();

  private:
    QLabel* m_label;
    TrayIcon* m_tray;
    QTimer m_timer;
    std::function<QString()> m_status;
    std::function<QString()> m_progress;
};

} // namespace chain
