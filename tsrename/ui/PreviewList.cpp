#include "PreviewList.h"

#include "PreviewModel.h"

#include <QHeaderView>

namespace tassik {

PreviewList::PreviewList(QWidget* parent) : QTableView(parent), m_model(new PreviewModel(this)) {
    setObjectName(QStringLiteral("PreviewList"));
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    // Fixed row heights keep a list of many thousand rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void PreviewList::setRows(std::vector<PreviewRow> rows) {
    m_model->setRows(std::move(rows));
}

} // namespace tassik
