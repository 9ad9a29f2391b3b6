#include "JobList.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace tools {

namespace {
// The rest of the line after `call` at its start (blanks before it allowed), or nothing.
std::optional<std::string_view> after(std::string_view line, std::string_view call) {
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line.substr(first, call.size()) != call) {
        return std::nullopt;
    }
    return line.substr(first + call.size());
}

// The text of a quoted argument at the start of `rest`, with "\x" read as "x".
std::optional<std::string> quoted(std::string_view rest) {
    if (rest.empty() || rest[0] != '"') {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == '"') {
            return value;
        }
        if (rest[i] == '\\' && i + 1 < rest.size()) {
            ++i;
        }
        value.push_back(rest[i]);
    }
    return std::nullopt; // no closing quote
}

// Reads a whole number at `at`, moving past it.
std::optional<long long> number(std::string_view text, std::size_t& at) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (ec != std::errc() || value < 0) {
        return std::nullopt;
    }
    at = static_cast<std::size_t>(end - text.data());
    return value;
}

// "(start,count);" of a range call.
std::optional<FrameRange> range(std::string_view rest) {
    std::size_t at = 1;
    if (rest.empty() || rest[0] != '(') {
        return std::nullopt;
    }
    const auto start = number(rest, at);
    if (!start || at >= rest.size() || rest[at++] != ',') {
        return std::nullopt;
    }
    const auto count = number(rest, at);
    if (!count || rest.substr(at).rfind(");", 0) != 0) {
        return std::nullopt;
    }
    return FrameRange{*start, *count};
}

// Takes one line into the job; false when the line isn't understood.
bool take(std::string_view line, Job& job) {
    if (line.find_first_not_of(" \t") == std::string_view::npos || after(line, "//") ||
        after(line, "VirtualDub.Close();") || after(line, "VirtualDub.subset.Clear();")) {
        return true;
    }
    if (const auto rest = after(line, "VirtualDub.Open(")) {
        job.input = quoted(*rest);
        return job.input.has_value();
    }
    if (const auto rest = after(line, "VirtualDub.SaveAVI(")) {
        job.output = quoted(*rest);
        return job.output.has_value();
    }
    if (const auto rest = after(line, "VirtualDub.audio.SetSource(")) {
        job.audioFile = quoted(*rest);
        job.audioOff = rest->rfind("0)", 0) == 0;
        return job.audioFile || job.audioOff || rest->rfind("1)", 0) == 0;
    }
    for (std::string_view call : {"VirtualDub.subset.AddRange", "VirtualDub.video.SetRangeFrames"}) {
        if (const auto rest = after(line, call)) {
            const auto r = range(*rest);
            if (r) {
                job.ranges.push_back(*r);
            }
            return r.has_value();
        }
    }
    return false;
}
} // namespace

JobList parseJobList(const std::string& text) {
    JobList list;
    std::vector<Job> jobs(1);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (after(line, "// $done")) {
            break;
        }
        if (after(line, "// $endjob")) {
            jobs.emplace_back();
        } else if (!take(line, jobs.back()) && std::find(list.notUnderstood.begin(), list.notUnderstood.end(),
                                                         line) == list.notUnderstood.end()) {
            list.notUnderstood.emplace_back(line);
        }
    }
    for (Job& job : jobs) {
        if (job.input || job.output) {
            list.jobs.push_back(std::move(job));
        }
    }
    return list;
}

} // namespace tools
