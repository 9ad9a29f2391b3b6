#include "Startup.h"

#include "Settings.h"

#include "FileOps.h"
#include "WholeNumber.h"

namespace kestrune {

bool startUp(const QString& programFolder, Settings& settings, Keywords& keywords, chain::Dialogs& dialogs) {
    settings.set(slot::ProgramFolder, programFolder);
    if (!chain::canOpenForReading(chain::joinPath(programFolder, DemuxerName))) {
        dialogs.message(QStringLiteral("エラー"),
                        QStringLiteral("同じフォルダ内に BonTsDemux mod10 を入れて下さい。"));
        return false;
    }
    loadSettings(settings);
    // Selecting a mode option and setting the keyword check box store their values.
    settings.set(slot::Mode, settings.text(slot::Mode) == u"0" ? QStringLiteral("0") : QStringLiteral("1"));
    settings.set(slot::KeywordFilter, chain::wholeNumber(settings.text(slot::KeywordFilter)) == 1
                                          ? QStringLiteral("1")
                                          : QStringLiteral("0"));
    keywords = loadKeywords(programFolder);
    return true;
}

} // namespace kestrune
