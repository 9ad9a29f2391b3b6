#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace kestrune {

// The file chooser: lists the .ts files of the source folder and hands back the rows the
// user marked, on "OK" only.
class Form3 : public QDialog {
    Q_OBJECT
  public:
    explicit Form3(const QString& sourceFolder, QWidget* parent = nullptr);

    // The marked names in list order; empty unless the window was left by "OK".
    QStringList chosen() const { return m_chosen; }

  private:
    void Command1_Click();

    QListWidget* List1;
    QStringList m_chosen;
};

} // namespace kestrune
