#include "Form5.h"

#include "CharTableRule.h"
#include "SaveWithMessage.h"
#include "Texts.h"
#include "ui/LineRules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrune {

namespace {

QLabel* label(const QString& name, const QString& caption) {
    auto* l = new QLabel(caption);
    l->setObjectName(name);
    return l;
}

// A box of the table: one line, no length limit (a long table is never cut), or, for
// a new pair, one character (a character outside the BMP counts as one).
QLineEdit* textBox(const QString& name, const QString& initial = {}, bool oneCharacter = false) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    if (oneCharacter)
        chain::keepOneCharacter(box);
    else
        chain::keepOneLine(box);
    box->setText(initial);
    return box;
}

QPushButton* button(const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

Form5::Form5(Settings& settings, chain::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(text::Form5_Title);

    Text1 = textBox(QStringLiteral("Text1"), settings.text(slot::BeforeString));
    Text2 = textBox(QStringLiteral("Text2"), settings.text(slot::AfterString));
    Text3 = textBox(QStringLiteral("Text3"), {}, true);
    Text4 = textBox(QStringLiteral("Text4"), {}, true);
    for (QLineEdit* one : {Text3, Text4})
        one->setMaximumWidth(one->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 16);
    auto* command1 = button(QStringLiteral("Command1"), text::Form5_Command1);
    auto* command2 = button(QStringLiteral("Command2"), text::Form5_Command2);
    auto* command3 = button(QStringLiteral("Command3"), text::Form5_Command3);

    auto* table = new QGridLayout;
    table->setColumnStretch(1, 1);
    table->addWidget(label(QStringLiteral("Label2"), text::Form5_Label2), 0, 0);
    table->addWidget(Text1, 0, 1);
    table->addWidget(label(QStringLiteral("Label3"), text::Form5_Label3), 1, 0);
    table->addWidget(Text2, 1, 1);

    auto* pair = new QHBoxLayout;
    pair->addWidget(label(QStringLiteral("Label4"), text::Form5_Label4));
    pair->addWidget(Text3);
    pair->addWidget(label(QStringLiteral("Label5"), text::Form5_Label5));
    pair->addWidget(Text4);
    pair->addWidget(command1);
    pair->addWidget(label(QStringLiteral("Label6"), text::Form5_Label6));
    pair->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command2);
    buttons->addWidget(command3);

    auto* page = new QVBoxLayout(this);
    page->addLayout(table);
    page->addLayout(pair);
    page->addLayout(buttons);

    connect(command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &QDialog::reject);
}

void Form5::Command1_Click() {
    if (!canAddCharPair(Text3->text(), Text4->text())) {
        m_dialogs.message(text::InputErrorTitle, text::EmptyCharText);
        return;
    }
    Text1->setText(Text1->text() + Text3->text());
    Text2->setText(Text2->text() + Text4->text());
    Text3->clear();
    Text4->clear();
}

void Form5::Command2_Click() {
    switch (checkCharTable(Text1->text(), Text2->text())) {
    case CharTableVerdict::Nothing:
        return;
    case CharTableVerdict::LengthsDiffer:
        m_dialogs.message(text::InputErrorTitle, text::LengthDiffersText);
        return;
    case CharTableVerdict::Store:
        break;
    }
    const QString oldBefore = m_settings.text(slot::BeforeString);
    const QString oldAfter = m_settings.text(slot::AfterString);
    m_settings.set(slot::BeforeString, Text1->text());
    m_settings.set(slot::AfterString, Text2->text());
    if (!saveSettingsTelling(m_settings, m_dialogs)) {
        // The file stayed as it was, and so does the stored table.
        m_settings.set(slot::BeforeString, oldBefore);
        m_settings.set(slot::AfterString, oldAfter);
    }
}

} // namespace kestrune
