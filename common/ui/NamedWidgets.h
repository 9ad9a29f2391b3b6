#pragma once

#include <QSizePolicy>
#include <QString>
#include <QWidget>
#include <utility>

// Small helpers every program's windows use to build their controls.
namespace chain {

// A new widget carrying its control name ("Command7", "Text1") as its object name, so that
// tests and tools find it by that name.
template <typename W, typename... Args> W* named(const QString& name, Args&&... args) {
    W* widget = new W(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

// Keeps a widget's place in its layout while it is hidden, so the window doesn't jump
// when a label that shows only while running appears.
inline void keepSpaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace chain
