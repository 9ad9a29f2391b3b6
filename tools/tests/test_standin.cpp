// Runs the BonTsDemux.exe stand-in as a real process on temporary folders and checks what it writes.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString exeName = u"BonTsDemux.exe"_s;

// Exit code and outputs of one finished run.
struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString builtStandin() {
    return QDir(qEnvironmentVariable("CHAIN_TOOLS_DIR")).filePath(exeName);
}

// Runs a stand-in to its end; a run that hangs or crashes fails the calling test through the result.
Result runStandin(const QString& program, const QStringList& args, int timeoutMs = 30000) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Copies the stand-in into a folder of its own, so that files beside it affect only this copy.
QString copyStandinInto(const QString& folder) {
    const QString copy = QDir(folder).filePath(exeName);
    if (!QFile::copy(builtStandin(), copy) ||
        !QFile::setPermissions(copy, QFile::permissions(builtStandin()))) {
        return {};
    }
    return copy;
}

quint32 u32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 u16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

// Checks the stand-in's outputs, its refusals and its timing.
class StandinTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void init();
    void writesOutputsThatEncodeKindAsksFor_data();
    void writesOutputsThatEncodeKindAsksFor();
    void wavHeaderMatchesLengthFromMsFile_data();
    void wavHeaderMatchesLengthFromMsFile();
    void refusesWithoutWritingAnything_data();
    void refusesWithoutWritingAnything();
    void failFileBesideExecutableFailsTheRun();
    void writesOutputsOnlyAfterTheRunTime();

  private:
    QStringList line(const QStringList& extra) const;

    std::unique_ptr<QTemporaryDir> tmp;
    QString input;   // source .ts
    QString outBase; // -o value, in an otherwise empty folder
};

void StandinTest::initTestCase() {
    QVERIFY2(QFile::exists(builtStandin()), "set CHAIN_TOOLS_DIR to the folder holding BonTsDemux.exe");
}

void StandinTest::init() {
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
    QVERIFY(QDir(tmp->path()).mkpath(u"rec"_s) && QDir(tmp->path()).mkpath(u"out"_s));
    input = tmp->filePath(u"rec/ABC.ts"_s);
    outBase = tmp->filePath(u"out/ABC"_s);
    QVERIFY(writeFile(input, QByteArray("\x47\x40\x00\x10 transport bytes \x00\xff", 22)));
}

// The usual command line, with -start -quit, around the given extra switches.
QStringList StandinTest::line(const QStringList& extra) const {
    return QStringList{u"--seconds"_s, u"0"_s, u"-i"_s, input, u"-o"_s, outBase} + extra +
           QStringList{u"-start"_s, u"-quit"_s};
}

void StandinTest::writesOutputsThatEncodeKindAsksFor_data() {
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("m2v");
    QTest::addColumn<bool>("wav");
    QTest::addColumn<QString>("name"); // of the source and the outputs, when not ABC
    const QByteArray ts("\x47\x11\x00\x42 some stream \r\n\x1a end", 24);
    QTest::newRow("no -encode means m2v+wav") << QStringList{} << ts << true << true << QString();
    QTest::newRow("m2v+wav") << QStringList{u"-encode"_s, u"Demux(m2v+wav)"_s} << ts << true << true
                             << QString();
    QTest::newRow("wav only") << QStringList{u"-encode"_s, u"Demux(wav)"_s} << ts << false << true
                              << QString();
    QTest::newRow("full line as Kestrune writes it")
        << QStringList{u"-encode"_s, u"Demux(m2v)"_s, u"-sound"_s, u"3"_s,   u"-es"_s,
                       u"1"_s,       u"-rf641"_s,     u"-vf1"_s,   u"-nd"_s, u"0"_s}
        << ts << true << false << QString();
    QTest::newRow("empty source gives empty m2v")
        << QStringList{u"-encode"_s, u"Demux(m2v)"_s} << QByteArray() << true << false << QString();
    // On Windows the names reach the tool as wide text; the ANSI code page holds neither
    // kana on a Western system nor the last character (outside cp932) anywhere.
    QTest::newRow("Japanese names") << QStringList{} << ts << true << true << u"ニュース 録画𩸽"_s;
}

void StandinTest::writesOutputsThatEncodeKindAsksFor() {
    QFETCH(QStringList, extra);
    QFETCH(QByteArray, source);
    QFETCH(bool, m2v);
    QFETCH(bool, wav);
    QFETCH(QString, name);
    if (!name.isEmpty()) {
        input = tmp->filePath(u"rec/"_s + name + u".ts"_s);
        outBase = tmp->filePath(u"out/"_s + name);
    }
    QVERIFY(writeFile(input, source));

    const Result r = runStandin(builtStandin(), line(extra));
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(QFile::exists(outBase + u".m2v"_s), m2v);
    QCOMPARE(QFile::exists(outBase + u".wav"_s), wav);
    if (m2v) {
        QCOMPARE(readAll(outBase + u".m2v"_s), source);
    }
    QCOMPARE(QDir(tmp->filePath(u"out"_s)).entryList(QDir::Files).size(), int(m2v) + int(wav));
}

void StandinTest::wavHeaderMatchesLengthFromMsFile_data() {
    QTest::addColumn<QByteArray>("msFile"); // null: no file
    QTest::addColumn<quint32>("dataBytes");
    QTest::newRow("no .ms file: one second") << QByteArray() << quint32(192000);
    QTest::newRow("250 ms") << QByteArray("250") << quint32(48000);
    QTest::newRow("odd length with CR LF") << QByteArray("1333\r\n") << quint32(255936);
    QTest::newRow("zero length") << QByteArray("0") << quint32(0);
}

void StandinTest::wavHeaderMatchesLengthFromMsFile() {
    QFETCH(QByteArray, msFile);
    QFETCH(quint32, dataBytes);
    if (!msFile.isNull()) {
        QVERIFY(writeFile(input + u".ms"_s, msFile));
    }

    const Result r = runStandin(builtStandin(), line({u"-encode"_s, u"Demux(wav)"_s}));
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QByteArray wav = readAll(outBase + u".wav"_s);
    QCOMPARE(wav.size(), qsizetype(44 + dataBytes));
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(u32(wav, 4), quint32(wav.size() - 8));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(u32(wav, 16), quint32(16)); // fmt chunk size
    QCOMPARE(u16(wav, 20), quint16(1));  // PCM
    QCOMPARE(u16(wav, 22), quint16(2));  // channels
    QCOMPARE(u32(wav, 24), quint32(48000));
    QCOMPARE(u32(wav, 28), quint32(48000 * 4)); // byte rate
    QCOMPARE(u16(wav, 32), quint16(4));         // block align
    QCOMPARE(u16(wav, 34), quint16(16));        // bits per sample
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(u32(wav, 40), dataBytes);
    QCOMPARE(wav.mid(44).count('\0'), qsizetype(dataBytes));
}

void StandinTest::refusesWithoutWritingAnything_data() {
    // Placeholders: IN source, OUT output base, GONE a missing source, NOWHERE a base in a missing folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("msFile");
    QTest::addColumn<int>("exitCode");
    const QString in = u"IN"_s, out = u"OUT"_s;
    const QStringList start{u"-start"_s, u"-quit"_s};
    QTest::newRow("--fail") << QStringList{u"-i"_s, in, u"-o"_s, out, u"--fail"_s} + start << QByteArray()
                            << 1;
    QTest::newRow("unknown switch") << QStringList{u"-i"_s, in, u"-o"_s, out, u"-x"_s} + start << QByteArray()
                                    << 2;
    QTest::newRow("-o without value")
        << QStringList{u"-i"_s, in, u"-start"_s, u"-quit"_s, u"-o"_s} << QByteArray() << 2;
    QTest::newRow("-sound out of range")
        << QStringList{u"-i"_s, in, u"-o"_s, out, u"-sound"_s, u"5"_s} + start << QByteArray() << 2;
    QTest::newRow("unknown -encode kind")
        << QStringList{u"-i"_s, in, u"-o"_s, out, u"-encode"_s, u"Demux(mp4)"_s} + start << QByteArray() << 2;
    QTest::newRow("-quit missing") << QStringList{u"-i"_s, in, u"-o"_s, out, u"-start"_s} << QByteArray()
                                   << 3;
    QTest::newRow("-start missing") << QStringList{u"-i"_s, in, u"-o"_s, out, u"-quit"_s} << QByteArray()
                                    << 3;
    QTest::newRow("source missing") << QStringList{u"-i"_s, u"GONE"_s, u"-o"_s, out} + start << QByteArray()
                                    << 4;
    QTest::newRow("garbage .ms file")
        << QStringList{u"-i"_s, in, u"-o"_s, out} + start << QByteArray("12 seconds") << 4;
    QTest::newRow("output folder missing")
        << QStringList{u"-i"_s, in, u"-o"_s, u"NOWHERE"_s} + start << QByteArray() << 5;
}

void StandinTest::refusesWithoutWritingAnything() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, msFile);
    QFETCH(int, exitCode);
    if (!msFile.isNull()) {
        QVERIFY(writeFile(input + u".ms"_s, msFile));
    }
    const QHash<QString, QString> paths{{u"IN"_s, input},
                                        {u"OUT"_s, outBase},
                                        {u"GONE"_s, input + u".gone"_s},
                                        {u"NOWHERE"_s, tmp->filePath(u"nowhere/ABC"_s)}};
    for (QString& a : args) {
        a = paths.value(a, a);
    }

    const Result r = runStandin(builtStandin(), QStringList{u"--seconds"_s, u"0"_s} + args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY(!r.err.isEmpty());
    QVERIFY(QDir(tmp->filePath(u"out"_s)).isEmpty());
}

void StandinTest::failFileBesideExecutableFailsTheRun() {
    const QString copy = copyStandinInto(tmp->path());
    QVERIFY(!copy.isEmpty());
    QVERIFY(writeFile(tmp->filePath(u"BonTsDemux.fail"_s), QByteArray()));

    QCOMPARE(runStandin(copy, line({})).exitCode, 1);
    QVERIFY(QDir(tmp->filePath(u"out"_s)).isEmpty());
}

void StandinTest::writesOutputsOnlyAfterTheRunTime() {
    const QString copy = copyStandinInto(tmp->path());
    QVERIFY(!copy.isEmpty());
    QVERIFY(writeFile(tmp->filePath(u"BonTsDemux.seconds"_s), "1.5\r\n"));
    QStringList args = line({});
    args.remove(0, 2); // no --seconds: the file beside the copy sets the run time

    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(copy, args);
    QVERIFY(process.waitForStarted());
    QThread::msleep(400);
    QCOMPARE(process.state(), QProcess::Running);
    QVERIFY(QDir(tmp->filePath(u"out"_s)).isEmpty());
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(clock.elapsed() >= 1500);
    QVERIFY(QFile::exists(outBase + u".m2v"_s) && QFile::exists(outBase + u".wav"_s));

    // --seconds wins over the file: with the file's 30 s this run would outlast the wait.
    QVERIFY(writeFile(tmp->filePath(u"BonTsDemux.seconds"_s), "30"));
    QCOMPARE(runStandin(copy, line({}), 10000).exitCode, 0);
}

QTEST_GUILESS_MAIN(StandinTest)
#include "test_standin.moc"
