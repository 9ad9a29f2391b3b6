#include "WindowTestKit.h"

#include "Form1.h"

#include <QPixmap>

// Writes a picture of the main window, in individual mode with a few listed recordings
// and a started and stopped run in the event log, to the file named by the first argument.
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
    // A start and a stop put two lines into the event log.
    window.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
    app.processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
