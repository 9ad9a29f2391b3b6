// Kestrune's keyword file (KestruneData2.txt): the keywords read, saved and read again are
// the same, and the count element always tells their number.

#include "FuzzSupport.h"

#include "Keywords.h"
#include "WholeNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = fuzz::linesOf(fuzz::bytesOf(data, size));
    if (!lines)
        return 0;
    kestrune::Keywords read;
    read.setEntries(*lines);
    fuzz::require(chain::wholeNumber(read.items().at(0)) == read.count(), "element 0 counts the keywords");
    if (const auto saved = fuzz::savedAndRead(read.entries())) {
        kestrune::Keywords again;
        again.setEntries(*saved);
        fuzz::require(again.items() == read.items(), "keywords read, saved and read again are the same");
    }
    for (const QString& keyword : read.entries())
        fuzz::require(kestrune::KeywordMatch(read, u'x' + keyword + u'y'),
                      "a name holding a keyword matches");
    return 0;
}
