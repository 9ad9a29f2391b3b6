#pragma once

#include <QString>

namespace chain {

// Where an engine's notices go: a tray icon's message on the desktop, a recording in
// tests. The engine decides what to tell and when (RunNotices); this only shows it.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& text) = 0;
};

} // namespace chain
