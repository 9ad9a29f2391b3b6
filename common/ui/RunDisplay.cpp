#include "RunDisplay.h"

#include "TrayIcon.h"

#include <QLabel>

namespace chain {

namespace {
constexpr int RefreshMs = 1000;
}

RunDisplay::RunDisplay(QWidget* window, const QString& program, const QString& folder)
    : QObject(window), m_label(new QLabel(window)), m_tray(TrayIcon::create(window, program, folder)) {
    m_label->setObjectName(QStringLiteral("RunProgress"));
    m_timer.setInterval(RefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &RunDisplay::refresh);
}

Notifier* RunDisplay::notifier() const {
    return m_tray;
}

void RunDisplay::follow(std::function<QString()> status, std::function<QString()> progress) {
    m_status = std::move(status);
    m_progress = std::move(progress);
    refresh();
}

void RunDisplay::setRunning(bool running) {
    if (running)
        m_timer.start();
    else
        m_timer.stop();
    refresh();
}

void RunDisplay::refresh() {
    // A tool left running by a stop is not followed: the figures go with the engine.
    const QString progress = m_timer.isActive() && m_progress ? m_progress() : QString();
    m_label->setText(progress);
    if (!m_tray)
        return;
    QString status = m_status ? m_status() : QString();
    if (!progress.isEmpty())
        status += (status.isEmpty() ? QString() : QStringLiteral("　")) + progress;
    m_tray->setStatus(status);
}

} // namespace chain
