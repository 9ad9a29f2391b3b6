#include "ProcessWatch.h"

#include "platform/Processes.h"

namespace chain {

std::optional<QStringList> SystemProcessWatch::running(const QStringList& imageNames) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(imageNames.size()));
    for (const QString& name : imageNames)
        names.push_back(name.toStdString());
    std::vector<bool> found;
    std::string error;
    if (platform::processesRunning(names, found, error) == platform::ProcessAnswer::Unknown)
        return std::nullopt;
    QStringList runningNames;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i])
            runningNames << imageNames[static_cast<qsizetype>(i)];
    }
    return runningNames;
}

} // namespace chain
