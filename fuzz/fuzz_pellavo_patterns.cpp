// Pellavo's pattern table (Pellavo_Data2.txt): the entries read, written back as "label\file"
// lines (the registry's format) and read again are the same; a table without the two
// required entries is told, and no job is chosen from a label that isn't in the table.

#include "FuzzSupport.h"

#include "JobWrite.h"
#include "PatternTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = fuzz::linesOf(fuzz::bytesOf(data, size));
    if (!lines)
        return 0;
    const pellavo::PatternTable read = pellavo::patternsFromLines(*lines);
    fuzz::require(read.entries.size() == lines->size(), "one entry a line");
    QStringList written;
    for (const pellavo::PatternEntry& entry : read.entries)
        written << entry.label + u'\\' + entry.file;
    const auto saved = fuzz::savedAndRead(written);
    fuzz::require(!saved || pellavo::patternsFromLines(*saved).entries == read.entries,
                  "entries read, saved and read again are the same");
    for (const QString& choice : {QStringLiteral("1"), QStringLiteral("2")}) {
        const auto chosen = pellavo::choosePattern(read, QStringLiteral("news_HD.m2v"), choice);
        fuzz::require(!chosen || read.entries.contains(*chosen), "a chosen pattern is an entry");
        fuzz::require(chosen || !pellavo::hasRequiredEntries(read),
                      "with the required entries a pattern is chosen");
    }
    return 0;
}
