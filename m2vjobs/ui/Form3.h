#pragma once

#include "PatternEdit.h"
#include "PatternTable.h"

#include "Dialogs.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace pellavo {

// The job-pattern registry: edits a copy of the pattern table; "ＯＫ" writes
// Pellavo_Data2.txt and makes the copy the table the engine uses, any other close
// drops it.
class Form3 : public QDialog {
    Q_OBJECT
  public:
    Form3(const QString& startFolder, PatternTable& patterns, chain::Dialogs& dialogs,
          QWidget* parent = nullptr);

  private:
    void File1_Click();
    void List1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // Refills List1 with the labels, then selects the edit's selected entry and shows it.
    void PatternShow();
    // Shows the selected entry's label and file in Text1 and Text2.
    void showSelected();

    QString m_startFolder;
    PatternTable& m_patterns;
    chain::Dialogs& m_dialogs;
    PatternEdit m_edit;
    bool m_listBusy = false; // set while code refills the list, so it is no user click
    QListWidget* File1;
    QListWidget* List1;
    QLineEdit* Text1;
    QLineEdit* Text2;
};

} // namespace pellavo
