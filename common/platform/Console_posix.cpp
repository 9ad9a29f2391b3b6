#include "Console.h"

namespace chain::platform {

// A POSIX program has its parent's standard streams already.
void attachParentConsole() {}

} // namespace chain::platform
