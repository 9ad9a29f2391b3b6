#include "HeadlessRunner.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

// Pellavo: the headless runner with --headless. (The window is still to come.)
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return pellavo::runHeadless(app.arguments());
        }
    }
    std::fputs("pellavo: the window is not built yet; start it with --headless\n", stderr);
    return 2;
}
