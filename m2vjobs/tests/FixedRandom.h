#pragma once

#include "RandomSource.h"

#include <QString>

namespace pellavo::testing {

// Draws the letters of a text in turn, so temporary names come out as the test says.
class FixedRandom : public RandomSource {
  public:
    explicit FixedRandom(QString letters) : m_letters(std::move(letters)) {}
    int below(int bound) override {
        const int value = m_letters[m_next++ % m_letters.size()].unicode() - u'A';
        return value < bound ? value : 0;
    }

  private:
    QString m_letters;
    qsizetype m_next = 0;
};

} // namespace pellavo::testing
