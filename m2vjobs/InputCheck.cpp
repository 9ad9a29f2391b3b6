#include "InputCheck.h"

#include "FileIdentity.h"

#include "Texts.h"

#include "FileOps.h"
#include "TextFile.h"
#include "WholeNumber.h"

namespace pellavo {

namespace {
QString question(const QString& text) {
    return text + u'\n' + text::ContinueQuestion;
}

InputVerdict fail(SettingTable& settings, std::optional<QString> text5 = std::nullopt) {
    settings.set(slot::Abort, QStringLiteral("1"));
    return {false, std::move(text5)};
}
} // namespace

bool singleByteFolder(const QString& folder) {
    for (qsizetype i = 0; i < folder.size(); ++i) {
        const qsizetype length = folder[i].isHighSurrogate() && i + 1 < folder.size() ? 2 : 1;
        const auto encoded = chain::toCp932(folder.mid(i, length));
        if (!encoded || encoded->size() != 1)
            return false;
        const auto code = static_cast<unsigned char>((*encoded)[0]);
        if (code <= 31 || code >= 250)
            return false;
        i += length - 1;
    }
    return true;
}

bool storageIsM2vFolder(const QString& m2vFolder, const QString& storageFolder) {
    return storageFolder == m2vFolder || chain::sameFolder(m2vFolder, storageFolder);
}

#ifndef Q_OS_WIN
namespace {
// The path, or the nearest folder above it that exists: a folder still to be made
// counts on the filesystem it would be made on.
QString nearestExisting(QString path) {
    while (!chain::sameVolume(path, path)) {
        const qsizetype cut = path.lastIndexOf(u'/');
        if (cut < 0 || path == u"/")
            break;
        path = path.left(cut == 0 ? 1 : cut);
    }
    return path;
}
} // namespace
#endif

std::optional<bool> sameDrive(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.left(2) == b.left(2);
#else
    return chain::sameVolume(nearestExisting(a), nearestExisting(b));
#endif
}

InputVerdict InputCheck(const InputBoxes& boxes, SettingTable& settings, chain::Dialogs& dialogs) {
    const int seconds = chain::wholeNumber(boxes.Text5);
    if (seconds < 20 || seconds > 60) {
        const QString corrected = seconds < 20 ? QStringLiteral("20") : QStringLiteral("60");
        settings.set(slot::Interval, corrected);
        dialogs.message(text::IntervalTitle, text::IntervalText);
        return fail(settings, corrected);
    }
    if (!singleByteFolder(boxes.Text1) || !singleByteFolder(boxes.Text2)) {
        dialogs.message(text::CharsTitle, text::CharsText);
        return fail(settings);
    }
    if (sameDrive(boxes.Text1, boxes.Text2) == true &&
        !dialogs.question(text::DriveTitle, question(text::AviDriveText)))
        return fail(settings);
    if (sameDrive(boxes.Text1, boxes.Text3) == false &&
        !dialogs.question(text::DriveTitle, question(text::StorageDriveText)))
        return fail(settings);
    if (storageIsM2vFolder(boxes.Text1, boxes.Text3)) {
        dialogs.message(text::FolderTitle, text::StorageFolderText);
        return fail(settings);
    }
    return {true, std::nullopt};
}

} // namespace pellavo
