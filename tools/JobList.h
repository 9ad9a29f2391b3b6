#pragma once

#include <optional>
#include <string>
#include <vector>

// A VirtualDub job list, read the way both video processors for Linux (the byte-copying
// stand-in and the ffmpeg-backed runner) read it. Each job is the lines up to "// $endjob"
// or "// $done"; nothing after "// $done" is read. In the quotes of a call, "\\" stands for
// "\" (any "\x" is read as "x").
namespace tools {

// Exit codes of both video processors.
enum JobsExit {
    JobsDone = 0,
    JobsFailureMode = 1, // the stand-in's failure on purpose
    JobsBadSetting = 2,
    JobsNotStarted = 3, // /x or /r missing
    JobsBadList = 4,    // VirtualDub.jobs unreadable or not cp932
    JobsJobFailed = 5,  // at least one job wrote no output
    JobsStopped = 7,    // stopped by a signal
};

// A frame range: `count` frames from frame `start`.
struct FrameRange {
    long long start = 0;
    long long count = 0;
    bool operator==(const FrameRange&) const = default;
};

// One job, as its lines give it (texts in UTF-8, unescaped).
struct Job {
    std::optional<std::string> input;     // VirtualDub.Open("…"
    std::optional<std::string> output;    // VirtualDub.SaveAVI("…"
    std::optional<std::string> audioFile; // VirtualDub.audio.SetSource("…"
    bool audioOff = false;                // VirtualDub.audio.SetSource(0)
    std::vector<FrameRange> ranges;       // VirtualDub.subset.AddRange / video.SetRangeFrames
};

struct JobList {
    std::vector<Job> jobs;                  // jobs with an Open or a SaveAVI line
    std::vector<std::string> notUnderstood; // other calls, each distinct line once, in order
};

// Reads the jobs of a job list's text (UTF-8). Comments ("//"), blank lines,
// VirtualDub.Close() and VirtualDub.subset.Clear() are understood and change nothing.
JobList parseJobList(const std::string& text);

} // namespace tools
