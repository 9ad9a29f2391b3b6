#include "OutputNameRule.h"

#include "Texts.h"

namespace kestrune {

OutputNameProblem checkOutputName(const QString& text) {
    if (text.trimmed().isEmpty())
        return OutputNameProblem::Empty;
    for (const QChar c : text) {
        if (text::ForbiddenChars.contains(c))
            return OutputNameProblem::Forbidden;
    }
    return OutputNameProblem::None;
}

} // namespace kestrune
