#include "HeadlessRunner.h"
#include "RunWindow.h"

#include "FileOps.h"
#include "InstanceLock.h"
#include "PrintingDialogs.h"
#include "Translation.h"
#include "platform/Console.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

namespace {
// One Kestrune per start folder: the name in the refusal and of the lock file.
const QString ProgramName = QStringLiteral("Kestrune");
} // namespace

// Kestrune: the window by default, the headless runner with --headless.
int main(int argc, char** argv) {
    if (argc > 1)
        chain::platform::attachParentConsole(); // a run from a command prompt prints there
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return chain::runAlone<chain::PrintingDialogs>(
                chain::currentFolder(), ProgramName, [&] { return kestrune::runHeadless(app.arguments()); });
        }
    }
    QApplication app(argc, argv);
    chain::loadJapaneseTranslation(app);
    return chain::runAlone<chain::WidgetDialogs>(chain::currentFolder(), ProgramName,
                                                 [] { return kestrune::runWindow(); });
}
