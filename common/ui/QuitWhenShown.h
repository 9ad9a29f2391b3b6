#pragma once

class QWidget;

namespace chain {

// For measuring how fast a window opens (scripts/bench.sh): with CHAIN_QUIT_WHEN_SHOWN=1
// in the environment the program ends as soon as its window has been painted once.
// Nothing happens otherwise.
void quitWhenShownIfAsked(QWidget& window);

} // namespace chain
