#pragma once

#include <QString>

namespace kestrune {

// What is wrong with a new output name typed for a row of individual conversion.
enum class OutputNameProblem {
    None,
    Empty,     // nothing but blanks
    Forbidden, // holds one of the characters a file name must not carry here
};

// The characters an output name must not hold, in the order the message lists them.
inline const QString ForbiddenOutputChars = QStringLiteral("&:*\\./\"");

OutputNameProblem checkOutputName(const QString& text);

} // namespace kestrune
