// Tassik: renames the .ts files of one folder through a substitution table. With
// --headless it runs the rename from the settings file without a window.

#include "FileOps.h"
#include "Headless.h"
#include "HeadlessLoop.h"
#include "InstanceLock.h"
#include "PrintingDialogs.h"
#include "StartOptions.h"
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

// What --help prints, before the lines that all four programs share.
constexpr char Usage[] =
    "使い方: tassik [--headless [--no-log]]\n"
    "        tassik --headless --undo [--no-log]\n"
    "\n"
    "Tassik: フォルダの .ts ファイルの名前を、文字の変換表で変えます。\n"
    "設定ファイル (Tassik_Data1.txt) は、起動したフォルダから読みます。\n"
    "\n"
    "  (オプションなし)   ウィンドウを開きます\n"
    "  --headless         ウィンドウを開かずに、設定ファイルのフォルダと変換表で名前を変えて終わります\n"
    "  --undo             (--headless と共に) 前回の一括変更を元に戻して終わります\n"
    "                     (記録 tassik.undo から、新しい順に。既にあるファイルは上書きしません)\n"
    "  --no-log           出来事をログファイル (tassik.log) に書きません\n";

// Tassik's options: no engine loop, so no --until-idle or --time-scale.
constexpr chain::KnownOption Options[] = {{"--headless"}, {"--undo"}, {"--no-log"}};
} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        chain::platform::attachParentConsole(); // a run from a command prompt prints there
    if (const auto status = chain::answerStartOptions(argc, argv, "Tassik", Usage, Options))
        return *status;
    bool headless = false;
    bool writeLog = true;
    bool undo = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            headless = true;
        else if (std::strcmp(argv[i], "--undo") == 0)
            undo = true;
        else if (std::strcmp(argv[i], "--no-log") == 0)
            writeLog = false;
    }
    if (undo && !headless) {
        chain::platform::writeText(
            stderr, "--undo は --headless と共に使います (ウィンドウでは「元に戻す」ボタンを使います)\n");
        return chain::ExitFatal;
    }
    if (headless) {
        QCoreApplication app(argc, argv);
        const QString folder = chain::currentFolder();
        return chain::runAlone<chain::PrintingDialogs>(folder, ProgramName, [&] {
            return undo ? tassik::runHeadlessUndo(folder, writeLog) : tassik::runHeadless(folder, writeLog);
        });
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
