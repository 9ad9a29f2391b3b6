// cp932 reading: a text read from any bytes is saved and read back unchanged, and the
// code page conversion goes there and back.

#include "FuzzSupport.h"

#include "platform/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    if (const auto text = chain::platform::cp932ToUtf8(bytes)) {
        const auto back = chain::platform::utf8ToCp932(*text);
        fuzz::require(back.has_value(), "a text read from cp932 can be written as cp932");
        fuzz::require(chain::platform::cp932ToUtf8(*back) == text,
                      "cp932 written reads back as the same text");
    }
    if (const auto lines = fuzz::linesOf(bytes)) {
        const auto again = fuzz::savedAndRead(*lines);
        fuzz::require(!again || *again == *lines, "lines read, saved and read again are the same");
    }
    return 0;
}
