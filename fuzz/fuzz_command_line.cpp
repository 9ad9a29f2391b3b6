// Command lines: the quoting of any value splits back to that value, on its own and in the
// demuxer's command line; a name's system bytes survive the trip through a text.

#include "FuzzSupport.h"

#include "CommandLine.h"
#include "CommandText.h"
#include "NativeName.h"

#include "platform/CommandLine.h"

#include <vector>

namespace {
using Args = std::vector<std::string>;

Args split(const QString& line) {
    return chain::platform::splitCommandLine(chain::toNative(line));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    fuzz::require(chain::toNative(chain::fromNative(bytes)) == bytes, "a name's bytes survive as a text");

    // Every argument of any command line, quoted again, splits back to itself.
    const Args args = chain::platform::splitCommandLine(bytes);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const Args again = chain::platform::splitCommandLine("p " + chain::platform::quoteArgument(args[i]));
        fuzz::require(again == Args{"p", args[i]}, "a quoted argument splits back to itself");
    }

    // The same for a value, and for the values of the demuxer's command line, which is
    // refused before it is built when a value holds a double quote.
    const std::string_view value = bytes.substr(0, bytes.find('\0'));
    const QString text = chain::fromNative(value);
    fuzz::require(split(QStringLiteral("p ") + chain::quoteArgument(text)) == Args{"p", std::string(value)},
                  "a quoted value splits back to itself");
    kestrune::Settings settings(kestrune::SettingsSize);
    settings.set(kestrune::slot::ProgramFolder, QStringLiteral("/prog folder"));
    settings.set(kestrune::slot::OutputFolder, text);
    settings.set(kestrune::slot::DemuxKind, kestrune::DemuxBoth);
    for (int k : {kestrune::slot::AudioMode, kestrune::slot::AudioEs, kestrune::slot::Rf64})
        settings.set(k, QStringLiteral("0"));
    settings.set(kestrune::slot::FrameCompletion, text);
    settings.set(kestrune::slot::Descramble, QStringLiteral("1"));
    kestrune::FileRow row;
    row.path = text;
    row.outputName = text;
    if (kestrune::unsafeCommandValue(settings, row))
        return 0;
    const Args line = split(kestrune::BuildCommandLine(settings, row, u'/'));
    const std::string native = chain::toNative(text);
    const std::string output = native.ends_with('/') ? native + native : native + '/' + native;
    Args expected{"/prog folder/BonTsDemux.exe", "-i", native, "-o", output};
    if (text != u"0")
        expected.push_back("-vf" + native);
    expected.insert(expected.end(), {"-start", "-quit"});
    fuzz::require(line == expected, "the demuxer's command line splits into its values");
    return 0;
}
