#include "RunWindow.h"

#include "Form1.h"
#include "Startup.h"

#include "EventLog.h"
#include "FileOps.h"
#include "Launcher.h"
#include "ProcessWatch.h"
#include "ui/QuitWhenShown.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>

namespace kestrune {

int runWindow() {
    chain::WidgetDialogs dialogs;
    Settings settings(SettingsSize);
    Keywords keywords;
    QStringList notes;
    if (!startUp(chain::currentFolder(), settings, keywords, dialogs, &notes))
        return 0;
    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    chain::EventLog log(chain::joinPath(settings.text(slot::ProgramFolder),
                                        chain::EventLog::fileName(QStringLiteral("kestrune"))));
    Form1 window(settings, keywords, watch, launcher, dialogs, notes, &log);
    dialogs.setOwner(&window);
    window.show();
    chain::quitWhenShownIfAsked(window);
    return qApp->exec();
}

} // namespace kestrune
