#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chain::platform {

// Conversion between UTF-8 and the Windows Japanese code page 932 (the Windows table,
// NEC and IBM extensions included). Nothing comes back for bytes or characters the
// other side can't hold.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);
std::optional<std::string> utf8ToCp932(std::string_view text);

} // namespace chain::platform
