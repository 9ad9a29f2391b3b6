#include "Settings.h"

#include "FileOps.h"
#include "TextFile.h"
#include "WholeNumber.h"

namespace orvane {

namespace {
constexpr int SettingsLines = 5;

QString optionText(const QString& line) {
    return chain::wholeNumber(line) == 1 ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

void applyDefaults(StateTable& state) {
    const QString folder = state.text(slot::StartFolder);
    state.set(slot::VirtualDubFolder, folder);
    state.set(slot::JobsFolder, folder);
    state.set(slot::JobsMoveFolder, folder);
    state.set(slot::DeleteOption, QStringLiteral("1"));
    state.set(slot::CloseOption, QStringLiteral("1"));
}

QString settingsPath(const StateTable& state) {
    return chain::joinPath(state.text(slot::StartFolder), SettingsFileName);
}

QString loadSettings(StateTable& state) {
    const chain::TextRead read = chain::readTextFile(settingsPath(state));
    settingsFromLines(state, read.state == chain::TextRead::State::Read ? read.lines : QStringList{});
    if (read.state == chain::TextRead::State::Unreadable)
        return QStringLiteral("設定ファイル %1 を読めないため、既定の設定を使います: %2")
            .arg(settingsPath(state), read.reason);
    return chain::utf8Note(settingsPath(state), read);
}

bool settingsFromLines(StateTable& state, const QStringList& lines) {
    if (lines.size() < SettingsLines) {
        applyDefaults(state);
        return false;
    }
    state.set(slot::VirtualDubFolder, lines[0]);
    state.set(slot::JobsFolder, lines[1]);
    state.set(slot::JobsMoveFolder, lines[2]);
    state.set(slot::DeleteOption, optionText(lines[3]));
    state.set(slot::CloseOption, optionText(lines[4]));
    return true;
}

QStringList settingsLines(const StateTable& state) {
    return {state.text(slot::VirtualDubFolder), state.text(slot::JobsFolder),
            state.text(slot::JobsMoveFolder), optionText(state.text(slot::DeleteOption)),
            optionText(state.text(slot::CloseOption))};
}

QString SaveSettings(const StateTable& state) {
    return chain::writeTextLines(settingsPath(state), settingsLines(state));
}

} // namespace orvane
