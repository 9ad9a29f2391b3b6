#include "Cp932.h"

#include <cerrno>

#include <iconv.h>

// cp932 through glibc iconv. "CP932" is the Windows table (0x8160 is U+FF5E, NEC and IBM
// extensions included); "SHIFT_JIS"/"SJIS" would be the JIS table and must not be used.
// No //TRANSLIT or //IGNORE: every byte and every character converts exactly or the
// whole conversion fails.

namespace chain::platform {

namespace {

// An iconv descriptor opened once per thread and direction: opening one costs far more
// than a settings line's conversion. Reset to its initial state before each use.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (isOpen())
            ::iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t reset() const {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

  private:
    iconv_t m_cd;
};

// Converts all of `input`; nothing on invalid or incomplete input, on a character the
// target can't hold, or when iconv doesn't know the code page.
std::optional<std::string> convert(const Converter& converter, std::string_view input) {
    if (!converter.isOpen())
        return std::nullopt;
    const iconv_t cd = converter.reset();

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
    if (!ok)
        return std::nullopt;
    output.resize(used);
    return output;
}

} // namespace

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    static thread_local const Converter toUtf8("UTF-8", "CP932");
    return convert(toUtf8, bytes);
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
    static thread_local const Converter toCp932("CP932", "UTF-8");
    auto bytes = convert(toCp932, text);
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
