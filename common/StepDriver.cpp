#include "StepDriver.h"

#include <cmath>

namespace chain {

StepDriver::StepDriver(Step step, double timeScale, QObject* parent)
    : QObject(parent), m_step(std::move(step)), m_timeScale(timeScale) {
    m_timer.setSingleShot(true);
    // Qt's default coarse timers round long intervals to whole seconds, so programs started
    // within the same second would step within milliseconds of each other for good.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StepDriver::tick);
}

void StepDriver::arm(int intervalMs) {
    m_due = false;
    m_timer.start(static_cast<int>(std::lround(intervalMs * m_timeScale)));
}

void StepDriver::disarm() {
    m_due = false;
    m_timer.stop();
}

void StepDriver::hold() {
    m_held = true;
}

void StepDriver::release() {
    m_held = false;
    if (m_due) {
        m_due = false;
        tick();
    }
}

void StepDriver::tick() {
    if (m_held) {
        m_due = true;
        return;
    }
    const std::optional<int> next = m_step();
    if (next)
        arm(*next);
    Q_EMIT stepped(next);
}

} // namespace chain
