#pragma once

#include "Slots.h"

#include "Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace kestrune {

// The demux mode window: the demuxer's options and the auto-mode check interval, stored
// and saved on "OK"; closing it otherwise keeps nothing.
class Form2 : public QDialog {
    Q_OBJECT
  public:
    Form2(Settings& settings, chain::Dialogs& dialogs, QWidget* parent = nullptr);

  private:
    void Form_Load();
    void Command1_Click();

    Settings& m_settings;
    chain::Dialogs& m_dialogs;
    QList<QRadioButton*> m_kinds;   // Option1-Option3, slot 6 by caption
    QList<QRadioButton*> m_audio;   // Option4-Option8, slot 7 by position
    QList<QRadioButton*> m_audioEs; // Option9-Option11, slot 8 by position
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QLineEdit* Text1;
};

} // namespace kestrune
