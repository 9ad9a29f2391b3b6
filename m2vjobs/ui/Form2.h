#pragma once

#include "Slots.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace pellavo {

// The notice "確認の通知": shows the text of slot 20 and closes itself after the time
// in slot 19 (ms).
class Form2 : public QDialog {
    Q_OBJECT
  public:
    explicit Form2(const SettingTable& settings, QWidget* parent = nullptr);

  private:
    void Timer1_Timer();

    QLabel* Label1;
    QTimer* Timer1;
};

} // namespace pellavo
