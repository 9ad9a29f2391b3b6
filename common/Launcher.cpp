#include "Launcher.h"

#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Launch.h"

namespace chain {

bool showToolOutput() {
    return qEnvironmentVariable("CHAIN_SHOW_TOOL_OUTPUT") == u"1";
}

QString SystemLauncher::start(const QString& commandLine, Window window) {
    for (const QChar c : commandLine) {
        if (c.unicode() < 0x20 && c != u'\t')
            return QStringLiteral("コマンドラインに制御文字が含まれています");
    }
    const platform::OpResult result =
        platform::launchDetached(toNative(commandLine), window == Window::Minimised, showToolOutput());
    if (result.ok())
        return {};
    return QStringLiteral("プログラムを起動できません: %1").arg(reasonText(result));
}

} // namespace chain
