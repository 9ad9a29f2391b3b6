#pragma once

#include "Dialogs.h"

namespace chain {

// Dialogs for the headless runners: a box becomes "[title] text" on standard error (its
// details follow, each line indented by two blanks), a question is answered No (and
// says so), and a folder pick is cancelled.
class PrintingDialogs : public Dialogs {
  public:
    void message(const QString& title, const QString& text, Icon icon = Icon::None,
                 const QString& details = {}) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> pickFolder(const QString& title, const QString& startFolder,
                                      const QString& filter = {}) override;
};

} // namespace chain
