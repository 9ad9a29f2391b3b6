#pragma once

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>
#include <QWidget>

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

} // namespace chain::testing
