#pragma once

#include "FixedRandom.h"
#include "Form1.h"
#include "PatternTable.h"
#include "Settings.h"
#include "Slots.h"
#include "Startup.h"
#include "Texts.h"
#include "WaveBytes.h"

#include "EventLog.h"
#include "FakeTools.h"
#include "FileOps.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "WidgetTest.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace pellavo::testkit {

using chain::testing::child;
using chain::testing::click;
using chain::testing::clickRow;
using chain::testing::readFile;
using chain::testing::rowsOf;
using chain::testing::withModal;
using chain::testing::writeFile;

// A start folder in a temporary directory, holding the default job patterns in "Set
// Jobs" and the folders m2v, avi, done and vd, with the fakes a window needs. The fake
// VirtualDub runs from its start until the test ends it.
struct Kit {
    Kit() {
        for (const char* sub : {"Set Jobs", "m2v", "avi", "done", "vd"})
            QDir(dir.path()).mkpath(QString::fromUtf8(sub));
        for (const PatternEntry& entry : defaultPatterns().entries)
            writeFile(path(text::PatternFolder + u'/' + entry.file),
                      "VirtualDub.Open(\"x\",\"\",0);\r\nVirtualDub.SaveAVI(\"x\");\r\n// $done\r\n");
        launcher.onStart = [this](const QString&) { watch.setRunning(text::VirtualDubProgram, true); };
    }
    QString path(const QString& relative) const { return chain::joinPath(dir.path(), relative); }
    // A settings file naming the kit's folders, the delete flag and the interval.
    void saveSettings(const QString& deleteFlag = QStringLiteral("1"),
                      const QString& interval = QStringLiteral("30")) {
        QStringList lines;
        for (const char* folder : {"m2v", "avi", "done", "vd"})
            lines << path(QString::fromUtf8(folder));
        lines << deleteFlag << interval << QStringLiteral("2") << QStringLiteral("2") << QString();
        writeFile(path(text::SettingsFile), lines.join(QStringLiteral("\r\n")).toUtf8());
    }
    // A waiting .m2v with its one-second .wav.
    void addPair(const QString& base) {
        writeFile(path(QStringLiteral("m2v/") + base + text::M2vExtension), "video");
        writeFile(path(QStringLiteral("m2v/") + base + text::WavExtension), testing::pcmWave(1000));
    }
    // Start-up as the program runs it, then the window on its results.
    Form1& open() {
        form.reset();
        settings = SettingTable(SettingTableSize);
        const QStringList notes = startUp(dir.path(), settings, patterns, dialogs);
        log = std::make_unique<chain::EventLog>(path(chain::EventLog::fileName(text::LogName)));
        form =
            std::make_unique<Form1>(settings, patterns, watch, launcher, random, dialogs, notes, log.get());
        form->show();
        return *form;
    }
    // The boxes shown so far, as "title|text".
    QStringList messages() const {
        QStringList out;
        for (const auto& shown : dialogs.shown) {
            if (shown.kind != chain::RecordingDialogs::Shown::Kind::Folder)
                out << shown.title + u'|' + shown.text;
        }
        return out;
    }

    QTemporaryDir dir;
    SettingTable settings{SettingTableSize};
    PatternTable patterns;
    chain::testing::FakeProcessWatch watch;
    chain::testing::FakeLauncher launcher;
    testing::FixedRandom random{QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNMQWERTYUIOPASDF")};
    chain::RecordingDialogs dialogs;
    std::unique_ptr<chain::EventLog> log;
    std::unique_ptr<Form1> form;
};

} // namespace pellavo::testkit
