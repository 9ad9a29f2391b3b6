#pragma once

#include "Preview.h"

#include <QTableView>

namespace tassik {

class PreviewModel;

// The read-only list below the table: each .ts file with the name "開始" would give it.
// The user can size its two columns (they start at half the width each); a name too long
// for its column keeps both ends, with the whole name as its tooltip.
class PreviewList : public QTableView {
    Q_OBJECT
  public:
    explicit PreviewList(QWidget* parent = nullptr);

    void setRows(std::vector<PreviewRow> rows);
    PreviewModel* previewModel() const { return m_model; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Gives the first column its width without taking that for the user's sizing.
    void setFirstColumnWidth(int width);

    PreviewModel* m_model;
    bool m_userSized = false;    // the user has dragged the column border
    bool m_settingWidth = false; // the code sets a width now
};

} // namespace tassik
