#include "Store.h"

#include "Settings.h"
#include "Texts.h"

#include "FileOps.h"
#include "SettingsText.h"
#include "WriteFailure.h"

namespace pellavo {

StoreOutcome Store(const WindowValues& values, SettingTable& settings, chain::Dialogs& dialogs) {
    settings.set(slot::Abort, QStringLiteral("0"));
    const InputVerdict verdict = InputCheck(values.boxes, settings, dialogs);
    if (settings.text(slot::Abort) == u"1") {
        settings.set(slot::Abort, QStringLiteral("0"));
        return {false, verdict.Text5};
    }

    const QStringList before = settingsLines(settings);
    const InputBoxes& boxes = values.boxes;
    settings.set(slot::M2vFolder, chain::trimBlanks(boxes.Text1));
    settings.set(slot::AviFolder, chain::trimBlanks(boxes.Text2));
    settings.set(slot::StorageFolder, chain::trimBlanks(boxes.Text3));
    settings.set(slot::VirtualDubFolder, chain::trimBlanks(boxes.Text4));
    settings.set(slot::DeleteFlag, values.deleteTicked ? QStringLiteral("1") : QStringLiteral("0"));
    settings.set(slot::Interval, chain::trimBlanks(boxes.Text5));
    settings.set(slot::PictureSize, values.pictureSize);
    settings.set(slot::FrameRate, values.frameRate);
    if (const QString reason = SaveSettings(settings); !reason.isEmpty()) {
        for (int k = 1; k <= 8; ++k)
            settings.set(k, before[k - 1]);
        chain::tellWriteFailure(
            dialogs, chain::joinPath(settings.text(slot::StartFolder), text::SettingsFile), reason);
        return {};
    }
    settings.set(slot::NoticeText, text::StoredNotice);
    settings.set(slot::NoticeTime, QString::number(StoredNoticeMs));
    return {true, std::nullopt};
}

} // namespace pellavo
