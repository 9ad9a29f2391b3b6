#include "QuitWhenShown.h"

#include "PrintingDialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace chain {

namespace {
bool asked() {
    return qEnvironmentVariable("CHAIN_QUIT_WHEN_SHOWN") == u"1";
}

// Ends the event loop once the window's first paint is done.
class QuitAfterPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        return false;
    }
};

// Closes the box once its first paint is done. reject() rather than close(): a box with
// Yes and No ignores a close.
class CloseAfterPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, static_cast<QDialog*>(watched), &QDialog::reject);
        return false;
    }
};
} // namespace

void quitWhenShownIfAsked(QWidget& window) {
    if (asked())
        window.installEventFilter(new QuitAfterPaint(&window));
}

void closeWhenShownIfAsked(QDialog& box, const QString& title, const QString& text) {
    if (!asked())
        return;
    PrintingDialogs().message(title, text);
    box.installEventFilter(new CloseAfterPaint(&box));
}

} // namespace chain
