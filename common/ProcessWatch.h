#pragma once

#include <QString>
#include <optional>

namespace chain {

// Asks the operating system whether a process of a given image name exists. Every
// call asks afresh. Nothing comes back when the process list can't be read.
class ProcessWatch {
  public:
    virtual ~ProcessWatch() = default;
    virtual std::optional<bool> isRunning(const QString& imageName) = 0;
};

// The real process list of this machine.
class SystemProcessWatch : public ProcessWatch {
  public:
    std::optional<bool> isRunning(const QString& imageName) override;
};

} // namespace chain
