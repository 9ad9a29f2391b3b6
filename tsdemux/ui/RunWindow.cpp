#include "RunWindow.h"

#include "Form1.h"
#include "Startup.h"

#include "FileOps.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>

namespace kestrune {

int runWindow() {
    chain::WidgetDialogs dialogs;
    Settings settings(SettingsSize);
    Keywords keywords;
    if (!startUp(chain::currentFolder(), settings, keywords, dialogs))
        return 0;
    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    Form1 window(settings, keywords, watch, launcher, dialogs);
    dialogs.setOwner(&window);
    window.show();
    return qApp->exec();
}

} // namespace kestrune
