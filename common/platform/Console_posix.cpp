#include "Console.h"

namespace chain::platform {

// A POSIX program has its parent's standard streams already.
void attachParentConsole() {}

void writeText(std::FILE* stream, std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

} // namespace chain::platform
