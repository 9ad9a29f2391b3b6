#include "Settings.h"

#include "Texts.h"

#include "FileOps.h"
#include "SettingsText.h"

namespace pellavo {

namespace {
QString settingsPath(const SettingTable& s) {
    return chain::joinPath(s.text(slot::StartFolder), text::SettingsFile);
}

// A code that must be one of `known`; anything else takes `fallback`, and the reading is
// told as "<line> 行目「<value>」→「<fallback>」(<meaning>)".
void keepCode(SettingTable& s, int index, const QStringList& known, const QString& fallback,
              const QString& meaning, QStringList& corrected) {
    const QString value = s.text(index);
    if (known.contains(value))
        return;
    s.set(index, fallback);
    corrected << QStringLiteral("%1 行目「%2」→「%3」(%4)").arg(index).arg(value, fallback, meaning);
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

chain::TextRead loadSettings(SettingTable& s, QString* corrected) {
    chain::TextRead read = chain::readTextFile(settingsPath(s));
    const QString note =
        settingsFromLines(s, read.state == chain::TextRead::State::Read ? read.lines : QStringList{});
    if (corrected)
        *corrected = note;
    return read;
}

QString settingsFromLines(SettingTable& s, const QStringList& lines) {
    applyDefaults(s);
    for (int k = 1; k <= 8 && k <= lines.size(); ++k)
        s.set(k, chain::trimBlanks(lines[k - 1]));
    // An unknown code is read the way that loses nothing: only "1" deletes the .m2v.
    const QStringList codes{QStringLiteral("1"), QStringLiteral("2")};
    QStringList corrected;
    keepCode(s, slot::DeleteFlag, {QStringLiteral("0"), QStringLiteral("1")}, QStringLiteral("0"),
             QStringLiteral("m2v は削除しません"), corrected);
    keepCode(s, slot::PictureSize, codes, QStringLiteral("1"),
             QStringLiteral("画像サイズはファイル名で選びます"), corrected);
    keepCode(s, slot::FrameRate, codes, QStringLiteral("1"), QStringLiteral("29.97"), corrected);
    if (corrected.isEmpty())
        return {};
    return QStringLiteral("設定ファイル %1 の使えない値を読み替えました: %2")
        .arg(text::SettingsFile, corrected.join(QStringLiteral("、")));
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
