#include "Form3.h"

#include "IndividualList.h"
#include "Texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrune {

Form3::Form3(const QString& sourceFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(text::Form3_Title);

    auto* label1 = new QLabel(sourceFolder);
    label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    // A click toggles a row's mark; the highlighted rows are the marked ones.
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->addItems(tsFilesOf(sourceFolder).value_or(QStringList{}));

    auto* command1 = new QPushButton(text::Form3_Command1);
    command1->setObjectName(QStringLiteral("Command1"));
    auto* command2 = new QPushButton(text::Form3_Command2);
    command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* button : {command1, command2})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command1);
    buttons->addWidget(command2);

    auto* page = new QVBoxLayout(this);
    page->addWidget(label1);
    page->addWidget(List1, 1);
    page->addLayout(buttons);

    connect(command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    // "キャンセル" and the close box hand nothing back: m_chosen stays empty.
    connect(command2, &QPushButton::clicked, this, &QDialog::reject);
}

void Form3::Command1_Click() {
    if (List1->count() == 0) {
        reject();
        return;
    }
    m_chosen.clear();
    for (int row = 0; row < List1->count(); ++row) {
        if (List1->item(row)->isSelected())
            m_chosen.append(List1->item(row)->text());
    }
    accept();
}

} // namespace kestrune
