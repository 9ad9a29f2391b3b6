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
    setTextElideMode(Qt::ElideMiddle);
    verticalHeader()->hide();
    // Fixed row heights keep a list of many thousand rows cheap to lay out.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int) {
        if (section == 0 && !m_settingWidth)
            m_userSized = true;
    });
}

void PreviewList::setFirstColumnWidth(int width) {
    m_settingWidth = true;
    setColumnWidth(0, width);
    m_settingWidth = false;
}

void PreviewList::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (!m_userSized)
        setFirstColumnWidth(viewport()->width() / 2);
}

void PreviewList::setRows(std::vector<PreviewRow> rows) {
    // A new preview keeps the widths the user gave the columns.
    const int width = m_userSized ? columnWidth(0) : viewport()->width() / 2;
    m_model->setRows(std::move(rows));
    setFirstColumnWidth(width);
}

} // namespace tassik
