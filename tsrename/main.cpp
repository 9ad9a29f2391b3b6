// Tassik: renames the .ts files of one folder through a substitution table. With
// --headless it runs the rename from the settings file without a window.

#include "FileOps.h"
#include "Headless.h"
#include "HeadlessLoop.h"
#include "InstanceLock.h"
#include "PrintingDialogs.h"
#include "platform/Console.h"
#include "ui/Form1.h"
#include "ui/QuitWhenShown.h"
#include "ui/WidgetDialogs.h"

#include "Translation.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {
// One Tassik per folder: the name in the refusal and of the lock file.
const QString ProgramName = QStringLiteral("Tassik");
} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        chain::platform::attachParentConsole(); // a run from a command prompt prints there
    bool headless = false;
    bool writeLog = true;
    bool unknown = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            headless = true;
        else if (std::strcmp(argv[i], "--no-log") == 0)
            writeLog = false;
        else
            unknown = true;
    }
    if (headless) {
        if (unknown) {
            std::fputs("使い方: tassik --headless [--no-log]\n", stderr);
            return chain::ExitFatal;
        }
        QCoreApplication app(argc, argv);
        const QString folder = chain::currentFolder();
        return chain::runAlone<chain::PrintingDialogs>(folder, ProgramName,
                                                       [&] { return tassik::runHeadless(folder, writeLog); });
    }

    QApplication app(argc, argv);
    chain::loadJapaneseTranslation(app);
    const chain::InstanceLock instance(chain::currentFolder(), ProgramName);
    chain::WidgetDialogs dialogs;
    if (instance.refused())
        return instance.refuse(dialogs);
    tassik::Form1 window(dialogs, chain::currentFolder());
    dialogs.setOwner(&window);
    QObject::connect(&window, &tassik::Form1::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    chain::quitWhenShownIfAsked(window);
    return app.exec();
}
