#include "TrayIcon.h"

#include "NoticeSetting.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

namespace chain {

TrayIcon* TrayIcon::create(QWidget* window, const QString& program, const QString& folder) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return new TrayIcon(window, program, noticesOn(noticeSettingPath(folder, program)));
}

TrayIcon::TrayIcon(QWidget* window, const QString& program, bool noticesOn)
    : QObject(window), m_window(window),
      m_icon(new QSystemTrayIcon(QIcon(QStringLiteral(":/tray/%1.png").arg(program)), this)),
      m_noticesOn(noticesOn) {
    m_icon->setToolTip(window->windowTitle());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            bringForward();
    });
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, &TrayIcon::bringForward);
    m_icon->show();
}

void TrayIcon::bringForward() {
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void TrayIcon::notify(const QString& title, const QString& text) {
    if (m_noticesOn)
        m_icon->showMessage(title, text);
}

void TrayIcon::setStatus(const QString& text) {
    m_icon->setToolTip(text.isEmpty() ? m_window->windowTitle() : text);
}

} // namespace chain
