// Jobs files: the part handed to VirtualDub ends with its "// $done" line or is the whole
// file, both as Orvane passes a jobs file on and as Pellavo rewrites a job pattern; the
// output names are what follows the last separator of each "// $output" line.

#include "FuzzSupport.h"

#include "JobWrite.h"
#include "JobsText.h"

namespace {
const QString Done = QStringLiteral("// $done");

// The index of the first line that begins with "// $done", or the number of lines.
qsizetype cutAt(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(Done))
            return i;
    }
    return lines.size();
}

// The cut: the lines up to and including `cut`, or all of them; the text as written
// ends with the "// $done" line and CR LF, or holds every line.
void requireCut(const QStringList& written, const QStringList& lines, const char* what) {
    const qsizetype cut = cutAt(lines);
    std::string bytes;
    fuzz::require(chain::encodeLines(written, bytes, chain::Reader::ForTool).isEmpty(), what);
    if (cut < lines.size()) {
        fuzz::require(written.size() == cut + 1 && written.last().startsWith(Done), what);
        const std::string end = chain::toCp932(written.last()).value() + "\r\n";
        fuzz::require(bytes.ends_with(end), what);
    } else {
        fuzz::require(written.size() == lines.size(), what);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = fuzz::linesOf(fuzz::bytesOf(data, size));
    if (!lines)
        return 0;
    const QStringList used = orvane::usedPart(*lines);
    requireCut(used, *lines, "Orvane's VirtualDub.jobs ends with // $done CR LF or is the whole file");
    for (qsizetype i = 0; i < used.size(); ++i)
        fuzz::require(used[i] == orvane::withoutTrailingSpaces((*lines)[i]),
                      "lines are passed on as they are");

    const pellavo::JobLines job = pellavo::jobNames(QStringLiteral("C:\\m2v"), QStringLiteral("C:\\avi"),
                                                    QStringLiteral("a.m2v"), QStringLiteral("ABCDEFGHIJ"));
    requireCut(pellavo::rewritePattern(*lines, job, 100), *lines,
               "Pellavo's VirtualDub.jobs ends with // $done CR LF or is the whole pattern");

    const QStringList outputs = orvane::outputNames(*lines);
    qsizetype k = 0;
    for (const QString& line : *lines) {
        if (!line.startsWith(QStringLiteral("// $output")))
            continue;
        fuzz::require(k < outputs.size(), "every // $output line gives a name");
        const QString& name = outputs[k++];
        fuzz::require(orvane::withoutTrailingSpaces(line).endsWith(name), "the name ends its line");
        fuzz::require(name.startsWith(QStringLiteral("// $output")) ||
                          (!name.contains(u'\\') && !name.contains(u'/')),
                      "the name follows the line's last separator");
    }
    fuzz::require(k == outputs.size(), "only // $output lines give names");
    return 0;
}
