#pragma once

#include "FileTable.h"
#include "Slots.h"

#include <optional>

namespace kestrune {

// The demuxer's command line for one row: the program path in the program folder,
// -i with the source path, -o with output folder and base name, the optional switches
// of the demux options, and -start -quit. `separator` joins folders and names.
QString BuildCommandLine(const Settings& settings, const FileRow& row, QChar separator);

// The first value of the command line that holds a double quote (it would break the
// quoting), or nothing when all are safe.
std::optional<QString> unsafeCommandValue(const Settings& settings, const FileRow& row);

} // namespace kestrune
