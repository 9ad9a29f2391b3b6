#pragma once

#include "PatternTable.h"
#include "RandomSource.h"
#include "Slots.h"

#include "Dialogs.h"

#include <QStringList>
#include <optional>

namespace pellavo {

// The job under way: the script for VirtualDub.jobs and the names of the files of one
// .m2v. They stay as they are from VirtualDub's start until the file is finished off.
struct JobLines {
    QStringList script;   // the lines of VirtualDub.jobs
    QString listedName;   // slot 93: the List1 entry, e.g. news.m2v
    QString wavName;      // slot 94: base + ".wav"
    QString saveAviPath;  // slot 95: temporary .avi, escaped for the SaveAVI line
    QString temporaryAvi; // slot 96: avi folder + temporary name + ".avi"
    QString finalAvi;     // slot 97: avi folder + base + ".avi"
    QString openPath;     // slot 98: temporary .m2v, escaped for the Open line
    QString temporaryM2v; // slot 99: m2v folder + temporary name + ".m2v"
    QString m2vPath;      // slot 100: m2v folder + listed name
    QString m2vFolder;    // the m2v folder of this job, where its .wav lies
};

// The text before the last "." of a file name.
QString baseName(const QString& name);

// A path as the script's call lines write it: every "\" doubled.
QString escapeScriptPath(const QString& path);

// The names of the job for `name` (a .m2v of the m2v folder) under `temporaryName`.
JobLines jobNames(const QString& m2vFolder, const QString& aviFolder, const QString& name,
                  const QString& temporaryName);

// Twenty capital letters A-Z.
QString drawTemporaryName(RandomSource& random);

// The pattern for a file name. With picture size "1" the first entry whose label occurs
// in the name (exactly, case and width counting), else the first "others" or "その他",
// else the first "NoResize"; with any other choice the first "NoResize". Nothing when
// there is none.
std::optional<PatternEntry> choosePattern(const PatternTable& table, const QString& name,
                                          const QString& pictureSize);

// The job script made from a pattern's lines: trailing blanks removed, the lines that
// name files, count jobs or give the frame range rewritten, nothing after the first
// "// $done".
QStringList rewritePattern(const QStringList& pattern, const JobLines& job, int frames);

// What JobWrite came to.
struct JobWriteResult {
    enum class Outcome {
        Written,           // VirtualDub.jobs holds the job
        NoPattern,         // no pattern for the name: the engine stops (JobError 100)
        PatternUnreadable, // the pattern file can't be read: the program ends
        Failed,            // the job can't be written; `error` says why
    } outcome = Outcome::Failed;
    JobLines job;
    QString error;
};

// Writes VirtualDub.jobs into the VirtualDub folder for the .m2v `name` of the m2v
// folder, with the frame range 0 to `frames`, under a temporary name that nothing in
// the m2v folder (as .m2v) or the avi folder (as .avi) carries. Shows the boxes for a missing
// pattern and an unreadable pattern file.
JobWriteResult JobWrite(const SettingTable& settings, const PatternTable& patterns, RandomSource& random,
                        chain::Dialogs& dialogs, const QString& name, int frames);

} // namespace pellavo
