#pragma once

class QCoreApplication;

namespace chain {

// Loads Qt's own Japanese texts (qtbase_ja: the buttons and titles of Qt's dialogs, the
// context menus of edit boxes) into the application. Returns false when they aren't
// installed; the programs then still run, with Qt's English texts.
bool loadJapaneseTranslation(QCoreApplication& app);

} // namespace chain
