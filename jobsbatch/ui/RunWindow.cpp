#include "RunWindow.h"

#include "Form1.h"

#include "FileOps.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>

namespace orvane {

int runWindow() {
    chain::WidgetDialogs dialogs;
    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    Form1 window(chain::currentFolder(), watch, launcher, dialogs);
    dialogs.setOwner(&window);
    window.show();
    return qApp->exec();
}

} // namespace orvane
