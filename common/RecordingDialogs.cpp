#include "RecordingDialogs.h"

namespace chain {

void RecordingDialogs::message(const QString& title, const QString& text, Icon icon, const QString& details) {
    shown.append({Shown::Kind::Message, title, text, icon, details});
}

bool RecordingDialogs::question(const QString& title, const QString& text) {
    shown.append({Shown::Kind::Question, title, text, Icon::Question, {}});
    return answers.isEmpty() ? false : answers.dequeue();
}

std::optional<QString> RecordingDialogs::pickFolder(const QString& title, const QString& startFolder,
                                                    const QString& filter) {
    shown.append({Shown::Kind::Folder, title, startFolder, Icon::None, {}, filter});
    return folders.isEmpty() ? std::nullopt : folders.dequeue();
}

} // namespace chain
