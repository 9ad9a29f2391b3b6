#include "ProcessWatch.h"

#include "platform/Processes.h"

namespace chain {

std::optional<bool> SystemProcessWatch::isRunning(const QString& imageName) {
    std::string error;
    switch (platform::processExists(imageName.toStdString(), error)) {
    case platform::ProcessAnswer::Yes:
        return true;
    case platform::ProcessAnswer::No:
        return false;
    case platform::ProcessAnswer::Unknown:
        break;
    }
    return std::nullopt;
}

} // namespace chain
