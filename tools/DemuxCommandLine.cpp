#include "DemuxCommandLine.h"

#include "ToolSupport.h"

#include <initializer_list>
#include <set>
#include <string_view>

namespace tools {

namespace {
// The position of `value` among `allowed`, or -1.
int indexIn(std::string_view value, std::initializer_list<std::string_view> allowed) {
    int index = 0;
    for (std::string_view a : allowed) {
        if (value == a) {
            return index;
        }
        ++index;
    }
    return -1;
}

// The value's code among `allowed`; a value not among them is refused.
int code(const std::string& name, const std::string& value, std::initializer_list<std::string_view> allowed) {
    const int index = indexIn(value, allowed);
    if (index < 0) {
        throw Stop{DemuxBadCommandLine, "bad value for " + name + ": " + value};
    }
    return index;
}
} // namespace

DemuxOptions parseDemuxArguments(const std::vector<std::string>& args) {
    DemuxOptions options;
    bool start = false;
    bool quit = false;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // -rf64 and -vf carry their value glued on: -rf64"1" reaches us as -rf641.
        const std::string key = arg.rfind("-rf64", 0) == 0 ? "-rf64" : arg.rfind("-vf", 0) == 0 ? "-vf" : arg;
        if (!seen.insert(key).second) {
            throw Stop{DemuxBadCommandLine, "switch given twice: " + arg};
        }
        std::string value;
        if (indexIn(arg, {"-i", "-o", "-encode", "-sound", "-es", "-nd"}) >= 0) {
            // A value never starts with '-': that is the next switch, so this one has no value.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-') {
                throw Stop{DemuxBadCommandLine, "missing value after " + arg};
            }
            value = args[++i];
        }
        if (arg == "-i") {
            options.input = value;
        } else if (arg == "-o") {
            options.output = value;
        } else if (arg == "-encode") {
            code(arg, value, {"Demux(m2v+wav)", "Demux(m2v)", "Demux(wav)"});
            options.encode = value;
        } else if (arg == "-sound") {
            options.sound = code(arg, value, {"0", "1", "2", "3", "4"});
        } else if (arg == "-es") {
            options.es = code(arg, value, {"0", "1", "2"});
        } else if (arg == "-nd") {
            options.descramble = code(arg, value, {"0", "1"}) == 1;
        } else if (key == "-rf64") {
            options.rf64 = code(key, arg.substr(key.size()), {"0", "1"}) == 1;
        } else if (key == "-vf") {
            options.frameCompletion = code(key, arg.substr(key.size()), {"0", "1"}) == 1;
        } else if (arg == "-start") {
            start = true;
        } else if (arg == "-quit") {
            quit = true;
        } else {
            throw Stop{DemuxBadCommandLine, "unknown switch: " + arg};
        }
    }
    if (options.input.empty()) {
        throw Stop{DemuxBadCommandLine, "missing -i <source .ts>"};
    }
    if (options.output.empty()) {
        throw Stop{DemuxBadCommandLine, "missing -o <output base name>"};
    }
    if (!start || !quit) {
        throw Stop{DemuxNotStarted, "-start and -quit are both needed to run unattended"};
    }
    return options;
}

} // namespace tools
