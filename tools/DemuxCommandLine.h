#pragma once

#include <string>
#include <vector>

// The demuxer's command line, as Kestrune writes it:
//   -i "source.ts" -o "folder/base" [-encode "kind"] [-sound "n"] [-es "n"] [-rf64"n"] [-vf"n"]
//   [-nd "0"] -start -quit
// shared by the byte-copying stand-in and the ffmpeg-backed demuxer.
namespace tools {

// Exit codes of both demuxers.
enum DemuxExit {
    DemuxDone = 0,
    DemuxFailureMode = 1, // the stand-in's failure on purpose
    DemuxBadCommandLine = 2,
    DemuxNotStarted = 3, // -start or -quit missing
    DemuxBadSource = 4,
    DemuxNotWritten = 5,
    DemuxOutputTaken = 6, // an output's name is taken: nothing is written
    DemuxStopped = 7,     // stopped by a signal: nothing is written
};

// What the command line asks for.
struct DemuxOptions {
    std::string input;  // the source .ts
    std::string output; // output folder and base name, without extension
    std::string encode = "Demux(m2v+wav)";
    int sound = 0; // 0 stereo (main+sub), 1 main, 2 sub, 3 forced 5.1, 4 forced 5.1 split
    int es = 0;    // which audio stream: 0, 1 or 2
    bool rf64 = false;
    bool frameCompletion = false;
    bool descramble = true;

    bool wantsM2v() const { return encode != "Demux(wav)"; }
    bool wantsWav() const { return encode != "Demux(m2v)"; }
};

// Parses the arguments strictly: every switch known, none twice, every value one of its
// own, -i and -o given, -start and -quit both there (without them the real tool waits for
// a user). Throws Stop with DemuxBadCommandLine or DemuxNotStarted.
DemuxOptions parseDemuxArguments(const std::vector<std::string>& args);

} // namespace tools
