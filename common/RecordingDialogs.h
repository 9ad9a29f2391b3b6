#pragma once

#include "Dialogs.h"

#include <QList>
#include <QQueue>

namespace chain {

// Dialogs for tests: records every box shown and answers questions and folder picks
// from queues filled by the test (No and cancel when a queue is empty).
class RecordingDialogs : public Dialogs {
  public:
    struct Shown {
        enum class Kind { Message, Question, Folder } kind;
        QString title;
        QString text; // message text, or the start folder of a folder pick
        Icon icon = Icon::None;
        QString details;     // a message's folded-away details
        QString filter = {}; // of a folder pick
    };

    void message(const QString& title, const QString& text, Icon icon = Icon::None,
                 const QString& details = {}) override;
    bool question(const QString& title, const QString& text) override;
    std::optional<QString> pickFolder(const QString& title, const QString& startFolder,
                                      const QString& filter = {}) override;

    QList<Shown> shown;
    QQueue<bool> answers;
    QQueue<std::optional<QString>> folders;
};

} // namespace chain
