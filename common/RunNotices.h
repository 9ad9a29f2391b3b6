#pragma once

#include "Notifier.h"
#include "RunProgress.h"

#include <QString>

namespace chain {

// What an engine passes on besides its settings and tools: where its notices go (none:
// nothing is told) and the clock its run times are read from (none: the real one).
struct RunSeams {
    Notifier* notifier = nullptr;
    SteadyClock clock;
};

// Decides what an engine tells the desktop: each tool run that ends, done or failed, with
// its file, and the queue once it has run empty after a run. Without a notifier nothing
// is told.
class RunNotices {
  public:
    explicit RunNotices(Notifier* notifier) : m_notifier(notifier) {}

    // A run on `file` has ended; `duration` is its " (所要 …)" text, perhaps empty.
    void runEnded(const QString& file, bool done, const QString& duration);
    // After each step: whether nothing is left to do. Tells of the empty queue once, when
    // it becomes empty after a run ended.
    void queueEmpty(bool empty);

  private:
    Notifier* m_notifier;
    bool m_ranSinceEmpty = false;
};

} // namespace chain
