// BonTsDemux.exe for Linux: takes the demuxer's command line and has ffmpeg do the work, as
// its child, while it waits (so a process watch sees BonTsDemux.exe until the work is done).
// As -encode asks, the first video stream is copied unchanged to <out>.m2v (an MPEG-2
// elementary stream) and the audio stream that -es picks ("0" the first, "1" the second, "2"
// the third) is decoded to <out>.wav, 16-bit PCM. -sound "1" (main) puts the first channel on
// both sides, "2" (sub) the second (a mono stream fails: ffmpeg's channelmap refuses a channel
// that isn't there, where pan would make silence), "3" and "4" (forced 5.1, split or not) make
// six channels in the one .wav; "0" keeps the channels as they are. -rf64"1" writes the .wav
// as RF64 once it passes 4 GB. -vf"1" (frame completion) and -nd "0" (no descrambling) change
// nothing here: the video is copied as it is, and ffmpeg reads only unscrambled streams.
// Each output is written under a hidden temporary name in the output folder and takes its
// final name only when ffmpeg has finished well; a taken output name is refused before
// anything is written. A failure, or SIGTERM/SIGINT/SIGHUP (passed on to ffmpeg), leaves
// nothing under the final names. Exit codes: those of DemuxExit in DemuxCommandLine.h.

#include "ChildProcess.h"
#include "DemuxCommandLine.h"
#include "PendingOutput.h"
#include "ToolSupport.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

using namespace tools;

namespace {

// The audio options of a -sound code.
std::vector<std::string> soundOptions(int sound) {
    switch (sound) {
    case 1:
        return {"-af", "pan=stereo|c0=c0|c1=c0"};
    case 2:
        return {"-af", "channelmap=map=1|1:channel_layout=stereo"};
    case 3:
    case 4:
        return {"-ac", "6"};
    default:
        return {};
    }
}

// How many channels the audio stream `es` has at its start, as ffprobe reads it; nothing
// when the stream isn't there or can't be read.
std::optional<int> channels(const std::string& input, int es) {
    std::string text;
    if (runChild({"ffprobe", "-v", "error", "-select_streams", "a:" + std::to_string(es), "-show_entries",
                  "stream=channels", "-of", "csv=p=0", "file:" + input},
                 &text) != 0) {
        return std::nullopt;
    }
    int count = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), count).ec != std::errc() || count <= 0) {
        return std::nullopt;
    }
    return count;
}

int run(int argc, char** argv) {
    const DemuxOptions options =
        parseDemuxArguments(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    forwardStopSignals();
    std::error_code ec;
    if (!fs::is_regular_file(toPath(options.input), ec)) {
        throw Stop{DemuxBadSource, "cannot read " + options.input};
    }
    // Told plainly here; a stream that turns mono later makes ffmpeg's channelmap fail.
    if (options.wantsWav() && options.sound == 2 && channels(options.input, options.es) == 1) {
        throw Stop{DemuxNotWritten, "audio stream " + std::to_string(options.es) +
                                        " is mono: it has no sub channel for -sound 2: nothing written"};
    }
    const fs::path m2vPath = toPath(options.output + ".m2v");
    const fs::path wavPath = toPath(options.output + ".wav");
    for (const auto& [wanted, path] :
         {std::pair{options.wantsM2v(), m2vPath}, {options.wantsWav(), wavPath}}) {
        if (wanted && nameTaken(path)) {
            throw Stop{DemuxOutputTaken, path.string() + " exists already: nothing written"};
        }
    }

    std::optional<PendingOutput> m2v;
    std::optional<PendingOutput> wav;
    std::vector<std::string> command{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel",
                                     "error",  "-y",       "-i",           "file:" + options.input};
    if (options.wantsM2v()) {
        m2v.emplace(m2vPath, "BonTsDemux.m2v", DemuxNotWritten);
        command.insert(command.end(), {"-map", "0:v:0", "-c:v", "copy", "-f", "mpeg2video",
                                       "file:" + m2v->temporary().string()});
    }
    if (options.wantsWav()) {
        wav.emplace(wavPath, "BonTsDemux.wav", DemuxNotWritten);
        command.insert(command.end(), {"-map", "0:a:" + std::to_string(options.es)});
        const std::vector<std::string> sound = soundOptions(options.sound);
        command.insert(command.end(), sound.begin(), sound.end());
        command.insert(command.end(), {"-c:a", "pcm_s16le", "-rf64", options.rf64 ? "auto" : "never", "-f",
                                       "wav", "file:" + wav->temporary().string()});
    }
    const int status = runChild(command);
    if (stopSignal() != 0) {
        throw Stop{DemuxStopped, "stopped by signal " + std::to_string(stopSignal()) + ": nothing written"};
    }
    if (status != 0) {
        throw Stop{DemuxNotWritten,
                   "ffmpeg failed (exit status " + std::to_string(status) + "): nothing written"};
    }
    for (std::optional<PendingOutput>* output : {&m2v, &wav}) {
        if (!*output) {
            continue;
        }
        if (const std::string error = (*output)->commit(); !error.empty()) {
            if (m2v) {
                m2v->undo(); // the .wav failed after the .m2v was named: leave neither
            }
            throw Stop{DemuxNotWritten, error};
        }
    }
    return DemuxDone;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("BonTsDemux (ffmpeg)", DemuxNotWritten, [&] { return run(argc, argv); });
}
