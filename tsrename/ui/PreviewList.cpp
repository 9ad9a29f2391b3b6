#include "PreviewList.h"

#include "PreviewModel.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>

namespace tassik {

namespace {
// The column captions, measured in the header's own font. QHeaderView measures them in
// bold, for a highlighted section; with Japanese captions that loads a second (bold)
// Japanese font of some megabytes only to size a header that is never shown in bold,
// since it highlights no section.
class CaptionHeader : public QHeaderView {
  public:
    explicit CaptionHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setHighlightSections(false);
    }

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.section = logicalIndex;
        option.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    }
};
} // namespace

PreviewList::PreviewList(QWidget* parent) : QTableView(parent), m_model(new PreviewModel(this)) {
    setObjectName(QStringLiteral("PreviewList"));
    setHorizontalHeader(new CaptionHeader(this));
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
