#include "Bench.h"

#include "m2vjobs/Settings.h"
#include "m2vjobs/Texts.h"
#include "m2vjobs/tests/WaveBytes.h"
#include "tsdemux/Settings.h"
#include "tsrename/ValueTable.h"

#include "ProcessWatch.h"
#include "TestFiles.h"
#include "TextFile.h"
#include "ToolWatch.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace faults {

namespace {
const QString TimeScale = QStringLiteral("0.02");
const QByteArray ToolSeconds = "0.1";

// A file of the build folder that the environment variable names, as an absolute path: the
// programs run in the workspace, and the variable may be set relative to where the test started.
QString built(const char* variable, const QString& name) {
    return QDir(qEnvironmentVariable(variable)).absoluteFilePath(name);
}

QByteArray sha256(const QString& path) {
    return QCryptographicHash::hash(chain::testing::readFile(path), QCryptographicHash::Sha256);
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(u'/'));
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The character table both renaming programs get here: "!" becomes a full-width "！".
QString renamed(const QString& base) {
    return QString(base).replace(u'!', QStringLiteral("！"));
}

// A temporary name of Pellavo's: twenty capital letters.
bool isTemporaryName(const QString& path) {
    static const QRegularExpression temporary(QStringLiteral("^[A-Z]{20}\\.[a-z0-9]+$"));
    return temporary.match(fileNameOf(path)).hasMatch();
}

bool runAsRoot() {
    return ::geteuid() == 0;
}

void waitUntilToolsEnd() {
    chain::SystemProcessWatch watch;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        const auto running = watch.running({chain::DemuxerImage, chain::VirtualDubImage});
        if (running && running->isEmpty())
            return;
        QThread::msleep(20);
    }
    QFAIL("a stand-in tool did not end within 30 s");
}
} // namespace

QString nameOf(Program program) {
    switch (program) {
    case Program::Kestrune:
        return QStringLiteral("Kestrune");
    case Program::Pellavo:
        return QStringLiteral("Pellavo");
    case Program::Orvane:
        return QStringLiteral("Orvane");
    case Program::Tassik:
        break;
    }
    return QStringLiteral("Tassik");
}

Bench::Bench(Program program, const QString& option) : m_program(program), m_option(option) {
    QStringList folders{"prog"};
    switch (program) {
    case Program::Kestrune:
        folders << "rec"
                << "done"
                << "out";
        break;
    case Program::Pellavo:
        folders << "m2v"
                << "avi"
                << "done";
        break;
    case Program::Orvane:
        folders << "jobs"
                << "moved"
                << "clips"
                << "avi";
        break;
    case Program::Tassik:
        folders << "rec";
        break;
    }
    for (const QString& folder : folders)
        QDir(m_root.path()).mkpath(folder);
}

Bench::~Bench() {
    makeWritable();
    for (const QString& folder : m_mounts)
        ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

QString Bench::path(const QString& relative) const {
    return m_root.filePath(relative);
}

QString Bench::toolName() const {
    return m_program == Program::Kestrune ? chain::DemuxerImage : chain::VirtualDubImage;
}

void Bench::populate() {
    using chain::testing::writeFile;
    if (m_program != Program::Tassik) {
        QVERIFY(QFile::copy(built("CHAIN_TOOLS_DIR", toolName()), path("prog/" + toolName())));
        writeFile(
            path("prog/" + QString(toolName()).replace(QStringLiteral(".exe"), QStringLiteral(".seconds"))),
            ToolSeconds);
    }
    switch (m_program) {
    case Program::Kestrune: {
        kestrune::Settings s(kestrune::SettingsSize);
        s.set(kestrune::slot::ProgramFolder, path("prog"));
        kestrune::applyDefaults(s);
        s.set(kestrune::slot::SourceFolder, path("rec"));
        s.set(kestrune::slot::AfterFolder, path("done"));
        s.set(kestrune::slot::OutputFolder, path("out"));
        s.set(kestrune::slot::IndividualInterval, QStringLiteral("1"));
        QCOMPARE(kestrune::SaveSettings(s), QString());
        addInput("rec/番組!.ts", "recording 番組!");
        addInput("rec/b.ts", "recording b");
        break;
    }
    case Program::Pellavo: {
        pellavo::SettingTable s(pellavo::SettingTableSize);
        s.set(pellavo::slot::StartFolder, path("prog"));
        pellavo::applyDefaults(s);
        s.set(pellavo::slot::M2vFolder, path("m2v"));
        s.set(pellavo::slot::AviFolder, path("avi"));
        s.set(pellavo::slot::StorageFolder, path("done"));
        s.set(pellavo::slot::DeleteFlag, m_option);
        s.set(pellavo::slot::Interval, QStringLiteral("1"));
        QCOMPARE(pellavo::SaveSettings(s), QString());
        QDir(path("prog")).mkpath(pellavo::text::PatternFolder);
        for (const QString& pattern :
             {pellavo::text::DefaultOthersPattern, pellavo::text::DefaultNoResizePattern})
            writeFile(path("prog/" + pellavo::text::PatternFolder + u'/' + pattern),
                      "// $job \"x\"\r\nVirtualDub.Open(\"x\",\"\",0);\r\nVirtualDub.SaveAVI(\"x\");\r\n"
                      "// $endjob\r\n// $done\r\n");
        addInput("m2v/a.m2v", "video a");
        addInput("m2v/a.wav", pellavo::testing::pcmWave(500));
        addInput("m2v/b.m2v", "video b");
        addInput("m2v/b.wav", pellavo::testing::pcmWave(600));
        break;
    }
    case Program::Orvane:
        QCOMPARE(chain::writeTextLines(path("prog/Orvane_Data.txt"),
                                       {path("prog"), path("jobs"), path("moved"), m_option, "1"}),
                 QString());
        for (const QString base : {"a", "b"}) {
            block("clips/" + base + ".m2v");
            QCOMPARE(chain::writeTextLines(path("jobs/" + base + ".jobs"),
                                           chain::testing::jobsFile(path("clips/" + base + ".m2v"),
                                                                    path("avi/" + base + ".avi"))),
                     QString());
            m_inputs << inputAt("jobs/" + base + ".jobs");
        }
        break;
    case Program::Tassik: {
        tassik::ValueTable values(tassik::slot::Count);
        values.set(tassik::slot::StartFolder, path("prog"));
        values.set(tassik::slot::RenameFolder, path("rec"));
        QCOMPARE(tassik::writeSettings(values, QStringLiteral("!"), QStringLiteral("！")), QString());
        addInput("rec/x!.ts", "recording x");
        addInput("rec/y!.ts", "recording y");
        break;
    }
    }
}

void Bench::addInput(const QString& relative, const QByteArray& bytes) {
    chain::testing::writeFile(path(relative), bytes);
    m_inputs << inputAt(relative);
}

QStringList Bench::names() const {
    QStringList names;
    for (const Input& input : m_inputs)
        names << fileNameOf(input.source);
    return names;
}

Input Bench::inputAt(const QString& relative) const {
    const QString name = fileNameOf(relative);
    const QString base = name.left(name.lastIndexOf(u'.'));
    Input input{path(relative), sha256(path(relative)), {}, {}};
    switch (m_program) {
    case Program::Kestrune:
        input.filed = path("done/" + renamed(base) + ".ts");
        input.product = path("out/" + renamed(base) + ".m2v");
        break;
    case Program::Pellavo:
        if (!(name.endsWith(QStringLiteral(".m2v")) && m_option == u"1"))
            input.filed = path("done/" + name);
        input.product = path("avi/" + base + ".avi");
        break;
    case Program::Orvane:
        if (m_option != u"1")
            input.filed = path("moved/" + name);
        input.product = path("avi/" + base + ".avi");
        break;
    case Program::Tassik:
        input.filed = path("rec/" + renamed(base) + ".ts");
        break;
    }
    return input;
}

void Bench::block(const QString& relative) {
    chain::testing::writeFile(path(relative), "a file of the user's: " + relative.toUtf8());
    m_bystanders.insert(path(relative), sha256(path(relative)));
}

void Bench::unblock(const QString& relative) {
    const QString file = path(relative);
    QVERIFY2(sha256(file) == m_bystanders.take(file), qPrintable(file));
    QVERIFY(QFile::remove(file));
}

void Bench::makeReadOnly(const QString& relative) {
    const QString folder = path(relative);
    if (runAsRoot())
        QCOMPARE(QProcess::execute(QStringLiteral("chattr"), {"+i", folder}), 0);
    else
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    m_readOnly << folder;
}

bool Bench::canMakeReadOnly(QString* why) {
    if (!runAsRoot())
        return true;
    QTemporaryDir probe;
    if (QProcess::execute(QStringLiteral("chattr"), {"+i", probe.path()}) != 0) {
        *why = QStringLiteral("chattr +i does not work here (no chattr, or a filesystem without the flag)");
        return false;
    }
    QProcess::execute(QStringLiteral("chattr"), {"-i", probe.path()});
    return true;
}

void Bench::makeWritable() {
    for (const QString& folder : m_readOnly) {
        if (runAsRoot())
            QProcess::execute(QStringLiteral("chattr"), {"-i", folder});
        else
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_readOnly.clear();
}

bool Bench::canMount(QString* why) {
    QTemporaryDir probe;
    const QByteArray where = QFile::encodeName(probe.path());
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=1m") != 0) {
        *why = QStringLiteral("mounting a tmpfs is not allowed here (%1)")
                   .arg(QString::fromUtf8(std::strerror(errno)));
        return false;
    }
    ::umount2(where.constData(), MNT_DETACH);
    return true;
}

void Bench::mountTmpfs(const QString& relative) {
    const QString folder = path(relative);
    QVERIFY2(::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256m,mode=0755") == 0,
             std::strerror(errno));
    m_mounts << folder;
}

void Bench::fillUp(const QString& relative) {
    const QByteArray folder = QFile::encodeName(path(relative));
    struct statvfs fs {};
    QCOMPARE(::statvfs(folder.constData(), &fs), 0);
    const qulonglong used = (fs.f_blocks - fs.f_bfree) * fs.f_frsize;
    const QByteArray size = "size=" + QByteArray::number(used + 16384);
    QVERIFY2(::mount("tmpfs", folder.constData(), "tmpfs", MS_REMOUNT, size.constData()) == 0,
             std::strerror(errno));
    QFile filler(path(relative + "/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

Bench::Run Bench::run(const QString& trigger, const std::function<void()>& atTrigger, int killAfterMs) {
    QStringList arguments{"--headless"};
    if (m_program == Program::Pellavo)
        arguments << "--until-idle";
    if (m_program != Program::Tassik)
        arguments << "--time-scale" << TimeScale;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : m_environment)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(path("prog"));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(built("CHAIN_BIN_DIR", nameOf(m_program).toLower()), arguments);
    Run run;
    QElapsedTimer clock;
    clock.start();
    QByteArray printed;
    bool triggered = trigger.isEmpty();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        process.waitForReadyRead(5);
        printed += process.readAll();
        if (!triggered && QString::fromUtf8(printed).contains(trigger)) {
            triggered = true;
            atTrigger();
        }
        if (killAfterMs >= 0 && clock.elapsed() >= killAfterMs) {
            process.kill();
            break;
        }
    }
    if (!process.waitForFinished(5000) || process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.elapsedMs = clock.elapsed();
    printed += process.readAll();
    run.output = QString::fromUtf8(printed);
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    waitUntilToolsEnd();
    return run;
}

QStringList Bench::filesWithHash(const QByteArray& hash, const QString& suffix) const {
    QStringList found;
    QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!file.startsWith(path("prog/")) && file.endsWith(suffix, Qt::CaseInsensitive) &&
            sha256(file) == hash)
            found << file;
    }
    return found;
}

QStringList Bench::outcomes() const {
    QStringList outcomes;
    for (const Input& input : m_inputs) {
        const QStringList places =
            filesWithHash(input.hash, input.source.mid(input.source.lastIndexOf(u'.')));
        const bool produced = input.product.isEmpty() || QFileInfo(input.product).size() > 0;
        if (places.size() > 1)
            outcomes << QStringLiteral("twice");
        else if (places.isEmpty())
            outcomes << (input.filed.isEmpty() && produced ? QStringLiteral("filed")
                                                           : QStringLiteral("gone"));
        else if (places.first() == input.filed)
            outcomes << (produced ? QStringLiteral("filed") : QStringLiteral("filed-no-output"));
        else if (folderOf(places.first()) == folderOf(input.source))
            outcomes << (isTemporaryName(places.first()) ? QStringLiteral("temporary-name")
                                                         : QStringLiteral("kept"));
        else
            outcomes << QStringLiteral("elsewhere");
    }
    return outcomes;
}

QStringList Bench::leftovers() const {
    QStringList wrong;
    for (auto it = m_bystanders.begin(); it != m_bystanders.end(); ++it) {
        if (!QFile::exists(it.key()) || sha256(it.key()) != it.value())
            wrong << QStringLiteral("a user's file changed or gone: ") + it.key();
    }
    QDirIterator files(m_root.path(), QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString name = fileNameOf(file);
        if (name.endsWith(QStringLiteral(".lock")))
            continue;
        if (name.contains(QStringLiteral(".tmp~")))
            wrong << QStringLiteral("a save's temporary file: ") + file;
        else if (isTemporaryName(file))
            wrong << QStringLiteral("a temporary name: ") + file;
        else if (name.startsWith(QStringLiteral("kestrune.run")) ||
                 name.startsWith(QStringLiteral("pellavo.run")))
            wrong << QStringLiteral("a run record: ") + file;
    }
    return wrong;
}

} // namespace faults
