#pragma once

#include "Launcher.h"
#include "ProcessWatch.h"

#include <QFile>
#include <QMap>
#include <QStringList>
#include <functional>

// A process list the test sets by hand; it counts the questions asked per name.
class FakeProcessWatch : public chain::ProcessWatch {
  public:
    std::optional<bool> isRunning(const QString& imageName) override {
        asked[imageName] += 1;
        if (unreadable)
            return std::nullopt;
        return running.value(imageName, false);
    }
    QMap<QString, bool> running;
    QMap<QString, int> asked;
    bool unreadable = false;
};

// Records the command lines it is asked to start; `onStart` can play the demuxer.
class FakeLauncher : public chain::Launcher {
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
