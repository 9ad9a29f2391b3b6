#include "Launcher.h"

#include "platform/Launch.h"

namespace chain {

QString SystemLauncher::start(const QString& commandLine, Window window) {
    const platform::OpResult result =
        platform::launchDetached(commandLine.toStdString(), window == Window::Minimised);
    if (result.ok())
        return {};
    using Kind = platform::OpResult::Kind;
    const QString detail = QString::fromStdString(result.detail);
    if (result.kind == Kind::NotFound)
        return QStringLiteral("プログラムが見つかりません (%1)").arg(detail);
    return QStringLiteral("プログラムを起動できません (%1)").arg(detail);
}

} // namespace chain
