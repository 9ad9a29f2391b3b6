#pragma once

#include "Keywords.h"
#include "Settings.h"
#include "Slots.h"

#include "FakeTools.h"
#include "FileOps.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "RecordingDialogs.h"
#include "WidgetTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace kestrune::testkit {

using FakeWatch = chain::testing::FakeProcessWatch;
using chain::testing::FakeLauncher;

// A program folder in a temporary directory with the default settings, and the fakes a
// window needs.
struct Kit {
    Kit() : settings(SettingsSize) {
        settings.set(slot::ProgramFolder, dir.path());
        applyDefaults(settings);
    }
    QString path(const QString& name) const { return chain::joinPath(dir.path(), name); }
    // Makes a subfolder and returns its path.
    QString folder(const QString& name) const {
        QDir(dir.path()).mkpath(name);
        return path(name);
    }
    static void writeFile(const QString& path, const QByteArray& bytes = "data") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The messages shown so far, as "title|text".
    QStringList messages() const {
        QStringList out;
        for (const auto& shown : dialogs.shown) {
            if (shown.kind != chain::RecordingDialogs::Shown::Kind::Folder)
                out.append(shown.title + u'|' + shown.text);
        }
        return out;
    }

    QTemporaryDir dir;
    Settings settings;
    Keywords keywords;
    FakeWatch watch;
    FakeLauncher launcher;
    chain::RecordingDialogs dialogs;
};

using chain::testing::child;
using chain::testing::click;
using chain::testing::clickRow;
using chain::testing::rowsOf;
using chain::testing::withModal;

} // namespace kestrune::testkit
