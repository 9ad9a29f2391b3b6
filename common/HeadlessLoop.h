#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace chain {

class EventLog;

// The options of every engine's headless run:
// --headless [--until-idle] [--time-scale F] [--no-log].
struct HeadlessOptions {
    bool untilIdle = false;
    bool noLog = false;     // events only on standard output, not in the log file
    double timeScale = 1.0; // every real wait is the engine's interval times this
    QString error;          // why the command line was refused; empty when it wasn't
};
HeadlessOptions parseHeadlessOptions(const QStringList& arguments);

// The exit status of every program's headless run, the same for all four.
enum HeadlessExit {
    ExitDone = 0,        // all done
    ExitNothingToDo = 1, // nothing to do, or the input was refused
    ExitFatal = 2,       // a fatal start-up error (unknown option, second instance, missing tool)
    ExitFileFailed = 3,  // the run ended with at least one file failed (passed over, not renamed)
};

// What the headless loop needs of an engine.
struct HeadlessEngine {
    // One timer tick: the next interval in ms, or nothing when the engine stopped itself.
    std::function<std::optional<int>()> step;
    // Nothing left to do: no file left to take and no run pending (for --until-idle).
    std::function<bool()> idle;
    // Stops the engine as "中止" does (SIGINT, SIGTERM); a running tool keeps running.
    std::function<void()> stop;
    // The exit status when the engine stopped itself.
    std::function<int()> stoppedStatus;
    // Whether a file failed in this run and was passed over: a run that ends well
    // otherwise then exits with ExitFileFailed.
    std::function<bool()> anyFailed;
};

// Drives the engine from one single-shot timer, the first tick after `firstIntervalMs`,
// until it stops itself, --until-idle finds it idle after a step (exit 0, or 3 when a
// file failed), or SIGINT or SIGTERM arrives (stopped as "中止", exit 0). Signals reach
// the event loop through a self-pipe, so nothing wakes the program between ticks. After
// every step the events are written to the log file (when there is one) and standard
// output is flushed. Needs a QCoreApplication.
int runHeadlessLoop(const HeadlessOptions& options, const HeadlessEngine& engine, int firstIntervalMs,
                    EventLog* log = nullptr);

} // namespace chain
