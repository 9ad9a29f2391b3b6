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
    bool utf8 = false; // for Read: the bytes were UTF-8 (an editor's save), not cp932
};

// Reads a cp932 text file as lines. A line ends at CR LF, a lone LF or a lone CR; a line
// end after the last line adds no empty line. A file saved as UTF-8 by an editor is read
// as UTF-8 (and marked so): one that is valid UTF-8 holding multi-byte characters, a
// leading byte order mark dropped. Bytes that are valid in both encodings are taken as
// UTF-8 only when a character of theirs takes three bytes or more, as every kana and
// kanji does: two half-width katakana in cp932 can look like one two-byte UTF-8 character.
TextRead readTextFile(const QString& path);
// The same for the bytes of a file: Read with the lines, or Unreadable when they are
// neither cp932 nor UTF-8.
TextRead decodeText(std::string_view bytes);
// The line that tells a file read as UTF-8: read so, and written as cp932 at the next
// save, the old file kept as its backup (named). Empty for any other reading.
QString utf8Note(const QString& path, const TextRead& read);
// The lines of a file that could be read; nothing for a missing or unreadable one.
std::optional<QStringList> readTextLines(const QString& path);

// Writes the lines as cp932, each followed by CR LF, replacing the file whole and
// atomically (a temporary file in the same folder renamed over it), so a crash or a full
// disk leaves the old file as it was. A symbolic link stays a link: the file it leads to
// is replaced, beside itself. Returns an empty text on success, otherwise the
// reason in Japanese. Refused before anything is written: a line holding CR or LF (it
// would become two lines), a character cp932 can't hold (named in the reason), or bytes
// that a reading would take for UTF-8 (they would read back as other text).
// With BackUpNotCp932, a file that is there but isn't cp932 (unreadable, or saved as UTF-8
// by an editor) is first kept under the first free name of <name>.bak, <name>.bak2, ...;
// if that fails nothing is written.
// A file that a tool reads (VirtualDub's job list), not the chain, is never read back by us
// and reads as cp932 whatever its bytes look like: ForTool leaves out the UTF-8 refusal.
enum class OldFile { BackUpNotCp932, Replace };
enum class Reader { Chain, ForTool };
QString writeTextLines(const QString& path, const QStringList& lines, OldFile old = OldFile::BackUpNotCp932,
                       Reader reader = Reader::Chain);
// The bytes writeTextLines writes for the lines, into `bytes`. Returns an empty text, or
// the reason of a refusal (`bytes` is then of no use).
QString encodeLines(const QStringList& lines, std::string& bytes, Reader reader = Reader::Chain);

// The text in cp932; nothing when a character can't be held (a lone surrogate, which
// stands for a raw byte of a file name, included: nothing is ever substituted).
std::optional<std::string> toCp932(const QString& text);

// Keeps a file that is there but isn't cp932 (unreadable, or UTF-8) under the first free
// name of <name>.bak, <name>.bak2, ..., as writeTextLines does before it replaces one; for
// a caller about to delete the file. Returns an empty text when the file was kept or there
// was nothing to keep (no file, or a cp932 one), otherwise the reason.
QString backUpIfNotCp932(const QString& path);
// The name such a backup of `path` takes now: the first free one; empty when all are taken.
QString backupPath(const QString& path);
// The sentence telling where the next save will keep the unreadable file `path`, for a
// start-up note: "<when>、元のファイルは <name>.bak2 として残ります。" with the name
// backupPath gives, or that every backup name is taken.
QString keptOnSaveNote(const QString& path, const QString& when);

// Removes the temporary files that an interrupted save of `path` left beside it.
// Returns the names removed.
QStringList removeSaveLeftovers(const QString& path);

} // namespace chain
