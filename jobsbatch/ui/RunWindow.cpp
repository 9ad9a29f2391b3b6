#include "RunWindow.h"

#include "Form1.h"

#include "EventLog.h"
#include "FileOps.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "ui/QuitWhenShown.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>

namespace orvane {

int runWindow() {
    chain::WidgetDialogs dialogs;
    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    const QString startFolder = chain::currentFolder();
    chain::EventLog log(chain::joinPath(startFolder, LogFileName));
    Form1 window(startFolder, watch, launcher, dialogs, &log);
    dialogs.setOwner(&window);
    window.show();
    chain::quitWhenShownIfAsked(window);
    return qApp->exec();
}

} // namespace orvane
