#pragma once

#include "RecordingDialogs.h"
#include "Texts.h"

#include <QTest>

namespace tassik::testing {

// With an empty `fragment`: no box was shown. Otherwise: exactly one input error box,
// without an icon, whose text holds `fragment`.
inline void checkInputError(const chain::RecordingDialogs& dialogs, const QString& fragment) {
    if (fragment.isEmpty()) {
        QVERIFY(dialogs.shown.isEmpty());
        return;
    }
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, text::inputErrorTitle());
    QCOMPARE(dialogs.shown[0].icon, chain::Dialogs::Icon::None);
    QVERIFY2(dialogs.shown[0].text.contains(fragment), qPrintable(dialogs.shown[0].text));
}

} // namespace tassik::testing
