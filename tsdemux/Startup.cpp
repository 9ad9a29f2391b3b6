#include "Startup.h"

#include "IntervalRules.h"
#include "Settings.h"

#include "FileOps.h"
#include "TextFile.h"
#include "WholeNumber.h"

namespace kestrune {

namespace {
// "1" for a flag whose whole number is 1, else "0": what a check box shows and stores.
QString checkBoxValue(const QString& text) {
    return chain::wholeNumber(text) == 1 ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

bool startUp(const QString& programFolder, Settings& settings, Keywords& keywords, chain::Dialogs& dialogs,
             QStringList* notes) {
    settings.set(slot::ProgramFolder, programFolder);
    if (!chain::canOpenForReading(chain::joinPath(programFolder, DemuxerName))) {
        dialogs.message(QStringLiteral("エラー"),
                        QStringLiteral("同じフォルダ内に BonTsDemux mod10 を入れて下さい。"));
        return false;
    }
    QStringList said;
    for (const QString& file : {SettingsFileName, KeywordFileName, RunRecordFile, UnfiledFile}) {
        for (const QString& leftover : chain::removeSaveLeftovers(chain::joinPath(programFolder, file)))
            said << QStringLiteral("中断された保存の一時ファイル %1 を削除しました").arg(leftover);
    }
    QString problem;
    loadSettings(settings, &problem);
    if (!problem.isEmpty())
        said << problem;
    // Selecting a mode option and setting the check boxes store their values; the
    // interval box keeps its value within 1-60.
    settings.set(slot::Mode, settings.text(slot::Mode) == u"0" ? QStringLiteral("0") : QStringLiteral("1"));
    settings.set(slot::KeywordFilter, checkBoxValue(settings.text(slot::KeywordFilter)));
    settings.set(slot::CharConversion, checkBoxValue(settings.text(slot::CharConversion)));
    settings.set(slot::IndividualInterval, keptIndividualInterval(settings.text(slot::IndividualInterval)));
    // The check interval is brought into 20-300 s as the demux mode window's OK brings it:
    // a hand-edited 0 would check every second and take a growing recording for a
    // finished one, a huge one would wait for years before the first check.
    if (const CheckInterval interval = checkInterval(settings.text(slot::CheckInterval)); !interval.inRange) {
        said << QStringLiteral(
                    "設定ファイル %1 の確認間隔「%2」は 20～300 秒の範囲にないため、%3 秒にします。")
                    .arg(SettingsFileName, settings.text(slot::CheckInterval))
                    .arg(interval.seconds);
        settings.set(slot::CheckInterval, QString::number(interval.seconds));
    }
    keywords = loadKeywords(programFolder, &problem);
    if (!problem.isEmpty())
        said << problem;
    if (notes)
        *notes = said;
    return true;
}

} // namespace kestrune
