#pragma once

#include "Preview.h"

#include <QAbstractTableModel>

namespace tassik {

// The preview rows as a two-column table model: present name, name after "開始".
class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Role under which each row's PreviewStatus can be read (as an int).
    static constexpr int StatusRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<PreviewRow> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  private:
    std::vector<PreviewRow> m_rows;
};

} // namespace tassik
