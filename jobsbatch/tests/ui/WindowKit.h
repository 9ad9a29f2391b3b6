#pragma once

#include "Form1.h"
#include "Settings.h"

#include "FakeTools.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "WidgetTest.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace orvane::testkit {

// A start folder in a temporary directory with the three folders, the fakes the window
// needs, and the window once opened.
struct Kit {
    QTemporaryDir dir;
    chain::testing::FakeProcessWatch watch;
    chain::testing::FakeLauncher launcher;
    chain::RecordingDialogs dialogs;
    std::unique_ptr<Form1> form;

    Kit() {
        for (const char* sub : {"vd", "jobs", "moved"})
            QDir(dir.path()).mkdir(QString::fromLatin1(sub));
    }
    QString path(const QString& relative) const { return dir.filePath(relative); }
    // Writes Orvane_Data.txt with the kit's three folders and the two option lines.
    void settings(const QString& deleteLine, const QString& closeLine) const {
        const QStringList lines{path(QStringLiteral("vd")), path(QStringLiteral("jobs")),
                                path(QStringLiteral("moved")), deleteLine, closeLine};
        const QString crlf = QStringLiteral("\r\n");
        chain::testing::writeFile(path(SettingsFileName), (lines.join(crlf) + crlf).toUtf8());
    }
    // A jobs file in the jobs folder with one output named after it.
    void job(const QString& name) const {
        const QString output =
            QStringLiteral("// $output \"E:\\avi\\%1.avi\"\r\n").arg(name.section(u'.', 0, 0));
        chain::testing::writeFile(path(QStringLiteral("jobs/") + name), output.toUtf8());
    }
    Form1& open() {
        form = std::make_unique<Form1>(dir.path(), watch, launcher, dialogs);
        form->show();
        return *form;
    }
};

} // namespace orvane::testkit
