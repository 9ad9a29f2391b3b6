#include "WindowKit.h"

#include <QApplication>
#include <QPixmap>

// Writes a picture of the main window, watching, with a few waiting files, one of them
// handed to VirtualDub, to the file named by the first argument.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 1;
    pellavo::testkit::Kit kit;
    kit.saveSettings(QStringLiteral("0"));
    for (const QString& base :
         {QStringLiteral("ドラマ第1話"), QStringLiteral("news"), QStringLiteral("映画")})
        kit.addPair(base);
    pellavo::testkit::writeFile(kit.path(QStringLiteral("avi/天気予報.avi")), "avi");
    pellavo::Form1& window = kit.open();
    window.resize(window.sizeHint().expandedTo(QSize(760, 600)));
    window.Timer1_Timer();
    app.processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
