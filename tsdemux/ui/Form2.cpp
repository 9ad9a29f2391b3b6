#include "Form2.h"

#include "IntervalRules.h"
#include "SaveWithMessage.h"
#include "Texts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrune {

namespace {

// A titled group of option buttons, named Option<first>, Option<first+1>, ...
QGroupBox* optionGroup(const QString& name, const QString& title, const QStringList& captions, int first,
                       QList<QRadioButton*>& buttons) {
    auto* group = new QGroupBox(title);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(group);
    for (const QString& caption : captions) {
        auto* button = new QRadioButton(caption);
        button->setObjectName(QStringLiteral("Option%1").arg(first++));
        layout->addWidget(button);
        buttons.append(button);
    }
    layout->addStretch(1);
    return group;
}

QCheckBox* checkBox(const QString& name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

// The checked button's position in the group, or -1.
int checkedIndex(const QList<QRadioButton*>& buttons) {
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked())
            return i;
    }
    return -1;
}

// Checks the button at the position a code slot names ("0", "1", ...); other values
// leave the group as it is.
void checkByCode(const QList<QRadioButton*>& buttons, const QString& code) {
    for (int i = 0; i < buttons.size(); ++i) {
        if (code == QString::number(i))
            buttons[i]->setChecked(true);
    }
}

QString flag(const QCheckBox* box) {
    return box->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

Form2::Form2(Settings& settings, chain::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(text::Form2_Title);

    auto* groups = new QHBoxLayout;
    groups->addWidget(optionGroup(QStringLiteral("Frame1"), text::Form2_Frame1,
                                  {text::Form2_Option1, text::Form2_Option2, text::Form2_Option3}, 1,
                                  m_kinds));
    groups->addWidget(optionGroup(QStringLiteral("Frame2"), text::Form2_Frame2,
                                  {text::Form2_Option4, text::Form2_Option5, text::Form2_Option6,
                                   text::Form2_Option7, text::Form2_Option8},
                                  4, m_audio));
    groups->addWidget(optionGroup(QStringLiteral("Frame3"), text::Form2_Frame3,
                                  {text::Form2_Option9, text::Form2_Option10, text::Form2_Option11}, 9,
                                  m_audioEs));

    Check1 = checkBox(QStringLiteral("Check1"), text::Form2_Check1);
    Check2 = checkBox(QStringLiteral("Check2"), text::Form2_Check2);
    Check3 = checkBox(QStringLiteral("Check3"), text::Form2_Check3);
    auto* checks = new QHBoxLayout;
    checks->addWidget(Check1);
    checks->addWidget(Check2);
    checks->addWidget(Check3);
    checks->addStretch(1);

    auto* label1 = new QLabel(text::Form2_Label1);
    label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(QStringLiteral("120"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaximumWidth(Text1->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    auto* label2 = new QLabel(text::Form2_Label2);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* command1 = new QPushButton(text::Form2_Command1);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label1);
    bottom->addWidget(Text1);
    bottom->addWidget(label2);
    bottom->addStretch(1);
    bottom->addWidget(command1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(groups);
    page->addLayout(checks);
    page->addLayout(bottom);

    connect(command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    Form_Load();
}

void Form2::Form_Load() {
    for (QRadioButton* kind : m_kinds) {
        if (kind->text() == m_settings.text(slot::DemuxKind))
            kind->setChecked(true);
    }
    checkByCode(m_audio, m_settings.text(slot::AudioMode));
    checkByCode(m_audioEs, m_settings.text(slot::AudioEs));
    Check1->setChecked(m_settings.text(slot::Rf64) == QStringLiteral("1"));
    Check2->setChecked(m_settings.text(slot::FrameCompletion) == QStringLiteral("1"));
    Check3->setChecked(m_settings.text(slot::Descramble) == QStringLiteral("1"));
    Text1->setText(m_settings.text(slot::CheckInterval));
}

void Form2::Command1_Click() {
    const CheckInterval interval = checkInterval(Text1->text());
    if (!interval.inRange) {
        m_dialogs.message(text::InputErrorTitle, text::Form2_RangeText);
        Text1->setText(QString::number(interval.seconds));
        return;
    }
    QStringList before; // slots 6-12, put back when the file can't be written
    for (int k = slot::DemuxKind; k <= slot::CheckInterval; ++k)
        before.append(m_settings.text(k));
    m_settings.set(slot::CheckInterval, QString::number(interval.seconds));
    if (const int kind = checkedIndex(m_kinds); kind >= 0)
        m_settings.set(slot::DemuxKind, m_kinds[kind]->text());
    if (const int audio = checkedIndex(m_audio); audio >= 0)
        m_settings.set(slot::AudioMode, QString::number(audio));
    if (const int es = checkedIndex(m_audioEs); es >= 0)
        m_settings.set(slot::AudioEs, QString::number(es));
    m_settings.set(slot::Rf64, flag(Check1));
    m_settings.set(slot::FrameCompletion, flag(Check2));
    m_settings.set(slot::Descramble, flag(Check3));
    if (!saveSettingsTelling(m_settings, m_dialogs)) {
        for (int k = slot::DemuxKind; k <= slot::CheckInterval; ++k)
            m_settings.set(k, before[k - slot::DemuxKind]);
        return;
    }
    accept();
}

} // namespace kestrune
