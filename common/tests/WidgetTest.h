#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

// Finding and clicking the controls of a window by object name, for the window tests of
// every program.
namespace chain::testing {

template <typename W = QAbstractButton> W* child(QWidget* root, const char* name) {
    W* widget = root->findChild<W*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no child named %s", name);
    return widget;
}

inline void click(QWidget* root, const char* name) {
    QAbstractButton* button = child(root, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

inline QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows.append(list->item(i)->text());
    return rows;
}

// Clicks `opener` in `root`, and runs `act` on the modal window it opens; `act` must close
// it. Returns the modal window's object name (empty when none opened: the timer then dies
// with the call, so it can't fire later, in another test).
inline QString withModal(QWidget* root, const char* opener, const std::function<void(QWidget*)>& act) {
    QString name;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        name = modal->objectName();
        act(modal);
        if (modal->isVisible())
            modal->close(); // never leave the test waiting on a window
    });
    timer.start(0);
    click(root, opener);
    return name;
}

} // namespace chain::testing
