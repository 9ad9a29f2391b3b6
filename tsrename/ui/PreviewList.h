#pragma once

#include "Preview.h"

#include <QTableView>

namespace tassik {

class PreviewModel;

// The read-only list below the table: each .ts file with the name "開始" would give it.
class PreviewList : public QTableView {
    Q_OBJECT
  public:
    explicit PreviewList(QWidget* parent = nullptr);

    void setRows(std::vector<PreviewRow> rows);
    PreviewModel* previewModel() const { return m_model; }

  private:
    PreviewModel* m_model;
};

} // namespace tassik
