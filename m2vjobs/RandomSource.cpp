#include "RandomSource.h"

#include <QRandomGenerator>

namespace pellavo {

int SystemRandom::below(int bound) {
    return QRandomGenerator::global()->bounded(bound);
}

} // namespace pellavo
