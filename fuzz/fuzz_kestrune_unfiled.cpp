// Kestrune's list of converted recordings still to be filed away (kestrune.unfiled): a list
// that is read is either used whole or refused with a reason, and what is used, saved and
// read again is the same list.

#include "FuzzSupport.h"

#include "Slots.h"
#include "UnfiledRecordings.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const kestrune::UnfiledRecordings list(dir.filePath(kestrune::UnfiledFile));
    {
        QFile file(list.path());
        fuzz::require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                          file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                              static_cast<qint64>(size),
                      "the list file is written");
    }
    const kestrune::UnfiledRecordings::Loaded loaded = list.load();
    if (!loaded.problem.isEmpty()) {
        fuzz::require(loaded.runs.isEmpty(), "a refused list gives no recordings");
        return 0;
    }
    for (const chain::RunRecord::Run& run : loaded.runs)
        fuzz::require(run.began.isValid() && !run.fields.isEmpty(),
                      "every recording has its moment and fields");
    if (const QString error = list.save(loaded.runs); !error.isEmpty()) {
        // Only a field cp932 can't hold, or one whose bytes would read back as UTF-8, may
        // be refused; the old file is then kept.
        fuzz::require(!loaded.runs.isEmpty(), "an empty list is always saved");
        return 0;
    }
    const kestrune::UnfiledRecordings::Loaded again = list.load();
    fuzz::require(again.problem.isEmpty(), "a saved list can be read");
    fuzz::require(again.runs.size() == loaded.runs.size(), "the same number of recordings comes back");
    for (qsizetype i = 0; i < loaded.runs.size(); ++i) {
        fuzz::require(again.runs[i].began == loaded.runs[i].began, "each moment comes back");
        fuzz::require(again.runs[i].fields == loaded.runs[i].fields, "each recording's fields come back");
    }
    return 0;
}
