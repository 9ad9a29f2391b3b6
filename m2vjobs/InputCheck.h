#pragma once

#include "Slots.h"

#include "Dialogs.h"

#include <QString>
#include <optional>

namespace pellavo {

// The texts of the main window's boxes that the input check reads.
struct InputBoxes {
    QString Text1; // m2v folder
    QString Text2; // avi folder
    QString Text3; // storage folder
    QString Text4; // VirtualDub folder
    QString Text5; // check interval in seconds
};

// What the input check came to.
struct InputVerdict {
    bool passed = false;
    std::optional<QString> Text5; // the corrected interval the box is to show
};

// The check that guards storing and starting: the interval (20 to 60 seconds), the
// characters of the m2v and avi folders, the drives of the avi and storage folders
// (questions that can be answered Yes to go on) and a storage folder apart from the m2v
// folder. The first failure shows its box and sets slot 10 to 1; an interval out of
// range also puts the corrected value into slot 6.
InputVerdict InputCheck(const InputBoxes& boxes, SettingTable& settings, chain::Dialogs& dialogs);

// Whether every character of a folder text is a single cp932 byte from 32 to 249
// (single-byte katakana pass; double-byte characters and those cp932 lacks fail).
bool singleByteFolder(const QString& folder);

// Whether the storage folder is the m2v folder: the same text, or the same folder once
// both are resolved. The .wav (and the .m2v) could never be filed away there.
bool storageIsM2vFolder(const QString& m2vFolder, const QString& storageFolder);

// Whether two folders lie on the same drive: the first two characters compared exactly
// on Windows, the filesystem (of the folder or the nearest one above it that exists) on
// POSIX; nothing when that can't be told.
std::optional<bool> sameDrive(const QString& a, const QString& b);

} // namespace pellavo
