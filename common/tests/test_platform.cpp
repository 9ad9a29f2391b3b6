// Tests of the platform layer (common/platform) on real files, real processes and the
// system's cp932 table.

#include "platform/CommandLine.h"
#include "platform/Cp932.h"
#include "platform/Files.h"
#include "platform/Launch.h"
#include "platform/Processes.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace chain::platform;
using Kind = OpResult::Kind;

Q_DECLARE_METATYPE(OpResult::Kind)

namespace {

std::string local(const QString& s) {
    return s.toStdString();
}

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Ok:
        return u"Ok"_s;
    case Kind::Exists:
        return u"Exists"_s;
    case Kind::NotFound:
        return u"NotFound"_s;
    case Kind::CrossVolume:
        return u"CrossVolume"_s;
    case Kind::Denied:
        return u"Denied"_s;
    case Kind::ReadOnly:
        return u"ReadOnly"_s;
    case Kind::Busy:
        return u"Busy"_s;
    case Kind::NoSpace:
        return u"NoSpace"_s;
    case Kind::NameTooLong:
        return u"NameTooLong"_s;
    case Kind::InvalidName:
        return u"InvalidName"_s;
    case Kind::NotRegularFile:
        return u"NotRegularFile"_s;
    case Kind::Other:
        return u"Other"_s;
    }
    return u"?"_s;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The contents of a file, or a null QByteArray when it can't be read.
QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = f.readAll();
    if (data.isNull())
        data = QByteArray(""); // empty but not null
    return data;
}

QStringList toList(const std::vector<std::string>& v) {
    QStringList list;
    for (const auto& s : v)
        list << QString::fromStdString(s);
    return list;
}

bool makeExecutable(const QString& path) {
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther);
}

bool makeScript(const QString& path, const QByteArray& body) {
    return writeFile(path, "#!/bin/sh\n" + body) && makeExecutable(path);
}

// A copy of sleep(1) under another name: a real program whose image name we choose.
bool copySleep(const QString& to) {
    const QString sleep = QStandardPaths::findExecutable(u"sleep"_s);
    return !sleep.isEmpty() && QFile::copy(sleep, to) && makeExecutable(to);
}

QByteArray procFile(const QString& pid, const char* name) {
    QFile f(u"/proc/"_s + pid + u'/' + QLatin1StringView(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList processIds() {
    QStringList ids;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool isNumber = false;
        e.toInt(&isNumber);
        if (isNumber)
            ids << e;
    }
    return ids;
}

// The processes whose parent is this test (state letters; a "Z" would be our zombie).
QStringList ourChildren() {
    QStringList children;
    const QByteArray self = QByteArray::number(::getpid());
    for (const QString& pid : processIds()) {
        const QByteArray stat = procFile(pid, "stat");
        const qsizetype paren = stat.lastIndexOf(')');
        if (paren < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(paren + 2).split(' ');
        if (fields.size() > 1 && fields.at(1) == self)
            children << pid + u' ' + QString::fromLatin1(fields.at(0));
    }
    return children;
}

// The processes that run a program from `folder` or name it on their command line.
QStringList processesUnder(const QString& folder) {
    QStringList found;
    const QByteArray dir = QFile::encodeName(folder) + '/';
    for (const QString& pid : processIds()) {
        if (pid.toInt() == ::getpid())
            continue;
        const QByteArray exe = QFile::encodeName(QFile::symLinkTarget(u"/proc/"_s + pid + u"/exe"_s));
        if (exe.startsWith(dir) || procFile(pid, "cmdline").contains(dir))
            found << pid;
    }
    return found;
}

void killProcessesUnder(const QString& folder) {
    for (const QString& pid : processesUnder(folder))
        ::kill(pid.toInt(), SIGKILL);
}

// Kills what a test started from its folder, also when the test fails halfway.
struct ProcessCleanup {
    QString folder;
    ~ProcessCleanup() { killProcessesUnder(folder); }
};

ProcessAnswer answerFor(const QString& name) {
    std::string error;
    return processExists(local(name), error);
}

// Polls the process list until it gives `wanted` (true) or the time is up (false).
bool waitForAnswer(const QString& name, ProcessAnswer wanted, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (answerFor(name) == wanted)
            return true;
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
}

// What a symbolic link says, as it says it ("pipe:[1234]" for a pipe in /proc/*/fd).
QString linkText(const QString& link) {
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(link).constData(), buffer, sizeof buffer);
    return n < 0 ? QString() : QString::fromLocal8Bit(buffer, n);
}

QString quoted(const QString& path) {
    return u'"' + path + u'"';
}

// Tool names carry a tag drawn for this run, so that two runs of this test (from two
// build folders) never see each other's tools: "{tag}" in lower case, "{TAG}" in upper.
QString named(QString pattern) {
    static const QString tag = [] {
        QString t;
        for (int i = 0; i < 4; ++i)
            t += QChar(u'a' + QRandomGenerator::global()->bounded(26));
        return t;
    }();
    return pattern.replace(u"{tag}"_s, tag).replace(u"{TAG}"_s, tag.toUpper());
}

} // namespace

// Tests of the POSIX (and Windows) platform layer.
class PlatformTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void splitsCommandLineAsWindowsDoes_data();
    void splitsCommandLineAsWindowsDoes();
    void quotedArgumentSplitsBackToItsValue_data();
    void quotedArgumentSplitsBackToItsValue();

    void moveNeverReplaces_data();
    void moveNeverReplaces();
    void moveToAnotherFilesystemIsRefusedNotCopied();
    void deleteRemovesOnlyFiles();
    void listsOnlyOrdinaryFiles();
    void listingAMissingFolderFails();
    void fileQueries();

    void cp932RoundTrips_data();
    void cp932RoundTrips();
    void cp932DecodesExtensionDuplicates_data();
    void cp932DecodesExtensionDuplicates();
    void cp932RejectsInvalidBytes_data();
    void cp932RejectsInvalidBytes();
    void cp932RefusesWhatItCantHold_data();
    void cp932RefusesWhatItCantHold();

    void processListSeesRunningToolUntilItEnds_data();
    void processListSeesRunningToolUntilItEnds();
    void processListLeavesOutZombies();
    void processListAnswersNoForAbsentNames();
    void launchPassesArgumentsWithoutShell();
    void launchedToolStartsClean_data();
    void launchedToolStartsClean();
    void launchReportsFailureToStart_data();
    void launchReportsFailureToStart();
};

void PlatformTest::splitsCommandLineAsWindowsDoes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("demuxer command")
        << uR"(/opt/x/BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -rf64"1" -vf"1" -nd "0" -start -quit)"_s
        << QStringList{u"/opt/x/BonTsDemux.exe"_s,
                       u"-i"_s,
                       uR"(D:\rec\ABC.ts)"_s,
                       u"-o"_s,
                       uR"(E:\out\ABC)"_s,
                       u"-rf641"_s,
                       u"-vf1"_s,
                       u"-nd"_s,
                       u"0"_s,
                       u"-start"_s,
                       u"-quit"_s};
    QTest::newRow("quoted program with blank")
        << uR"("/a b/x.exe" -q)"_s << QStringList{u"/a b/x.exe"_s, u"-q"_s};
    QTest::newRow("quote inside program name only toggles")
        << uR"(C:\Pro"gram Fi"les\x.exe -q)"_s << QStringList{uR"(C:\Program Files\x.exe)"_s, u"-q"_s};
    QTest::newRow("program name takes no backslash escapes")
        << uR"("C:\dir\" arg)"_s << QStringList{uR"(C:\dir\)"_s, u"arg"_s};
    QTest::newRow("program alone") << u"x.exe"_s << QStringList{u"x.exe"_s};
    QTest::newRow("empty text") << QString() << QStringList{};
    QTest::newRow("leading blank gives empty program name")
        << u" p a"_s << QStringList{QString(), u"p"_s, u"a"_s};
    QTest::newRow("blanks and tabs separate, trailing ignored")
        << u"p \t a  \tb \t"_s << QStringList{u"p"_s, u"a"_s, u"b"_s};
    QTest::newRow("quoted blank stays") << uR"(p "a b"c d)"_s << QStringList{u"p"_s, u"a bc"_s, u"d"_s};
    QTest::newRow("empty quoted argument") << uR"(p "" x)"_s << QStringList{u"p"_s, QString(), u"x"_s};
    QTest::newRow("backslashes before other characters are literal")
        << uR"(p C:\x\\y\ \\server\share)"_s << QStringList{u"p"_s, uR"(C:\x\\y\)"_s, uR"(\\server\share)"_s};
    QTest::newRow("2n backslashes and quote: n backslashes, quote toggles")
        << uR"(p a\\"b c" d\\\\"")"_s << QStringList{u"p"_s, uR"(a\b c)"_s, uR"(d\\)"_s};
    QTest::newRow("2n+1 backslashes and quote: n backslashes, literal quote")
        << uR"(p a\"b a\\\"b "c\" d")"_s << QStringList{u"p"_s, uR"(a"b)"_s, uR"(a\"b)"_s, uR"(c" d)"_s};
    QTest::newRow("quoted folder with trailing backslash")
        << uR"(p "C:\dir\\" x "C:\dir\" y)"_s
        << QStringList{u"p"_s, uR"(C:\dir\)"_s, u"x"_s, uR"(C:\dir" y)"_s};
    QTest::newRow("double quote inside quotes is a quote")
        << uR"(p "a""b c" "")"_s << QStringList{u"p"_s, uR"(a"b c)"_s, QString()};
    QTest::newRow("double quote outside quotes is nothing") << uR"(p a""b)"_s << QStringList{u"p"_s, u"ab"_s};
    QTest::newRow("unclosed quote runs to the end") << uR"(p "a b)"_s << QStringList{u"p"_s, u"a b"_s};
    QTest::newRow("Japanese text passes unchanged")
        << u"p \"D:\\録画\\番組 1.ts\""_s << QStringList{u"p"_s, u"D:\\録画\\番組 1.ts"_s};
}

void PlatformTest::splitsCommandLineAsWindowsDoes() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(toList(splitCommandLine(local(text))), expected);
}

void PlatformTest::quotedArgumentSplitsBackToItsValue_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain path") << uR"(D:\rec\番組 1.ts)"_s << uR"("D:\rec\番組 1.ts")"_s;
    QTest::newRow("empty") << QString() << uR"("")"_s;
    QTest::newRow("trailing backslash") << uR"(E:\out\)"_s << uR"("E:\out\\")"_s;
    QTest::newRow("only backslashes") << uR"(\\)"_s << uR"("\\\\")"_s;
    QTest::newRow("quote inside") << uR"(a"b)"_s << uR"("a\"b")"_s;
    QTest::newRow("backslashes before a quote") << uR"(a\\"b)"_s << uR"("a\\\\\"b")"_s;
    QTest::newRow("backslashes before other characters") << uR"(\\server\x)"_s << uR"("\\server\x")"_s;
}

// The quoting of any value splits back to that value, and text and vector agree.
void PlatformTest::quotedArgumentSplitsBackToItsValue() {
    QFETCH(QString, value);
    QFETCH(QString, quoted);
    const std::string text = quoteArgument(local(value));
    QCOMPARE(QString::fromStdString(text), quoted);
    QCOMPARE(toList(splitCommandLine("p.exe " + text + " -start -quit")),
             (QStringList{u"p.exe"_s, value, u"-start"_s, u"-quit"_s}));
}

void PlatformTest::moveNeverReplaces_data() {
    QTest::addColumn<bool>("sourceThere");
    QTest::addColumn<QString>("target");          // relative to the test folder
    QTest::addColumn<QByteArray>("targetBefore"); // null: no such file
    QTest::addColumn<Kind>("expected");

    QTest::newRow("rename in the folder") << true << u"b.ts"_s << QByteArray() << Kind::Ok;
    QTest::newRow("into another folder") << true << u"sub/a.ts"_s << QByteArray() << Kind::Ok;
    QTest::newRow("Japanese name") << true << u"sub/番組 ～①.ts"_s << QByteArray() << Kind::Ok;
    QTest::newRow("onto an existing file") << true << u"b.ts"_s << QByteArray("old b") << Kind::Exists;
    QTest::newRow("onto an existing empty file") << true << u"b.ts"_s << QByteArray("") << Kind::Exists;
    QTest::newRow("onto an existing file in another folder")
        << true << u"sub/a.ts"_s << QByteArray("old sub/a") << Kind::Exists;
    QTest::newRow("onto itself") << true << u"a.ts"_s << QByteArray() << Kind::Exists;
    QTest::newRow("onto a folder") << true << u"sub"_s << QByteArray() << Kind::Exists;
    QTest::newRow("into a missing folder") << true << u"none/a.ts"_s << QByteArray() << Kind::NotFound;
    QTest::newRow("missing source") << false << u"b.ts"_s << QByteArray() << Kind::NotFound;
}

void PlatformTest::moveNeverReplaces() {
    QFETCH(bool, sourceThere);
    QFETCH(QString, target);
    QFETCH(QByteArray, targetBefore);
    QFETCH(Kind, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const QString from = dir.filePath(u"a.ts"_s);
    const QString to = dir.filePath(target);
    const QByteArray content = "source content";
    if (sourceThere)
        QVERIFY(writeFile(from, content));
    if (!targetBefore.isNull())
        QVERIFY(writeFile(to, targetBefore));

    const OpResult r = moveNoReplace(local(from), local(to));
    QCOMPARE(kindName(r.kind), kindName(expected));
    QCOMPARE(r.ok(), expected == Kind::Ok);
    if (r.ok()) {
        QVERIFY(!QFile::exists(from));
        QCOMPARE(readFile(to), content);
        return;
    }
    QVERIFY(!r.detail.empty());
    if (sourceThere)
        QCOMPARE(readFile(from), content);
    if (!targetBefore.isNull())
        QCOMPARE(readFile(to), targetBefore);
    // Nothing else appeared beside them (no placeholder or link left behind).
    QStringList expectedFiles;
    if (sourceThere)
        expectedFiles << u"a.ts"_s;
    if (!targetBefore.isNull() && !target.contains(u'/'))
        expectedFiles << target;
    expectedFiles.sort();
    expectedFiles.removeDuplicates();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expectedFiles);
}

void PlatformTest::moveToAnotherFilesystemIsRefusedNotCopied() {
    QTemporaryDir here;
    QVERIFY(here.isValid());
    QString otherRoot;
    for (const QString& candidate :
         {u"/dev/shm"_s, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isWritable() &&
            sameVolume(local(here.path()), local(candidate)) == std::optional<bool>(false)) {
            otherRoot = candidate;
            break;
        }
    }
    if (otherRoot.isEmpty())
        QSKIP("No writable folder on another filesystem");
    QTemporaryDir there(otherRoot + u"/platform-test-XXXXXX"_s);
    QVERIFY(there.isValid());

    const QString from = here.filePath(u"a.ts"_s);
    const QString to = there.filePath(u"a.ts"_s);
    QVERIFY(writeFile(from, "data"));
    const OpResult r = moveNoReplace(local(from), local(to));
    QCOMPARE(kindName(r.kind), kindName(Kind::CrossVolume));
    QCOMPARE(readFile(from), QByteArray("data"));
    QVERIFY(!QFile::exists(to));
}

void PlatformTest::deleteRemovesOnlyFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"a.ts"_s);
    const QString folder = dir.filePath(u"sub"_s);
    QVERIFY(writeFile(file, "x"));
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));

    QVERIFY(deleteFile(local(file)).ok());
    QVERIFY(!QFile::exists(file));
    QCOMPARE(kindName(deleteFile(local(file)).kind), kindName(Kind::NotFound));

    const OpResult onFolder = deleteFile(local(folder));
    QVERIFY(!onFolder.ok());
    QVERIFY(!onFolder.detail.empty());
    QVERIFY(QFileInfo(folder).isDir());

    QVERIFY(writeFile(file, "x"));
    QVERIFY(setNormalAttributes(local(file)).ok());
    QCOMPARE(kindName(setNormalAttributes(local(dir.filePath(u"none"_s))).kind), kindName(Kind::NotFound));
}

void PlatformTest::listsOnlyOrdinaryFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QDir d(dir.path());
    QVERIFY(writeFile(dir.filePath(u"a.ts"_s), "1"));
    QVERIFY(writeFile(dir.filePath(u"B.TXT"_s), ""));
    QVERIFY(writeFile(dir.filePath(u"番組.ts"_s), "2"));
    QVERIFY(writeFile(dir.filePath(u".hidden.ts"_s), "3"));
    QVERIFY(d.mkdir(u"sub.ts"_s));
    QVERIFY(d.mkdir(u".git"_s));
    QVERIFY(writeFile(dir.filePath(u"sub.ts/inner.ts"_s), "4"));
    QVERIFY(QFile::link(dir.filePath(u"a.ts"_s), dir.filePath(u"link.ts"_s)));
    QVERIFY(QFile::link(dir.filePath(u"sub.ts"_s), dir.filePath(u"folderlink.ts"_s)));
    QVERIFY(QFile::link(dir.filePath(u"gone.ts"_s), dir.filePath(u"dangling.ts"_s)));

    std::vector<std::string> names{"left over"};
    const OpResult r = listOrdinaryFiles(local(dir.path()), names);
    QVERIFY(r.ok());
    QStringList got = toList(names);
    got.sort();
    QCOMPARE(got, (QStringList{u"B.TXT"_s, u"a.ts"_s, u"link.ts"_s, u"番組.ts"_s}));
}

void PlatformTest::listingAMissingFolderFails() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(u"file"_s), "x"));
    std::vector<std::string> names{"left over"};

    OpResult r = listOrdinaryFiles(local(dir.filePath(u"none"_s)), names);
    QCOMPARE(kindName(r.kind), kindName(Kind::NotFound));
    QVERIFY(!r.detail.empty());
    QVERIFY(names.empty());

    r = listOrdinaryFiles(local(dir.filePath(u"file"_s)), names);
    QVERIFY(!r.ok());
}

void PlatformTest::fileQueries() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string file = local(dir.filePath(u"a.m2v"_s));
    const std::string empty = local(dir.filePath(u"b.wav"_s));
    const std::string missing = local(dir.filePath(u"none"_s));
    const std::string folder = local(dir.path());
    QVERIFY(writeFile(QString::fromStdString(file), "12345"));
    QVERIFY(writeFile(QString::fromStdString(empty), ""));

    QCOMPARE(fileSize(file), std::optional<std::uint64_t>(5));
    QCOMPARE(fileSize(empty), std::optional<std::uint64_t>(0));
    QVERIFY(!fileSize(missing));
    QVERIFY(!fileSize(folder)); // a folder named like an output is no output

    QVERIFY(isRegularFile(file));
    QVERIFY(!isRegularFile(folder));
    QVERIFY(!isRegularFile(missing));

    QVERIFY(canOpenForReading(file));
    QVERIFY(!canOpenForReading(folder));
    QVERIFY(!canOpenForReading(missing));

    QCOMPARE(sameVolume(file, folder), std::optional<bool>(true));
    QVERIFY(!sameVolume(file, missing));

    // A name is taken by anything, a folder or a dangling link included.
    const std::string dangling = local(dir.filePath(u"link"_s));
    QCOMPARE(::symlink(missing.c_str(), dangling.c_str()), 0);
    QVERIFY(entryExists(file));
    QVERIFY(entryExists(folder));
    QVERIFY(entryExists(dangling));
    QVERIFY(!entryExists(missing));

    // The time a file was written, as the system keeps it.
    {
        QFile stamped(QString::fromStdString(file));
        QVERIFY(stamped.open(QIODevice::ReadWrite));
        QVERIFY(stamped.setFileTime(QDateTime::fromMSecsSinceEpoch(1'700'000'000'123),
                                    QFileDevice::FileModificationTime));
    }
    QCOMPARE(modifiedMsecs(file), std::optional<std::int64_t>(1'700'000'000'123));
    QVERIFY(!modifiedMsecs(folder));
    QVERIFY(!modifiedMsecs(missing));

    QCOMPARE(QString::fromStdString(currentDirectory()), QDir::currentPath());
}

void PlatformTest::cp932RoundTrips_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray("");
    QTest::newRow("ASCII with CR LF") << u"Name=abc\r\n"_s << QByteArray("Name=abc\r\n");
    QTest::newRow("backslash stays a backslash") << u"D:\\rec\\"_s << QByteArray("D:\\rec\\");
    QTest::newRow("tilde stays a tilde") << u"~"_s << QByteArray("~");
    QTest::newRow("kanji") << u"変換開始"_s << QByteArray("\x95\xcf\x8a\xb7\x8a\x4a\x8e\x6e");
    QTest::newRow("fullwidth tilde (Windows table)") << u"～"_s << QByteArray("\x81\x60");
    QTest::newRow("fullwidth minus") << u"－"_s << QByteArray("\x81\x7c");
    QTest::newRow("horizontal bar") << u"―"_s << QByteArray("\x81\x5c");
    QTest::newRow("parallel") << u"∥"_s << QByteArray("\x81\x61");
    QTest::newRow("fullwidth not sign") << u"￢"_s << QByteArray("\x81\xca");
    QTest::newRow("NEC circled digit") << u"①"_s << QByteArray("\x87\x40");
    QTest::newRow("NEC parenthesised kabu") << u"㈱"_s << QByteArray("\x87\x8a");
    QTest::newRow("IBM extension") << u"髙"_s << QByteArray("\xfb\xfc");
    QTest::newRow("halfwidth katakana") << u"ｱｲｳ"_s << QByteArray("\xb1\xb2\xb3");
    QTest::newRow("NUL inside") << QString(QChar(u'a')) + QChar(0) + u'b' << QByteArray("a\0b", 3);
}

void PlatformTest::cp932RoundTrips() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::string utf8 = local(text);

    const auto encoded = utf8ToCp932(utf8);
    QVERIFY(encoded.has_value());
    QCOMPARE(QByteArray::fromStdString(*encoded), bytes);
    const auto decoded = cp932ToUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    QVERIFY(decoded.has_value());
    QCOMPARE(QString::fromStdString(*decoded), text);
}

void PlatformTest::cp932DecodesExtensionDuplicates_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("NEC-selected IBM extension") << QByteArray("\xed\x40") << u"纊"_s;
    QTest::newRow("IBM extension") << QByteArray("\xfa\x5c") << u"纊"_s;
    QTest::newRow("NEC row 13 because") << QByteArray("\x87\x9a") << u"∵"_s;
    QTest::newRow("JIS because") << QByteArray("\x81\xe6") << u"∵"_s;
}

void PlatformTest::cp932DecodesExtensionDuplicates() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const auto decoded = cp932ToUtf8(bytes.toStdString());
    QVERIFY(decoded.has_value());
    QCOMPARE(QString::fromStdString(*decoded), text);
}

void PlatformTest::cp932RejectsInvalidBytes_data() {
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("lone lead byte at the end") << QByteArray("abc\x81");
    QTest::newRow("lead byte before a blank") << QByteArray("a\x81 b");
    QTest::newRow("lead byte before a control") << QByteArray("\x81\x0d\x0a");
    QTest::newRow("trail byte 0x7f") << QByteArray("\x81\x7f");
    QTest::newRow("unassigned double byte") << QByteArray("\x85\x40");
}

void PlatformTest::cp932RejectsInvalidBytes() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!cp932ToUtf8(bytes.toStdString()).has_value());
}

void PlatformTest::cp932RefusesWhatItCantHold_data() {
    QTest::addColumn<QByteArray>("utf8");

    QTest::newRow("emoji") << QByteArray("abc\xf0\x9f\x98\x80");
    QTest::newRow("wave dash U+301C (only its fullwidth twin is in cp932)") << u"〜"_s.toUtf8();
    QTest::newRow("yen sign (would come back as a backslash)") << u"¥"_s.toUtf8();
    QTest::newRow("em dash U+2014") << u"—"_s.toUtf8();
    QTest::newRow("accented letter") << u"café"_s.toUtf8();
    QTest::newRow("Korean") << u"한"_s.toUtf8();
    QTest::newRow("invalid UTF-8") << QByteArray("a\xff");
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("cut UTF-8 sequence") << QByteArray("\xe5\xa4");
}

void PlatformTest::cp932RefusesWhatItCantHold() {
    QFETCH(QByteArray, utf8);
    QVERIFY(!utf8ToCp932(utf8.toStdString()).has_value());
}

void PlatformTest::processListSeesRunningToolUntilItEnds_data() {
    QTest::addColumn<QString>("how");       // how the tool is started
    QTest::addColumn<QString>("asked");     // the name given to processExists
    QTest::addColumn<QString>("unrelated"); // a name that must not be seen meanwhile

    QTest::newRow("image name") << u"direct"_s << u"Zz{tag}Tool.exe"_s << u"Zz{tag}Tool.ex"_s;
    QTest::newRow("lower case") << u"direct"_s << u"zz{tag}tool.exe"_s << u"zz{tag}tool"_s;
    QTest::newRow("upper case") << u"direct"_s << u"ZZ{TAG}TOOL.EXE"_s << u"{TAG}TOOL.EXE"_s;
    // Started through a symbolic link: argv[0] and comm show the link, only the exe
    // link shows the program.
    QTest::newRow("exe link") << u"symlink"_s << u"Zz{tag}Tool.exe"_s << u"Zz{tag}Tool.ex"_s;
    QTest::newRow("exe deleted after start") << u"deleted"_s << u"Zz{tag}Tool.exe"_s << u"Zz{tag}Tool.ex"_s;
    // argv[0] in Windows form, as Wine gives it; exe and comm are another program.
    QTest::newRow("argv0 in Windows form")
        << u"argv0"_s << u"Zz{tag}Argv.exe"_s << u"Tools\\Zz{tag}Argv.exe"_s;
    // A script: exe and argv[0] are the shell; comm is the script's name cut to 15.
    QTest::newRow("script comm cut to 15")
        << u"script"_s << u"Zz{tag}LongScriptName.exe"_s << u"Zz{tag}LongScr.exe"_s;
}

void PlatformTest::processListSeesRunningToolUntilItEnds() {
    QFETCH(QString, how);
    QFETCH(QString, asked);
    QFETCH(QString, unrelated);
    asked = named(asked);
    unrelated = named(unrelated);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProcessCleanup cleanup{dir.path()};
    QCOMPARE(answerFor(asked), ProcessAnswer::No);

    const QString tool = dir.filePath(named(u"Zz{tag}Tool.exe"_s));
    const QString alias = dir.filePath(named(u"Zz{tag}Alias.exe"_s));
    QVERIFY(copySleep(tool));
    QString command;
    if (how == u"direct") {
        command = quoted(tool) + u" 60"_s;
    } else if (how == u"symlink" || how == u"deleted") {
        QVERIFY(QFile::link(tool, alias));
        command = quoted(alias) + u" 60"_s;
    } else if (how == u"argv0") {
        const QString bash = QStandardPaths::findExecutable(u"bash"_s);
        if (bash.isEmpty())
            QSKIP("bash is needed to set argv[0]");
        const QString sleeper = dir.filePath(u"sleeper"_s);
        QVERIFY(QFile::rename(tool, sleeper));
        command = quoted(bash) + u" -c \"exec -a 'C:\\Tools\\"_s + named(u"Zz{tag}Argv.exe"_s) + u"' '"_s +
                  sleeper + u"' 60\""_s;
    } else if (how == u"script") {
        const QString script = dir.filePath(named(u"Zz{tag}LongScriptName.exe"_s));
        QVERIFY(makeScript(script, "'" + QFile::encodeName(tool) + "' 60\n"));
        command = quoted(script);
    }

    const OpResult started = launchDetached(local(command), false);
    QVERIFY2(started.ok(), started.detail.c_str());
    QVERIFY2(ourChildren().isEmpty(), qPrintable(ourChildren().join(u", "_s))); // no zombie of ours
    if (how == u"deleted")
        QVERIFY(QFile::remove(tool));

    QVERIFY(waitForAnswer(asked, ProcessAnswer::Yes));
    QCOMPARE(answerFor(unrelated), ProcessAnswer::No);

    // Once the tool has ended (even if nobody reaps it) the list no longer shows it.
    killProcessesUnder(dir.path());
    QVERIFY(waitForAnswer(asked, ProcessAnswer::No));
}

// With this test as subreaper the ended tool stays a zombie until we reap it.
void PlatformTest::processListLeavesOutZombies() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProcessCleanup cleanup{dir.path()};
    QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    struct Unset {
        QString folder;
        ~Unset() {
            ::prctl(PR_SET_CHILD_SUBREAPER, 0);
            killProcessesUnder(folder); // and reap them, should the test have failed halfway
            QElapsedTimer timer;
            timer.start();
            while (!ourChildren().isEmpty() && timer.elapsed() < 5000) {
                if (::waitpid(-1, nullptr, WNOHANG) <= 0)
                    QThread::msleep(10);
            }
        }
    } unset{dir.path()};

    const QString name = named(u"Zz{tag}Zombie.exe"_s);
    const QString tool = dir.filePath(name);
    QVERIFY(copySleep(tool));
    const OpResult started = launchDetached(local(quoted(tool) + u" 60"_s), false);
    QVERIFY2(started.ok(), started.detail.c_str());
    QVERIFY(waitForAnswer(name, ProcessAnswer::Yes));

    // Only the tool is our child now: the intermediate process was reaped at once.
    const QStringList children = ourChildren();
    QCOMPARE(children.size(), 1);
    const pid_t toolPid = children.first().section(u' ', 0, 0).toInt();
    QVERIFY(toolPid > 0);

    QVERIFY(::kill(toolPid, SIGKILL) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(ourChildren() == QStringList{QString::number(toolPid) + u" Z"_s}, 10000);
    QCOMPARE(answerFor(name), ProcessAnswer::No);
    QCOMPARE(::waitpid(toolPid, nullptr, 0), toolPid);
}

void PlatformTest::processListAnswersNoForAbsentNames() {
    std::string error = "old";
    QCOMPARE(processExists("ZzNoSuchProgram.exe", error), ProcessAnswer::No);
    QVERIFY(error.empty());
    QCOMPARE(processExists("", error), ProcessAnswer::No); // kernel threads have no argv[0]
}

void PlatformTest::launchPassesArgumentsWithoutShell() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProcessCleanup cleanup{dir.path()};
    const QString script = dir.filePath(u"ArgDump.exe"_s);
    QVERIFY(makeScript(script, "out=\"$0.tmp\"\n"
                               "pwd -P > \"$out\"\n"
                               "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> \"$out\"; done\n"
                               "mv \"$out\" \"$0.out\"\n"));

    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const OpResult r = launchDetached(
        local(quoted(script) + uR"( -i "D:\rec\A B.ts" -rf64"1" "" $HOME;x>y "a\"b" 番組)"_s), true);
    const QString cwd = QString::fromStdString(currentDirectory());
    QVERIFY(QDir::setCurrent(before));
    QVERIFY2(r.ok(), r.detail.c_str());

    const QString out = script + u".out"_s;
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    const QStringList lines = QString::fromUtf8(readFile(out)).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{cwd, u"[-i]"_s, uR"([D:\rec\A B.ts])"_s, u"[-rf641]"_s, u"[]"_s,
                                 u"[$HOME;x>y]"_s, uR"([a"b])"_s, u"[番組]"_s}));
    QVERIFY(!QFile::exists(dir.filePath(u"y"_s)));
}

void PlatformTest::launchedToolStartsClean_data() {
    QTest::addColumn<bool>("keepOutput");
    QTest::newRow("output to the null device") << false;
    QTest::newRow("our output kept, for debugging") << true;
}

// A caller that blocks or ignores signals (as a headless runner may) must not pass that
// on: the tool must stay stoppable. Nor does it get our open files, nor, unless asked
// to, our standard streams: its output never mixes into ours.
void PlatformTest::launchedToolStartsClean() {
    QFETCH(bool, keepOutput);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ProcessCleanup cleanup{dir.path()};
    const QString tool = dir.filePath(named(u"Zz{tag}Signals.exe"_s));
    QVERIFY(copySleep(tool));

    const int leak = ::open("/dev/null", O_RDONLY); // not close-on-exec
    QVERIFY(leak > 2);
    sigset_t blocked, old;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &old);
    const auto oldInt = std::signal(SIGINT, SIG_IGN);
    const OpResult r = launchDetached(local(quoted(tool) + u" 60"_s), false, keepOutput);
    std::signal(SIGINT, oldInt);
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    ::close(leak);
    QVERIFY2(r.ok(), r.detail.c_str());

    QStringList pids;
    QTRY_VERIFY_WITH_TIMEOUT((pids = processesUnder(dir.path())).size() == 1, 10000);
    const QByteArray status = procFile(pids.first(), "status");
    QVERIFY(status.contains("\nSigBlk:\t0000000000000000\n"));
    QVERIFY(status.contains("\nSigIgn:\t0000000000000000\n"));
    const QStringList fds = QDir(u"/proc/"_s + pids.first() + u"/fd"_s)
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    QVERIFY(!fds.isEmpty());
    QVERIFY2(!fds.contains(QString::number(leak)), qPrintable(fds.join(u' ')));
    for (int fd = 0; fd <= 2; ++fd) {
        const QString target = linkText(u"/proc/"_s + pids.first() + u"/fd/"_s + QString::number(fd));
        const QString ours = linkText(u"/proc/self/fd/"_s + QString::number(fd));
        QCOMPARE(target, keepOutput ? ours : u"/dev/null"_s);
    }
}

void PlatformTest::launchReportsFailureToStart_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<Kind>("expected");

    QTest::newRow("missing program") << u"missing"_s << Kind::NotFound;
    QTest::newRow("missing folder") << u"missing folder"_s << Kind::NotFound;
    QTest::newRow("not executable") << u"not executable"_s << Kind::Denied;
    QTest::newRow("a folder") << u"folder"_s << Kind::Denied;
    QTest::newRow("not a program") << u"not a program"_s << Kind::Other;
    QTest::newRow("empty command") << u"empty"_s << Kind::Other;
    QTest::newRow("blank command") << u"blank"_s << Kind::Other;
}

void PlatformTest::launchReportsFailureToStart() {
    QFETCH(QString, what);
    QFETCH(Kind, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString command;
    if (what == u"missing") {
        command = quoted(dir.filePath(u"NoSuchTool.exe"_s)) + u" -x"_s;
    } else if (what == u"missing folder") {
        command = quoted(dir.filePath(u"none/Tool.exe"_s));
    } else if (what == u"not executable") {
        const QString file = dir.filePath(u"Tool.exe"_s);
        QVERIFY(writeFile(file, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        command = quoted(file);
    } else if (what == u"folder") {
        command = quoted(dir.path());
    } else if (what == u"not a program") {
        const QString file = dir.filePath(u"Tool.exe"_s);
        QVERIFY(writeFile(file, "plain text, no #! line\n"));
        QVERIFY(makeExecutable(file));
        command = quoted(file);
    } else if (what == u"blank") {
        command = u"   "_s;
    }

    const OpResult r = launchDetached(local(command), false);
    QVERIFY(!r.ok());
    QCOMPARE(kindName(r.kind), kindName(expected));
    QVERIFY(!r.detail.empty());
    QVERIFY(ourChildren().isEmpty());
}

QTEST_GUILESS_MAIN(PlatformTest)
#include "test_platform.moc"
