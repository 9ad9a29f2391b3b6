#include "Cp932.h"

#include <cerrno>

#include <iconv.h>

// cp932 through glibc iconv. "CP932" is the Windows table (0x8160 is U+FF5E, NEC and IBM
// extensions included); "SHIFT_JIS"/"SJIS" would be the JIS table and must not be used.
// No //TRANSLIT or //IGNORE: every byte and every character converts exactly or the
// whole conversion fails.

namespace chain::platform {

namespace {

// Converts all of `input`; nothing on invalid or incomplete input, on a character the
// target can't hold, or when iconv doesn't know the code page.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input) {
    const iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    std::string output(input.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(input.data()); // iconv doesn't write through it
    std::size_t inLeft = input.size();
    std::size_t used = 0;
    bool flushing = false; // after the input, write any final shift sequence
    bool ok = true;
    for (;;) {
        char* out = output.data() + used;
        std::size_t outLeft = output.size() - used;
        const std::size_t r = flushing ? ::iconv(cd, nullptr, nullptr, &out, &outLeft)
                                       : ::iconv(cd, &in, &inLeft, &out, &outLeft);
        used = output.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) {
            // glibc counts characters it converted in a non-reversible way; with no
            // //TRANSLIT there should be none, but refuse them if there are.
            if (r != 0) {
                ok = false;
                break;
            }
            if (flushing)
                break;
            flushing = true;
            continue;
        }
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        ok = false; // EILSEQ (invalid, or not in the target) or EINVAL (incomplete)
        break;
    }
    ::iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.resize(used);
    return output;
}

} // namespace

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    return convert("UTF-8", "CP932", bytes);
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
    auto bytes = convert("CP932", "UTF-8", text);
    if (!bytes)
        return std::nullopt;
    // glibc maps some characters that cp932 lacks onto a neighbour (U+301C to 0x8160,
    // U+00A5 to 0x5C, U+2014 to 0x815C...), which would read back as another text.
    // Only a text that comes back as it went in counts as one that cp932 can hold.
    const auto back = cp932ToUtf8(*bytes);
    if (!back || *back != text)
        return std::nullopt;
    return bytes;
}

} // namespace chain::platform
