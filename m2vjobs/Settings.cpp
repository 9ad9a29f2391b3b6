#include "Settings.h"

#include "Texts.h"

#include "FileOps.h"
#include "SettingsText.h"

namespace pellavo {

namespace {
QString settingsPath(const SettingTable& s) {
    return chain::joinPath(s.text(slot::StartFolder), text::SettingsFile);
}

// A value that must be one of two codes; anything else means the default "1".
void keepCode(SettingTable& s, int index, const QString& other) {
    const QString value = s.text(index);
    if (value != u"1" && value != other)
        s.set(index, QStringLiteral("1"));
}
} // namespace

void applyDefaults(SettingTable& s) {
    const QString folder = s.text(slot::StartFolder);
    for (int k : {slot::M2vFolder, slot::AviFolder, slot::StorageFolder, slot::VirtualDubFolder})
        s.set(k, folder);
    s.set(slot::DeleteFlag, QStringLiteral("1"));
    s.set(slot::Interval, QStringLiteral("30"));
    s.set(slot::PictureSize, QStringLiteral("1"));
    s.set(slot::FrameRate, QStringLiteral("1"));
}

chain::TextRead loadSettings(SettingTable& s) {
    chain::TextRead read = chain::readTextFile(settingsPath(s));
    settingsFromLines(s, read.state == chain::TextRead::State::Read ? read.lines : QStringList{});
    return read;
}

void settingsFromLines(SettingTable& s, const QStringList& lines) {
    applyDefaults(s);
    for (int k = 1; k <= 8 && k <= lines.size(); ++k)
        s.set(k, chain::trimBlanks(lines[k - 1]));
    keepCode(s, slot::DeleteFlag, QStringLiteral("0"));
    keepCode(s, slot::PictureSize, QStringLiteral("2"));
    keepCode(s, slot::FrameRate, QStringLiteral("2"));
}

QStringList settingsLines(const SettingTable& s) {
    QStringList lines;
    for (int k = 1; k <= 8; ++k)
        lines << s.text(k);
    return lines;
}

QString SaveSettings(const SettingTable& s) {
    return chain::writeTextLines(settingsPath(s), settingsLines(s));
}

} // namespace pellavo
