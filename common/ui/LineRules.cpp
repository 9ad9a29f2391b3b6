#include "LineRules.h"

#include <QLineEdit>
#include <QValidator>
#include <algorithm>
#include <limits>

namespace chain {

namespace {

// Fixes the text as it is typed, pasted or set, rather than refusing the whole edit:
// control characters (line breaks, tabs, ...) are dropped, since no setting, table or
// file name may hold one.
class LineValidator : public QValidator {
  public:
    LineValidator(bool oneCharacter, QObject* parent) : QValidator(parent), m_oneCharacter(oneCharacter) {}

    State validate(QString& input, int& pos) const override {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input[i].category() == QChar::Other_Control) {
                input.remove(i, 1);
                if (pos > i)
                    --pos;
            }
        }
        if (m_oneCharacter && !input.isEmpty()) {
            const qsizetype first =
                input[0].isHighSurrogate() && input.size() > 1 && input[1].isLowSurrogate() ? 2 : 1;
            input.truncate(first);
        }
        pos = std::min(pos, static_cast<int>(input.size()));
        return Acceptable;
    }

  private:
    bool m_oneCharacter;
};

} // namespace

void keepOneLine(QLineEdit* box) {
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setValidator(new LineValidator(false, box));
}

void keepOneCharacter(QLineEdit* box) {
    box->setMaxLength(std::numeric_limits<int>::max()); // the validator counts, not the UTF-16 limit
    box->setValidator(new LineValidator(true, box));
}

} // namespace chain
