#pragma once

class QDialog;
class QString;
class QWidget;

namespace chain {

// For measuring how fast a window opens (scripts/bench.sh): with CHAIN_QUIT_WHEN_SHOWN=1
// in the environment the program ends as soon as its window has been painted once.
// Nothing happens otherwise.
void quitWhenShownIfAsked(QWidget& window);

// The same switch for a modal box, so that a program started with a window that shows a
// box before its window (a second instance refused, say) ends instead of waiting for a
// click nobody can give on the offscreen platform: the box's text goes to standard error
// as a headless run prints it (`[title] text`), and the box closes as soon as it has been
// painted, as if closed without an answer. Nothing happens otherwise.
void closeWhenShownIfAsked(QDialog& box, const QString& title, const QString& text);

} // namespace chain
