#pragma once

#include "platform/OpResult.h"

#include <QString>

namespace chain {

// The reason a file or process operation failed, in Japanese: the one place where the
// system's errors become words the user reads. Empty for success.
QString reasonText(const platform::OpResult& result);

} // namespace chain
