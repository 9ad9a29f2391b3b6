#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

namespace chain {

// What reading a cp932 text file came to.
struct TextRead {
    enum class State {
        Missing,    // there is no such file
        Unreadable, // it exists, but can't be opened or read, or its bytes aren't cp932
        Read,
    } state = State::Missing;
    QStringList lines; // for Read
    QString reason;    // for Unreadable: why, in Japanese
};

// Reads a cp932 text file as lines. A line ends at CR LF, a lone LF or a lone CR; a line
// end after the last line adds no empty line.
TextRead readTextFile(const QString& path);
// The same for the bytes of a file: Read with the lines, or Unreadable when they aren't cp932.
TextRead decodeText(std::string_view bytes);
// The lines of a file that could be read; nothing for a missing or unreadable one.
std::optional<QStringList> readTextLines(const QString& path);

// Writes the lines as cp932, each followed by CR LF, replacing the file whole and
// atomically (a temporary file in the same folder renamed over it), so a crash or a full
// disk leaves the old file as it was. A symbolic link stays a link: the file it leads to
// is replaced, beside itself. Returns an empty text on success, otherwise the
// reason in Japanese. Refused before anything is written: a line holding CR or LF (it
// would become two lines), or a character cp932 can't hold (named in the reason).
// With BackUpUnreadable, a file that is there but can't be read (saved by an editor in
// another encoding, say) is first kept under the first free name of <name>.bak,
// <name>.bak2, ...; if that fails nothing is written.
enum class OldFile { BackUpUnreadable, Replace };
QString writeTextLines(const QString& path, const QStringList& lines,
                       OldFile old = OldFile::BackUpUnreadable);
// The bytes writeTextLines writes for the lines, into `bytes`. Returns an empty text, or
// the reason of a refusal (`bytes` is then of no use).
QString encodeLines(const QStringList& lines, std::string& bytes);

// The text in cp932; nothing when a character can't be held (a lone surrogate, which
// stands for a raw byte of a file name, included: nothing is ever substituted).
std::optional<std::string> toCp932(const QString& text);

// Keeps a file that is there but can't be read under the first free name of <name>.bak,
// <name>.bak2, ..., as writeTextLines does before it replaces one; for a caller about to
// delete the file. Returns an empty text when the file was kept or there was nothing
// to keep (no file, or a readable one), otherwise the reason.
QString backUpIfUnreadable(const QString& path);

// Removes the temporary files that an interrupted save of `path` left beside it.
// Returns the names removed.
QStringList removeSaveLeftovers(const QString& path);

} // namespace chain
