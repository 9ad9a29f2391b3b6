#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace chain {

// A steady clock in ms: the engines read the time of their tool runs through one, so that
// tests can move it on without waiting.
using SteadyClock = std::function<qint64()>;
// The process's steady clock (ms since its first reading).
qint64 steadyMs();

// The time and the growing output of the tool run under way, for the status line, and the
// duration of each finished run, for its event line. A run taken over from an earlier
// program (its start unknown here) has no figures.
class RunProgress {
  public:
    explicit RunProgress(SteadyClock clock = {});

    // A tool run starts now; `outputs` are the files it writes that can be watched growing
    // (none: only the time is shown).
    void begin(const QStringList& outputs = {});
    // The run has ended: " (所要 12:34)" for its event line, or empty when none was begun.
    QString end();
    bool running() const { return m_startedAt >= 0; }
    // "経過 12:34" and, when an output is there, "　出力 1.5 MB" (all outputs together);
    // empty when no run is under way.
    QString text() const;

    // "12:34" (minutes and seconds), "1:02:03" from an hour on.
    static QString duration(qint64 ms);
    // "512 KB", "1.5 MB", "2.25 GB".
    static QString size(qint64 bytes);

  private:
    SteadyClock m_clock;
    qint64 m_startedAt = -1;
    QStringList m_outputs;
};

} // namespace chain
