#pragma once

#include "KeywordListEdit.h"
#include "Keywords.h"
#include "Slots.h"

#include "Dialogs.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace kestrune {

// The keyword registry: edits a copy of the keyword list, which "OK" keeps and writes to
// the keyword file (or deletes the file when the list is empty).
class Form4 : public QDialog {
    Q_OBJECT
  public:
    Form4(const Settings& settings, Keywords& keywords, chain::Dialogs& dialogs, QWidget* parent = nullptr);

  private:
    void List1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // Shows the edited rows and the selected row in the list box.
    void showRows();
    void ShowDuplicate();

    const Settings& m_settings;
    Keywords& m_keywords;
    chain::Dialogs& m_dialogs;
    KeywordListEdit m_edit;
    bool m_listBusy = false; // set while code refills the list, so it is no user click
    QLineEdit* Text1;
    QListWidget* List1;
};

} // namespace kestrune
