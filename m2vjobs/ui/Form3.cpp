#include "Form3.h"

#include "Texts.h"

#include "FileOps.h"
#include "WriteFailure.h"
#include "ui/LineRules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace pellavo {

Form3::Form3(const QString& startFolder, PatternTable& patterns, chain::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_startFolder(startFolder), m_patterns(patterns), m_dialogs(dialogs), m_edit(patterns),
      File1(new QListWidget), List1(new QListWidget), Text1(new QLineEdit), Text2(new QLineEdit) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(text::Form3_Title);
    auto* label1 = new QLabel(text::Form3_Label1);
    label1->setObjectName(QStringLiteral("Label1"));
    File1->setObjectName(QStringLiteral("File1"));
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2->setObjectName(QStringLiteral("Text2"));
    chain::keepOneLine(Text1); // each entry is one line of the pattern file
    chain::keepOneLine(Text2);

    auto* files = new QVBoxLayout;
    files->addWidget(label1);
    files->addWidget(File1, 1);
    auto* entries = new QVBoxLayout;
    entries->addWidget(Text1);
    entries->addWidget(Text2);
    entries->addWidget(List1, 1);
    auto* buttons = new QVBoxLayout;
    const QList<std::pair<QString, void (Form3::*)()>> handlers = {
        {text::Form3_Command1, &Form3::Command1_Click}, {text::Form3_Command2, &Form3::Command2_Click},
        {text::Form3_Command3, &Form3::Command3_Click}, {text::Form3_Command4, &Form3::Command4_Click},
        {text::Form3_Command5, &Form3::Command5_Click}, {text::Form3_Command6, &Form3::Command6_Click}};
    for (int i = 0; i < handlers.size(); ++i) {
        auto* button = new QPushButton(handlers[i].first);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handlers[i].second);
        if (i == handlers.size() - 1)
            buttons->addStretch(1); // "ＯＫ" apart from the edits
        buttons->addWidget(button);
    }
    auto* page = new QHBoxLayout(this);
    page->addLayout(files, 1);
    page->addLayout(entries, 1);
    page->addLayout(buttons);

    connect(File1, &QListWidget::itemClicked, this, &Form3::File1_Click);
    // A click, also on the entry already selected, shows the entry in the boxes.
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form3::List1_Click);
    connect(List1, &QListWidget::itemClicked, this, &Form3::List1_Click);

    // A start folder without "Set Jobs" gives an empty file list.
    File1->addItems(
        chain::listFiles(chain::joinPath(startFolder, text::PatternFolder)).value_or(QStringList{}));
    // Pattern file names are long: room for them in the file list and the file box.
    const int names =
        std::max(File1->sizeHintForColumn(0), File1->fontMetrics().averageCharWidth() * 32) + 32;
    File1->setMinimumWidth(std::min(names, File1->fontMetrics().averageCharWidth() * 64));
    Text2->setMinimumWidth(File1->minimumWidth());
    PatternShow();
}

void Form3::PatternShow() {
    m_listBusy = true;
    List1->clear();
    for (const PatternEntry& entry : m_edit.table().entries)
        List1->addItem(entry.label);
    if (m_edit.selected() >= 0)
        List1->setCurrentRow(m_edit.selected());
    m_listBusy = false;
    showSelected();
}

void Form3::showSelected() {
    if (const int selected = m_edit.selected(); selected >= 0) {
        Text1->setText(m_edit.table().entries[selected].label);
        Text2->setText(m_edit.table().entries[selected].file);
    }
}

void Form3::File1_Click() {
    if (QListWidgetItem* item = File1->currentItem())
        Text2->setText(item->text());
}

void Form3::List1_Click() {
    if (m_listBusy)
        return;
    const QList<QListWidgetItem*> items = List1->selectedItems();
    m_edit.select(items.isEmpty() ? -1 : List1->row(items.first()));
    showSelected();
}

void Form3::Command1_Click() {
    if (!m_edit.add(Text1->text(), Text2->text())) {
        m_dialogs.message(text::DuplicateTitle, Text1->text() + text::DuplicateText);
        return;
    }
    PatternShow();
}

void Form3::Command2_Click() {
    m_edit.change(Text1->text(), Text2->text());
    PatternShow();
}

void Form3::Command3_Click() {
    m_edit.remove();
    PatternShow();
}

void Form3::Command4_Click() {
    m_edit.moveUp();
    PatternShow();
}

void Form3::Command5_Click() {
    m_edit.moveDown();
    PatternShow();
}

void Form3::Command6_Click() {
    if (const QString reason = SavePatterns(m_startFolder, m_edit.table()); !reason.isEmpty()) {
        chain::tellWriteFailure(m_dialogs, chain::joinPath(m_startFolder, text::PatternFile), reason);
        return;
    }
    m_patterns = m_edit.table();
    accept();
}

} // namespace pellavo
