#include "Form2.h"

#include "Texts.h"

#include "WholeNumber.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace pellavo {

Form2::Form2(const SettingTable& settings, QWidget* parent)
    : QDialog(parent), Label1(new QLabel(settings.text(slot::NoticeText))), Timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(text::Form2_Title);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(Label1->sizeHint().width() + 48);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(24, 24, 24, 24);
    page->addWidget(Label1);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(chain::wholeNumber(settings.text(slot::NoticeTime)));
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer1->start();
}

void Form2::Timer1_Timer() {
    Timer1->stop();
    accept();
}

} // namespace pellavo
