#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace chain {

// Drives an engine from one single-shot timer: each tick calls the step, which returns
// the next interval in ms, or nothing when the engine has stopped. The real wait is the
// interval times the time scale (1 in normal use; smaller for tests and the demo).
class StepDriver : public QObject {
    Q_OBJECT
  public:
    using Step = std::function<std::optional<int>()>;
    StepDriver(Step step, double timeScale = 1.0, QObject* parent = nullptr);

    // Arms the timer for the first step after `intervalMs`.
    void arm(int intervalMs);
    void disarm();
    bool isArmed() const { return m_timer.isActive(); }
    // While held (a window's modal box is up, say), a step that falls due waits, and
    // release() runs it; the timer keeps its schedule meanwhile.
    void hold();
    void release();

  Q_SIGNALS:
    // After every step, with what it returned.
    void stepped(std::optional<int> nextIntervalMs);

  private:
    void tick();

    Step m_step;
    double m_timeScale;
    QTimer m_timer;
    bool m_held = false;
    bool m_due = false; // a step fell due while held
};

} // namespace chain
