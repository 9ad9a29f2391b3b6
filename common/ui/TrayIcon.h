#pragma once

#include "Notifier.h"

#include <QObject>
#include <QString>

class QSystemTrayIcon;
class QWidget;

namespace chain {

// An engine window's icon in the desktop's system tray: its tooltip is the window's status
// line, a click brings the window forward, and the engine's notices show as its messages
// (unless the program's tray setting turns them off).
class TrayIcon : public QObject, public Notifier {
    Q_OBJECT
  public:
    // The icon for `window`, or nothing where the desktop has no tray. `program` names the
    // icon and the setting file ("kestrune"); `folder` is where the settings are.
    static TrayIcon* create(QWidget* window, const QString& program, const QString& folder);

    void notify(const QString& title, const QString& text) override;
    void setStatus(const QString& text);

  private:
    TrayIcon(QWidget* window, const QString& program, bool noticesOn);
    void bringForward();

    QWidget* m_window;
    QSystemTrayIcon* m_icon;
    bool m_noticesOn;
};

} // namespace chain
