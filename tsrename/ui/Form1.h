#pragma once

#include "ValueTable.h"

#include "FileIdentity.h"
#include "FileOps.h"

#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace chain {
class Dialogs;
}

namespace tassik {

class PreviewList;

// Tassik's only window: the rename folder, the substitution table with its entry
// editor, the preview of the new names, and the buttons. The rules live in Actions.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    // Loads the settings of `startFolder` (the working directory at start) as the window
    // opens. Boxes are shown through `dialogs`.
    Form1(chain::Dialogs& dialogs, const QString& startFolder, QWidget* parent = nullptr);

    const ValueTable& values() const { return m_values; }

  Q_SIGNALS:
    // The program should end now ("開始" after its run, or "キャンセル").
    void quitRequested();

  public Q_SLOTS:
    // Lists the rename folder again and recomputes the preview at once. It also runs by
    // itself shortly after the table is edited or the folder's files change.
    void refreshPreview();

  private Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    // "元に戻す": shows in the preview what naming back the last batch would do, and
    // does it once the user agrees.
    void UndoButton_Click();

  private:
    void buildControls();
    void Form_Load();
    // Shows a remark above the preview, or hides the line when there is none. What
    // start-up had to tell stays above it until the table is saved.
    void showNote(const QString& note);
    // Watches the rename folder, so the preview follows its files.
    void watchFolder();

    chain::Dialogs& m_dialogs;
    QStringList m_startNotes; // what start-up could not use, for the note line
    ValueTable m_values;
    QTimer m_previewTimer; // debounces preview updates while the user types
    QFileSystemWatcher m_folderWatch;
    // The rename folder's listing, kept while the folder keeps its stamp.
    struct KeptListing {
        QString folder;
        chain::FolderStamp stamp;
        chain::FolderListing listing;
    };
    std::optional<KeptListing> m_listing;

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* UndoButton;
    QLabel* PreviewNote;
    PreviewList* m_previewList;
};

} // namespace tassik
