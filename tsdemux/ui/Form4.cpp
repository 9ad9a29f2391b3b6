#include "Form4.h"

#include "SaveWithMessage.h"
#include "Texts.h"

#include "FileOps.h"
#include "ui/LineRules.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrune {

Form4::Form4(const Settings& settings, Keywords& keywords, chain::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_keywords(keywords), m_dialogs(dialogs),
      m_edit(keywords.entries()) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(text::Form4_Title);

    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    chain::keepOneLine(Text1); // a keyword is one line of the keyword file
    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* left = new QVBoxLayout;
    left->addWidget(Text1);
    left->addWidget(List1, 1);

    auto* right = new QVBoxLayout;
    const QList<std::pair<QString, void (Form4::*)()>> buttons = {
        {text::Form4_Command1, &Form4::Command1_Click},
        {text::Form4_Command2, &Form4::Command2_Click},
        {text::Form4_Command3, &Form4::Command3_Click},
        {text::Form4_Command4, &Form4::Command4_Click},
        {text::Form4_Command5, &Form4::Command5_Click},
        {text::Form4_Command6, &Form4::Command6_Click},
        {text::Form4_Command7, nullptr}};
    for (int i = 0; i < buttons.size(); ++i) {
        auto* button = new QPushButton(buttons[i].first);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        button->setAutoDefault(false);
        if (buttons[i].second)
            connect(button, &QPushButton::clicked, this, buttons[i].second);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::reject); // "キャンセル"
        right->addWidget(button);
    }
    right->addStretch(1);

    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(right);

    // A click, also on the row already selected, copies the row into the entry box.
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form4::List1_Click);
    connect(List1, &QListWidget::itemClicked, this, &Form4::List1_Click);
    showRows();
}

void Form4::showRows() {
    m_listBusy = true;
    List1->clear();
    List1->addItems(m_edit.rows());
    if (m_edit.selected() >= 0)
        List1->setCurrentRow(m_edit.selected());
    else
        List1->clearSelection();
    m_listBusy = false;
}

void Form4::List1_Click() {
    if (m_listBusy)
        return;
    const QList<QListWidgetItem*> items = List1->selectedItems();
    m_edit.select(items.isEmpty() ? -1 : List1->row(items.first()));
    if (m_edit.selected() >= 0)
        Text1->setText(m_edit.rows().at(m_edit.selected()));
}

void Form4::ShowDuplicate() {
    m_dialogs.message(text::DuplicateTitle, text::DuplicateText);
}

void Form4::Command1_Click() {
    if (m_edit.add(Text1->text()) == KeywordListEdit::Outcome::Duplicate)
        ShowDuplicate();
    showRows();
}

void Form4::Command2_Click() {
    if (m_edit.change(Text1->text()) == KeywordListEdit::Outcome::Duplicate)
        ShowDuplicate();
    showRows();
}

void Form4::Command3_Click() {
    m_edit.remove();
    showRows();
}

void Form4::Command4_Click() {
    m_edit.moveUp();
    showRows();
}

void Form4::Command5_Click() {
    m_edit.moveDown();
    showRows();
}

void Form4::Command6_Click() {
    const QString folder = m_settings.text(slot::ProgramFolder);
    const QString path = chain::joinPath(folder, KeywordFileName);
    if (m_edit.rows().isEmpty()) {
        if (!m_dialogs.question(text::DeleteKeywordsTitle, text::DeleteKeywordsText))
            return;
        if (const QString reason = removeKeywordFile(folder); !reason.isEmpty()) {
            tellDeleteFailure(m_dialogs, path, reason);
            return;
        }
    } else if (const QString reason = saveKeywordFile(folder, m_edit.rows()); !reason.isEmpty()) {
        tellWriteFailure(m_dialogs, path, reason);
        return;
    }
    m_keywords.setEntries(m_edit.rows());
    accept();
}

} // namespace kestrune
