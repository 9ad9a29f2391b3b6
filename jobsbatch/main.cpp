#include "HeadlessRunner.h"
#include "RunWindow.h"

#include "Translation.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

// Orvane: the window by default, the headless runner with --headless.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return orvane::runHeadless(app.arguments());
        }
    }
    QApplication app(argc, argv);
    chain::loadJapaneseTranslation(app);
    return orvane::runWindow();
}
