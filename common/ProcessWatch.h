#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace chain {

// Asks the operating system which of some image names have a running process (letter
// case ignored). One pass over the process list answers all names of a question, and
// every question asks afresh. Nothing comes back when the list can't be read.
class ProcessWatch {
  public:
    virtual ~ProcessWatch() = default;
    // The names of `imageNames` that run, in the order asked.
    virtual std::optional<QStringList> running(const QStringList& imageNames) = 0;
};

// The real process list of this machine.
class SystemProcessWatch : public ProcessWatch {
  public:
    std::optional<QStringList> running(const QStringList& imageNames) override;
};

} // namespace chain
