#pragma once

// What every fuzz target shares: the bytes a program would read from a file, turned into
// its lines the way the programs read them, and a property check that ends the run.

#include "SlotTable.h"
#include "TextFile.h"

#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace fuzz {

// Ends the run with a finding when a property does not hold.
inline void require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Whether a save must take these lines: always, except for a file read as UTF-8, which may
// hold a character cp932 lacks, or one whose cp932 bytes would read back as UTF-8; its save
// is then refused with the reason, and the file kept.
inline bool mustSave(const chain::TextRead& read, const QStringList& lines) {
    std::string unused;
    return !read.utf8 || chain::encodeLines(lines, unused).isEmpty();
}

// The lines of a file holding these bytes that a save must take; nothing when they can't be
// read, or are UTF-8 that cp932 can't hold.
inline std::optional<QStringList> linesOf(std::string_view bytes) {
    chain::TextRead read = chain::decodeText(bytes);
    if (read.state != chain::TextRead::State::Read || !mustSave(read, read.lines))
        return std::nullopt;
    return read.lines;
}

// Whether a save refuses these lines only because their cp932 bytes, taken together, would
// read back as UTF-8 (other text than was saved): every line has cp932 bytes. The save
// then says why and the file is kept as it was.
inline bool refusedAsLookingLikeUtf8(const QStringList& lines) {
    for (const QString& line : lines) {
        if (!chain::toCp932(line))
            return false;
    }
    return true;
}

// The lines after a save of them and a new reading of the file; nothing when the save
// refused them for looking like UTF-8. A save must take every other line a reading gave.
inline std::optional<QStringList> savedAndRead(const QStringList& lines) {
    std::string bytes;
    if (!chain::encodeLines(lines, bytes).isEmpty()) {
        require(refusedAsLookingLikeUtf8(lines), "a line that was read can be saved");
        return std::nullopt;
    }
    const std::optional<QStringList> again = linesOf(bytes);
    require(again.has_value(), "a saved file can be read");
    return again;
}

// A settings format's property: the slots 1 to `last` that `read` (true when it could use
// the lines) takes from the file's lines come back the same after `lines` has given them
// for a save and they are read again; and a saved file can always be used.
template <typename Read, typename Lines>
void requireSavedSettingsReadTheSame(std::string_view bytes, int size, int last, Read read, Lines lines) {
    const std::optional<QStringList> fileLines = linesOf(bytes);
    if (!fileLines)
        return;
    chain::SlotTable first(size);
    chain::SlotTable again(size);
    first.set(0, QStringLiteral("/start"));
    again.set(0, QStringLiteral("/start"));
    read(first, *fileLines);
    if (!mustSave(chain::decodeText(bytes), lines(first)))
        return;
    const std::optional<QStringList> saved = savedAndRead(lines(first));
    if (!saved)
        return;
    require(read(again, *saved), "saved settings can be used");
    for (int k = 1; k <= last; ++k)
        require(first.text(k) == again.text(k), "settings read, saved and read again are the same");
}

} // namespace fuzz
