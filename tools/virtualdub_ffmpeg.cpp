// VirtualDub.exe for Linux: started as "VirtualDub.exe /x /r", it runs the jobs of the job list
// VirtualDub.jobs (cp932) in the folder it was started from, one ffmpeg run per job, as its
// child, while it waits (so a process watch sees VirtualDub.exe until the jobs are done).
// A job reads the file of its VirtualDub.Open line and writes an AVI (MPEG-4 Part 2 video
// with the FourCC XVID, 16-bit PCM sound) to the file of its VirtualDub.SaveAVI line. With a
// VirtualDub.subset.AddRange or VirtualDub.video.SetRangeFrames line "(start,count)" the AVI
// holds exactly `count` frames from frame `start`; a source that ends sooner has its last
// picture held. The sound comes from the file a VirtualDub.audio.SetSource("…") line names,
// else from the source itself when it has any; SetSource(0) leaves it out. Lines it doesn't
// understand are listed once on standard error and change nothing.
// Each AVI is written under a hidden temporary name in its folder and takes its final name
// only when ffmpeg has finished well; a job whose output name is taken fails without writing.
// SIGTERM/SIGINT/SIGHUP are passed on to ffmpeg and end the run with nothing more written.
// Exit codes: those of JobsExit in JobList.h.

#include "ChildProcess.h"
#include "JobList.h"
#include "PendingOutput.h"
#include "ToolSupport.h"
#include "platform/Cp932.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace tools;

namespace {

// A frame rate as a fraction.
struct Rate {
    long long num = 0;
    long long den = 1;
};

// The frame rate of the source's first video stream, as ffprobe reads it.
std::optional<Rate> frameRate(const std::string& input) {
    std::string text;
    if (runChild({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=r_frame_rate",
                  "-of", "csv=p=0", "file:" + input},
                 &text) != 0) {
        return std::nullopt;
    }
    Rate rate;
    const char* end = text.data() + text.size();
    const auto [slash, ec] = std::from_chars(text.data(), end, rate.num);
    if (ec != std::errc() || slash == end || *slash != '/' ||
        std::from_chars(slash + 1, end, rate.den).ec != std::errc() || rate.num <= 0 || rate.den <= 0) {
        return std::nullopt;
    }
    return rate;
}

// The time of `frames` frames at `rate`, in seconds, to the microsecond.
std::string seconds(long long frames, Rate rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f",
                  static_cast<double>(frames) * static_cast<double>(rate.den) /
                      static_cast<double>(rate.num));
    return text;
}

// The ffmpeg command line of a job that writes to `temporary`; nothing, after saying why, when
// the job can't be run.
std::optional<std::vector<std::string>> ffmpegCommand(const Job& job, const fs::path& temporary,
                                                      std::string& error) {
    std::vector<std::string> command{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel",
                                     "error",  "-y",       "-i",           "file:" + *job.input};
    if (job.audioFile) {
        command.insert(command.end(), {"-i", "file:" + *job.audioFile});
    }
    command.insert(command.end(), {"-map", "0:v:0"});
    if (!job.audioOff) {
        command.insert(command.end(), {"-map", job.audioFile ? "1:a:0" : "0:a:0?"});
    }
    if (!job.ranges.empty()) {
        const FrameRange range = job.ranges.front();
        for (const FrameRange& other : job.ranges) {
            if (other != range) {
                error = "the job's frame ranges differ: one range a job is all this tool can do";
                return std::nullopt;
            }
        }
        const std::optional<Rate> rate = frameRate(*job.input);
        if (!rate) {
            error = "cannot read the frame rate of " + *job.input;
            return std::nullopt;
        }
        // The first trim skips to the range, tpad holds the last picture should the source end
        // sooner, the second trim ends the range. (-frames:v would cut the sound short with it.)
        command.insert(command.end(),
                       {"-vf",
                        "trim=start_frame=" + std::to_string(range.start) +
                            ",setpts=PTS-STARTPTS,tpad=stop_mode=clone:stop=-1,trim=end_frame=" +
                            std::to_string(range.count),
                        "-af",
                        "atrim=start=" + seconds(range.start, *rate) +
                            ":duration=" + seconds(range.count, *rate) + ",asetpts=PTS-STARTPTS"});
    }
    command.insert(command.end(), {"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "3", "-c:a", "pcm_s16le", "-f",
                                   "avi", "file:" + temporary.string()});
    return command;
}

// Runs one job; an empty text, or why it wrote nothing.
std::string runJob(const Job& job) {
    if (!job.input || !job.output) {
        return "a job without an Open or a SaveAVI line";
    }
    std::error_code ec;
    for (const std::optional<std::string>& file : {job.input, job.audioFile}) {
        if (file && !fs::is_regular_file(toPath(*file), ec)) {
            return "cannot read " + *file;
        }
    }
    const fs::path output = toPath(*job.output);
    if (nameTaken(output)) {
        return *job.output + " exists already: job left out";
    }
    try {
        PendingOutput avi(output, "VirtualDub.avi", JobsJobFailed);
        std::string error;
        const auto command = ffmpegCommand(job, avi.temporary(), error);
        if (!command) {
            return error;
        }
        const int status = runChild(*command);
        if (stopSignal() != 0) {
            throw Stop{JobsStopped, "stopped by signal " + std::to_string(stopSignal())};
        }
        if (status != 0) {
            return "ffmpeg failed (exit status " + std::to_string(status) + ") for " + *job.output;
        }
        return avi.commit();
    } catch (const Stop& stop) {
        if (stop.code == JobsStopped) {
            throw;
        }
        return stop.message;
    }
}

int run(int argc, char** argv) {
    bool x = false;
    bool r = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg != "/x" && arg != "/r") {
            throw Stop{JobsBadSetting, "unknown argument: " + arg};
        }
        (arg == "/x" ? x : r) = true;
    }
    if (!x || !r) {
        // Without both, the real program opens its window and waits for a user.
        throw Stop{JobsNotStarted, "/x and /r are both needed to run the job list unattended"};
    }
    forwardStopSignals();
    const fs::path jobsFile = startedFolder(argc > 0 ? argv[0] : nullptr) / "VirtualDub.jobs";
    const auto bytes = readBytes(jobsFile);
    const auto text = bytes ? chain::platform::cp932ToUtf8(*bytes) : std::nullopt;
    if (!text) {
        throw Stop{JobsBadList, "cannot read " + jobsFile.string() + " as cp932 text"};
    }
    const JobList list = parseJobList(*text);
    if (!list.notUnderstood.empty()) {
        std::cerr << "VirtualDub (ffmpeg): lines not understood, left out:" << std::endl;
        for (const std::string& line : list.notUnderstood) {
            std::cerr << "  " << line << std::endl;
        }
    }
    bool allDone = true;
    for (const Job& job : list.jobs) {
        if (const std::string error = runJob(job); !error.empty()) {
            std::cerr << "VirtualDub (ffmpeg): " << error << std::endl;
            allDone = false;
        }
    }
    return allDone ? JobsDone : JobsJobFailed;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("VirtualDub (ffmpeg)", JobsJobFailed, [&] { return run(argc, argv); });
}
