#include "StepDriver.h"

#include <cmath>

namespace chain {

StepDriver::StepDriver(Step step, double timeScale, QObject* parent)
    : QObject(parent), m_step(std::move(step)), m_timeScale(timeScale) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StepDriver::tick);
}

void StepDriver::arm(int intervalMs) {
    m_timer.start(static_cast<int>(std::lround(intervalMs * m_timeScale)));
}

void StepDriver::disarm() {
    m_timer.stop();
}

void StepDriver::tick() {
    const std::optional<int> next = m_step();
    if (next)
        arm(*next);
    Q_EMIT stepped(next);
}

} // namespace chain
