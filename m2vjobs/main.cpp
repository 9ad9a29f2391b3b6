#include "HeadlessRunner.h"
#include "RunWindow.h"

#include "Translation.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

// Pellavo: the window by default, the headless runner with --headless.
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return pellavo::runHeadless(app.arguments());
        }
    }
    QApplication app(argc, argv);
    chain::loadJapaneseTranslation(app);
    return pellavo::runWindow();
}
