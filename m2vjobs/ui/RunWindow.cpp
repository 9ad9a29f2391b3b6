#include "RunWindow.h"

#include "Form1.h"
#include "Startup.h"
#include "Texts.h"

#include "EventLog.h"
#include "FileOps.h"
#include "ui/QuitWhenShown.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>

namespace pellavo {

int runWindow() {
    chain::WidgetDialogs dialogs;
    SettingTable settings(SettingTableSize);
    PatternTable patterns;
    const QString startFolder = chain::currentFolder();
    const QStringList notes = startUp(startFolder, settings, patterns, dialogs);
    chain::SystemProcessWatch watch;
    chain::SystemLauncher launcher;
    SystemRandom random;
    chain::EventLog log(chain::joinPath(startFolder, chain::EventLog::fileName(text::LogName)));
    Form1 window(settings, patterns, watch, launcher, random, dialogs, notes, &log);
    dialogs.setOwner(&window);
    window.show();
    chain::quitWhenShownIfAsked(window);
    return qApp->exec();
}

} // namespace pellavo
