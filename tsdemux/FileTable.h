#pragma once

#include "FileIdentity.h"

#include <QString>
#include <optional>
#include <vector>

namespace kestrune {

// One recording in the engine's work table.
struct FileRow {
    enum State { Waiting = 0, Ready = 2, Launched = 3 };

    QString path;        // full path of the source .ts
    QString name;        // its file name with extension
    QString outputName;  // output base name, without extension
    qint64 lastSize = 0; // size seen at the previous check (auto mode)
    int state = Waiting;
    QString originalPath;    // the path before the character conversion renamed it
    qint64 launchedAtMs = 0; // when the demuxer was started on it (ms since 1970)
    QString outputBase;      // output folder + output name it was handed, once launched
    QString demuxKind;       // the demux kind it was launched with
    // The recording as it was when the demuxer was started on it: only that file, still
    // unchanged, is filed away afterwards.
    std::optional<chain::FileIdentity> identity;
    // Converted at an earlier start, its output proven then: only its filing is pending
    // (the output may have been taken on since).
    bool remembered = false;
};

// The engine's work table, in the order the rows were added.
using FileTable = std::vector<FileRow>;

} // namespace kestrune
