#include "PreviewModel.h"

#include <QBrush>
#include <QColor>

namespace tassik {

namespace {
// Why a row keeps its name, for its tooltip; empty for rows without a problem.
QString problemText(PreviewStatus status) {
    switch (status) {
    case PreviewStatus::CollidesExisting:
        return QStringLiteral("同じ名前のファイルが既にあるため、名前は変わりません");
    case PreviewStatus::CollidesEarlier:
        return QStringLiteral("前の行のファイルが先にこの名前になるため、名前は変わりません");
    case PreviewStatus::BadName:
        return QStringLiteral("ファイル名に使えない名前になるため、名前は変わりません");
    case PreviewStatus::TableRefused:
        return QStringLiteral("変換表に誤りがあるため、名前は変わりません");
    case PreviewStatus::ChangedSince:
        return QStringLiteral("一括変更の後で置き換えられたか書き換えられたため、元に戻しません");
    case PreviewStatus::Unchanged:
    case PreviewStatus::Renamed:
        break;
    }
    return {};
}

bool isMarked(PreviewStatus status) {
    return status == PreviewStatus::CollidesExisting || status == PreviewStatus::CollidesEarlier ||
           status == PreviewStatus::BadName || status == PreviewStatus::ChangedSince;
}
} // namespace

void PreviewModel::setRows(std::vector<PreviewRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PreviewRow& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? row.present : row.proposed;
    case Qt::ForegroundRole:
        if (row.status == PreviewStatus::Unchanged || row.status == PreviewStatus::TableRefused)
            return QBrush(Qt::gray);
        if (isMarked(row.status))
            return QBrush(QColor(160, 0, 0));
        return {};
    case Qt::BackgroundRole:
        return isMarked(row.status) ? QVariant(QBrush(QColor(255, 225, 225))) : QVariant();
    case Qt::ToolTipRole: {
        // The whole name, which the column may show shortened in the middle, and why the
        // file keeps its name, if it does.
        const QString name = index.column() == 0 ? row.present : row.proposed;
        const QString problem = problemText(row.status);
        return problem.isEmpty() ? name : name + u'\n' + problem;
    }
    case StatusRole:
        return static_cast<int>(row.status);
    default:
        return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("現在の名前") : QStringLiteral("変更後の名前");
}

} // namespace tassik
