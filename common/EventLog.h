#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

namespace chain {

// Where a program's events go: each event (a tool started, a file renamed, moved or
// deleted, a failure, a status change) is stamped with the time, shown at once by
// whoever listens (the window's pane, the headless printer), and appended to the
// program's log file in its program folder at the end of the engine step, so the
// night's story can be read in the morning.
//
// The file is UTF-8 (file names of every system fit) with CR LF, one line per event,
// "YYYY-MM-DD HH:MM:SS text". It is only ever appended to, whole lines at a time; past
// MaxFileBytes it becomes <name>.1, the older ones shift up to <name>.5 and the oldest is
// dropped. A file that can't be written (a full disk, a FIFO or other non-regular file in
// its place) never stops the engine: the failure is told once (writeFailed) and the lines
// wait for the next flush, so none is lost and none is written twice.
class EventLog : public QObject {
    Q_OBJECT
  public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr int KeptOldFiles = 5;

    // `logPath` empty: events are shown but not written (--no-log).
    explicit EventLog(const QString& logPath, QObject* parent = nullptr);
    ~EventLog() override;

    // The file name of a program's log: "<program>.log".
    static QString fileName(const QString& program);

    // Adds one event now. It is written when the program next returns to its event loop
    // (the end of the step or the click that made it), or at an earlier flush().
    void add(const QString& text);
    // Writes the events added since the last flush.
    void flush();
    // The last `count` lines of the log as written before this run (the rotated file
    // too, when the current one holds fewer), oldest first.
    QStringList history(int count = 100) const;

    const QString& path() const { return m_path; }

  Q_SIGNALS:
    // An event was added; `when` is local time.
    void added(const QDateTime& when, const QString& text);
    // The file could not be written; told once until a write succeeds again.
    void writeFailed(const QString& reason);

  private:
    QDateTime now();
    // "YYYY-MM-DD HH:MM:SS" of a time, made once for each second that events come in.
    const QByteArray& stamp(const QDateTime& when);
    bool rotateIfFull(qint64 incoming);

    QString m_path;
    QByteArray m_pending;
    bool m_failureTold = false;
    bool m_flushScheduled = false;
    qint64 m_offsetSeconds = 0; // local time minus UTC, read again at every flush
    qint64 m_stampSecond = -1;  // the second m_stamp shows (UTC), -1 for none
    QByteArray m_stamp;
};

} // namespace chain
