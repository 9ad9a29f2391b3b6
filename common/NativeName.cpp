#include "NativeName.h"

#include <QStringDecoder>

namespace chain {

namespace {
// UTF-8 bytes of a name as text, all of them: QString::fromUtf8 drops the bytes of a byte
// order mark at the start, and a name that begins with them would then be another name.
QString fromUtf8Whole(const char* bytes, std::size_t size) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes, static_cast<qsizetype>(size)));
}
} // namespace

#ifdef Q_OS_WIN

QString fromNative(std::string_view bytes) {
    return fromUtf8Whole(bytes.data(), bytes.size());
}

std::string toNative(const QString& text) {
    return text.toStdString();
}

#else

namespace {
constexpr char16_t EscapeBase = 0xDC00; // U+DC80..U+DCFF carry the bytes 0x80..0xFF

// Length of the valid UTF-8 sequence starting at `i`, or 0 when it isn't one (overlong
// forms, surrogates and values past U+10FFFF are not valid).
std::size_t validSequence(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length = 0;
    char32_t value = 0;
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        value = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        value = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        value = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}
} // namespace

QString fromNative(std::string_view bytes) {
    QString text;
    std::size_t start = 0; // first byte of the valid run not yet converted
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length = validSequence(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += fromUtf8Whole(bytes.data() + start, i - start);
        text += QChar(static_cast<char16_t>(EscapeBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    if (start == 0)
        return fromUtf8Whole(bytes.data(), bytes.size());
    text += fromUtf8Whole(bytes.data() + start, bytes.size() - start);
    return text;
}

std::string toNative(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    qsizetype start = 0; // first character of the run not yet converted
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const char16_t c = end ? 0 : text[i].unicode();
        // A lone surrogate in U+DC80..U+DCFF (one not after a high surrogate) is an escaped byte.
        const bool escaped = !end && c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && text[i - 1].isHighSurrogate());
        if (!end && !escaped)
            continue;
        bytes += QStringView(text).mid(start, i - start).toUtf8().toStdString();
        if (escaped)
            bytes.push_back(static_cast<char>(c - EscapeBase));
        start = i + 1;
    }
    return bytes;
}

#endif

} // namespace chain
