#pragma once

#include <QString>
#include <optional>

namespace chain {

// The modal boxes a program shows: messages with an OK button, Yes/No questions and
// the folder picker. Windows get the real boxes, tests a recorder that answers from a
// queue, and the headless runners a printer.
class Dialogs {
  public:
    enum class Icon { None, Information, Warning, Critical, Question };
    virtual ~Dialogs() = default;
    // `details`, when given, is a longer text (a list, say) that the box keeps folded
    // away behind a button, so that the box itself stays small.
    virtual void message(const QString& title, const QString& text, Icon icon = Icon::None,
                         const QString& details = {}) = 0;
    // True for Yes.
    virtual bool question(const QString& title, const QString& text) = 0;
    // Lets the user pick a folder, opening at `startFolder`. The chosen folder comes back
    // without a trailing separator ("E:" or "/" for a root); nothing comes back on cancel.
    // A `filter` ("description|*.ext") also shows the folder's files of that kind.
    virtual std::optional<QString> pickFolder(const QString& title, const QString& startFolder,
                                              const QString& filter = {}) = 0;
};

} // namespace chain
