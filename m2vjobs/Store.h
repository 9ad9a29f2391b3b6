#pragma once

#include "InputCheck.h"
#include "Slots.h"

#include "Dialogs.h"

#include <QString>
#include <optional>

namespace pellavo {

// What the main window holds when "記憶" is pressed: the boxes, the delete box and the
// two choices ("1" or "2").
struct WindowValues {
    InputBoxes boxes;
    bool deleteTicked = true;
    QString pictureSize; // slot 7: "1" Option1, "2" Option2
    QString frameRate;   // slot 8: "1" Option3, "2" Option4
};

// What the store came to.
struct StoreOutcome {
    bool stored = false;
    std::optional<QString> Text5; // the corrected interval the box is to show
};

// How long the notice after a store stays, in ms.
inline constexpr int StoredNoticeMs = 3000;

// The store ("記憶"): the input check of the boxes; when it passes, slots 1-8 take the
// window's values (trimmed), Pellavo_Data1.txt is rewritten from them and slots 19 and
// 20 hold the notice to show. A file that can't be written is told in an "エラー" box
// naming it and the reason; slots 1-8 then stay as they were.
StoreOutcome Store(const WindowValues& values, SettingTable& settings, chain::Dialogs& dialogs);

} // namespace pellavo
