#include "HeadlessLoop.h"

#include "EventLog.h"
#include "EventPrinter.h"
#include "StepDriver.h"

#include <QCoreApplication>
#include <csignal>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace chain {

HeadlessOptions parseHeadlessOptions(const QStringList& arguments) {
    HeadlessOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"--headless")
            continue;
        if (arg == u"--until-idle") {
            options.untilIdle = true;
        } else if (arg == u"--no-log") {
            options.noLog = true;
        } else if (arg == u"--time-scale" && i + 1 == arguments.size()) {
            options.error =
                QStringLiteral("--time-scale の後に値がありません (0 より大きく 1 以下の数で指定して下さい)");
        } else if (arg == u"--time-scale") {
            bool ok = false;
            options.timeScale = arguments[++i].toDouble(&ok);
            if (!ok || !(options.timeScale > 0.0) || options.timeScale > 1.0)
                options.error = QStringLiteral("--time-scale は 0 より大きく 1 以下の数で指定して下さい");
        } else {
            options.error = QStringLiteral("不明なオプション: %1").arg(arg);
        }
    }
    return options;
}

namespace {

#ifdef Q_OS_UNIX
int g_stopPipe[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_stopPipe[1], &byte, 1);
    errno = saved;
}

// Calls `onStop` in the event loop when SIGINT or SIGTERM arrives. The handler only
// writes a byte to a pipe whose other end a socket notifier watches.
class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop) {
        if (g_stopPipe[0] < 0 && ::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = new QSocketNotifier(g_stopPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, [onStop = std::move(onStop)] {
            char buffer[16];
            while (::read(g_stopPipe[0], buffer, sizeof buffer) > 0) {
            }
            onStop();
        });
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
    }
    ~StopSignals() {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        delete m_notifier;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    QSocketNotifier* m_notifier = nullptr;
};
#else
std::function<void()>* g_onStop = nullptr;

// On Windows the C runtime calls the handler on a thread of its own, from which a
// queued call into the event loop is safe.
extern "C" void onStopSignal(int) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            if (g_onStop)
                (*g_onStop)();
        },
        Qt::QueuedConnection);
}

class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop)) {
        g_onStop = &m_onStop;
        std::signal(SIGINT, onStopSignal);
        std::signal(SIGTERM, onStopSignal);
    }
    ~StopSignals() {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        g_onStop = nullptr;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    std::function<void()> m_onStop;
};
#endif

} // namespace

int runHeadlessLoop(const HeadlessOptions& options, const HeadlessEngine& engine, int firstIntervalMs,
                    EventLog* log) {
    const auto say = [log](const QString& text) {
        if (log)
            log->add(text);
        else
            printEvent(text);
    };
    const auto endOfStep = [log] {
        if (log)
            log->flush();
        flushPrintedEvents();
    };
    // A run that ended well otherwise still tells of a file that failed.
    const auto endStatus = [&engine](int status) {
        return status == ExitDone && engine.anyFailed && engine.anyFailed() ? ExitFileFailed : status;
    };
    StepDriver driver(engine.step, options.timeScale);
    QObject::connect(&driver, &StepDriver::stepped, [&](std::optional<int> next) {
        if (!next) {
            endOfStep();
            QCoreApplication::exit(endStatus(engine.stoppedStatus()));
        } else if (options.untilIdle && engine.idle()) {
            driver.disarm();
            say(QStringLiteral("処理するものがなくなったため、終了します"));
            endOfStep();
            QCoreApplication::exit(endStatus(ExitDone));
        } else {
            endOfStep();
        }
    });
    const StopSignals stopSignals([&] {
        driver.disarm();
        engine.stop();
        endOfStep();
        QCoreApplication::exit(0);
    });
    endOfStep(); // what start-up reported
    driver.arm(firstIntervalMs);
    return QCoreApplication::exec();
}

} // namespace chain
