#include "WindowKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>

// Writes a picture of the main window, running, with a few waiting jobs files, one of them
// handed to VirtualDub, to the file named by the first argument.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 1;
    orvane::testkit::Kit kit;
    kit.settings(QStringLiteral("0"), QStringLiteral("0"));
    for (const QString& name :
         {QStringLiteral("ドラマ第1話.jobs"), QStringLiteral("news.jobs"), QStringLiteral("映画.jobs")})
        kit.job(name);
    orvane::Form1& window = kit.open();
    window.resize(window.sizeHint().expandedTo(QSize(720, 560)));
    window.findChild<QAbstractButton*>(QStringLiteral("Command3"))->click();
    window.Timer1_Timer();
    app.processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
