#pragma once

#include "Slots.h"

#include "Dialogs.h"

#include <QDialog>

class QLineEdit;

namespace kestrune {

// The character table window: edits copies of the before and after strings, which
// "記憶" stores and saves.
class Form5 : public QDialog {
    Q_OBJECT
  public:
    Form5(Settings& settings, chain::Dialogs& dialogs, QWidget* parent = nullptr);

  private:
    void Command1_Click();
    void Command2_Click();

    Settings& m_settings;
    chain::Dialogs& m_dialogs;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
};

} // namespace kestrune
