#include "WindowTestKit.h"

#include "Form1.h"

#include <QPixmap>
#include <QTest>

// Writes a picture of the main window, in individual mode with a few listed recordings
// and a started and stopped run in the event log, to the file named by the first argument;
// with "running" as the second, while the demuxer runs on the first recording.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 1;
    kestrune::testkit::Kit kit;
    const QString source = kit.folder(QStringLiteral("rec"));
    kit.settings.set(kestrune::slot::SourceFolder, source);
    for (const QString& name :
         {QStringLiteral("番組!.ts"), QStringLiteral("ニュース.ts"), QStringLiteral("A#B.ts")})
        kestrune::testkit::Kit::writeFile(chain::joinPath(source, name));
    kestrune::Form1 window(kit.settings, kit.keywords, kit.watch, kit.launcher, kit.dialogs);
    window.resize(window.sizeHint().expandedTo(QSize(760, 620)));
    window.show();
    window.findChild<QAbstractButton*>(QStringLiteral("Command3"))->click();
    if (argc > 2 && qstrcmp(argv[2], "running") == 0) {
        // The demuxer runs on the first recording and has written 1.5 MiB of its outputs a
        // few seconds later: the elapsed time and the size show beside the status line.
        kit.launcher.onStart = [&kit](const QString& commandLine) {
            kit.watch.setRunning(QStringLiteral("BonTsDemux.exe"), true);
            const qsizetype at = commandLine.indexOf(QStringLiteral("-o \"")) + 4;
            const QString base = commandLine.mid(at, commandLine.indexOf(u'"', at) - at);
            kestrune::testkit::Kit::writeFile(base + QStringLiteral(".m2v"), QByteArray(1024 * 1024, 'v'));
            kestrune::testkit::Kit::writeFile(base + QStringLiteral(".wav"), QByteArray(512 * 1024, 'w'));
        };
        window.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
        window.Timer1_Timer();
        QTest::qWait(3500);
    } else {
        // A start and a stop put two lines into the event log.
        window.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
        window.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
    }
    app.processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
