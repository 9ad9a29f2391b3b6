#include "QuitWhenShown.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace chain {

namespace {
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
} // namespace

void quitWhenShownIfAsked(QWidget& window) {
    if (qEnvironmentVariable("CHAIN_QUIT_WHEN_SHOWN") == u"1")
        window.installEventFilter(new QuitAfterPaint(&window));
}

} // namespace chain
