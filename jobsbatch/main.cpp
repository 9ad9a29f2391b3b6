#include "HeadlessRunner.h"
#include "RunWindow.h"

#include "FileOps.h"
#include "InstanceLock.h"
#include "PrintingDialogs.h"
#include "StartOptions.h"
#include "Translation.h"
#include "platform/Console.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

namespace {
// One Orvane per start folder: the name in the refusal and of the lock file.
const QString ProgramName = QStringLiteral("Orvane");

// What --help prints, before the lines that all four programs share.
constexpr char Usage[] = "使い方: orvane [--headless [--until-idle] [--time-scale F] [--no-log]]\n"
                         "\n"
                         "Orvane: フォルダの .jobs ファイルを VirtualDub.exe で順に実行します。\n"
                         "設定ファイル (Orvane_Data.txt) は、起動したフォルダから読みます。\n"
                         "\n"
                         "  (オプションなし)   ウィンドウを開きます\n"
                         "  --headless         ウィンドウを開かずに動きます (出来事は標準出力へ)\n"
                         "  --until-idle       することがなくなった時点で終わります\n"
                         "  --time-scale F     待ち時間を F 倍 (0 より大きく 1 以下) に縮めます (試験用)\n"
                         "  --no-log           出来事をログファイル (orvane.log) に書きません\n";
} // namespace

// Orvane: the window by default, the headless runner with --headless.
int main(int argc, char** argv) {
    if (argc > 1)
        chain::platform::attachParentConsole(); // a run from a command prompt prints there
    if (const auto status = chain::answerStartOptions(argc, argv, "Orvane", Usage, chain::EngineOptions))
        return *status;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) {
            QCoreApplication app(argc, argv);
            return chain::runAlone<chain::PrintingDialogs>(
                chain::currentFolder(), ProgramName, [&] { return orvane::runHeadless(app.arguments()); });
        }
    }
    QApplication app(argc, argv);
    chain::loadJapaneseTranslation(app);
    return chain::runAlone<chain::WidgetDialogs>(chain::currentFolder(), ProgramName,
                                                 [] { return orvane::runWindow(); });
}
