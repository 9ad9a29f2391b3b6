#include "OutputNameRule.h"

#include "SettingsText.h"

namespace kestrune {

OutputNameProblem checkOutputName(const QString& text) {
    if (chain::trimBlanks(text).isEmpty())
        return OutputNameProblem::Empty;
    for (const QChar c : text) {
        if (ForbiddenOutputChars.contains(c))
            return OutputNameProblem::Forbidden;
    }
    return OutputNameProblem::None;
}

} // namespace kestrune
