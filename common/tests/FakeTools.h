#pragma once

#include "Launcher.h"
#include "Notifier.h"
#include "ProcessWatch.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <functional>

// Fakes of the process list and the launcher, shared by the tests of every engine.
namespace chain::testing {

// A process list the test sets by hand. It counts the questions (one per check) and
// how often each name was asked about.
class FakeProcessWatch : public ProcessWatch {
  public:
    std::optional<QStringList> running(const QStringList& imageNames) override {
        ++questions;
        for (const QString& name : imageNames)
            asked[name] += 1;
        if (unreadable)
            return std::nullopt;
        QStringList found;
        for (const QString& name : imageNames) {
            if (runningNames.contains(name))
                found << name;
        }
        return found;
    }
    void setRunning(const QString& name, bool on) {
        if (on)
            runningNames.insert(name);
        else
            runningNames.remove(name);
    }
    bool isRunning(const QString& name) const { return runningNames.contains(name); }

    QSet<QString> runningNames;
    QMap<QString, int> asked;
    int questions = 0;
    bool unreadable = false;
};

// Records the command lines it is asked to start; `onStart` can play the tool, and
// `failWith` makes every start fail with that reason.
class FakeLauncher : public Launcher {
  public:
    QString start(const QString& commandLine, Window window) override {
        started << commandLine;
        windows << window;
        if (!failWith.isEmpty())
            return failWith;
        if (onStart)
            onStart(commandLine);
        return {};
    }
    QStringList started;
    QList<Window> windows;
    QString failWith;
    std::function<void(const QString&)> onStart;
};

// Records the notices an engine tells the desktop, each as "title: text".
class RecordingNotifier : public Notifier {
  public:
    void notify(const QString& title, const QString& text) override {
        shown << title + QStringLiteral(": ") + text;
    }
    QStringList shown;
};

} // namespace chain::testing
