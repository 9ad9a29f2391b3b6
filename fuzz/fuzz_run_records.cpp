// The run records of Pellavo (pellavo.run) and Kestrune (kestrune.run): whatever a record
// holds — damaged, edited by hand, brought from another machine — it is either taken up
// whole or set aside whole, and the finish-off it leads to touches no file outside the
// folders the settings name.
//
// The input is the record's bytes, with every "@" standing for the workspace's folder, so
// that seeds can name its files (and, for Kestrune, every "#" for the identity of the
// recording in its source folder). Each input is given to both programs, each in a workspace
// of its own.

#include "FuzzSupport.h"

#include "ConversionEngine.h"
#include "FileIdentity.h"
#include "JobEngine.h"
#include "Keywords.h"
#include "RandomSource.h"

#include "FakeTools.h"
#include "RecordingDialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace {

class FirstLetters : public pellavo::RandomSource {
  public:
    int below(int) override { return 0; }
};

const char* const Names[] = {"news.m2v", "news.wav", "news.avi", "AAAAAAAAAAAAAAAAAAAA.m2v",
                             "AAAAAAAAAAAAAAAAAAAA.avi"};

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    fuzz::require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
                  "a workspace file is made");
}

// Every file under `folder` with its bytes' hash.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        found.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return found;
}

// A new empty workspace folder.
QString freshWorkspace() {
    static QTemporaryDir workspace;
    const QString root = workspace.path() + QStringLiteral("/w");
    QDir(root).removeRecursively();
    return root;
}

QByteArray recordOf(const uint8_t* data, size_t size, const QString& root) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
        .replace('@', root.toUtf8());
}

// The record at `folder/name` after it was looked at: taken up (`takenUp`) and left in place,
// or set aside whole under another name, or (Kestrune, for a run found finished) removed.
void requireWholeOrSetAside(const QString& folder, const QString& name, bool takenUp,
                            const QByteArray& record, bool mayBeRemoved) {
    const QStringList records = QDir(folder).entryList({name + u'*'}, QDir::Files);
    if (takenUp) {
        fuzz::require(records == QStringList{name}, "a record taken up stays in place");
        return;
    }
    if (records.isEmpty() && mayBeRemoved)
        return;
    fuzz::require(records.size() == 1 && records[0].startsWith(name + QStringLiteral(".damaged-")),
                  "a record not taken up is set aside whole");
    QFile aside(folder + u'/' + records[0]);
    fuzz::require(aside.open(QIODevice::ReadOnly) && aside.readAll() == record,
                  "the set-aside record is unchanged");
}

// Kestrune in auto mode: the record is looked at when the engine starts, and a run taken up is
// finished off at the first step without a demuxer.
void kestruneRecord(const uint8_t* data, size_t size) {
    const QString root = freshWorkspace();
    for (const char* folder : {"prog", "rec", "done", "out", "victim"})
        fuzz::require(QDir().mkpath(root + u'/' + QString::fromLatin1(folder)), "a workspace folder is made");
    for (const char* name : {"news.ts", "news.m2v", "news.wav"})
        put(root + QStringLiteral("/victim/") + QString::fromLatin1(name), "the user's own");
    put(root + QStringLiteral("/rec/news.ts"), "recording");
    put(root + QStringLiteral("/out/news.m2v"), "video");
    // "#" stands for the identity of the recording in the source folder, so that a seed's
    // record can be the one of a run that is really under way.
    const QByteArray record =
        recordOf(data, size, root)
            .replace(
                '#',
                chain::identityText(*chain::fileIdentity(root + QStringLiteral("/rec/news.ts"))).toUtf8());
    put(root + QStringLiteral("/prog/") + kestrune::RunRecordFile, record);
    const QMap<QString, QByteArray> victims = contents(root + QStringLiteral("/victim"));

    kestrune::Settings settings(kestrune::SettingsSize);
    settings.set(kestrune::slot::ProgramFolder, root + QStringLiteral("/prog"));
    settings.set(kestrune::slot::Mode, QStringLiteral("0"));
    settings.set(kestrune::slot::SourceFolder, root + QStringLiteral("/rec"));
    settings.set(kestrune::slot::AfterFolder, root + QStringLiteral("/done"));
    settings.set(kestrune::slot::OutputFolder, root + QStringLiteral("/out"));
    settings.set(kestrune::slot::DemuxKind, kestrune::DemuxBoth);
    settings.set(kestrune::slot::CheckInterval, QStringLiteral("20"));
    const kestrune::Keywords keywords;
    chain::testing::FakeProcessWatch watch;
    chain::testing::FakeLauncher launcher;
    kestrune::ConversionEngine engine(settings, keywords, watch, launcher);

    engine.start(root + QStringLiteral("/rec"), {}, {});
    requireWholeOrSetAside(root + QStringLiteral("/prog"), kestrune::RunRecordFile,
                           settings.text(kestrune::slot::Pending) == u"1", record, true);
    engine.step();
    fuzz::require(contents(root + QStringLiteral("/victim")) == victims,
                  "no file outside the configured folders is touched");
    fuzz::require(QDir(root).entryList(QDir::Files | QDir::Hidden).isEmpty(),
                  "nothing lands beside the folders");
}

// Pellavo: the record is taken up at start-up, and finished off at the first step.
void pellavoRecord(const uint8_t* data, size_t size) {
    const QString root = freshWorkspace();
    for (const char* folder : {"start", "m2v", "avi", "done", "vd", "victim"})
        fuzz::require(QDir().mkpath(root + u'/' + QString::fromLatin1(folder)), "a workspace folder is made");
    for (const char* name : Names) {
        put(root + QStringLiteral("/victim/") + QString::fromLatin1(name), "the user's own");
        if (!QByteArray(name).endsWith(".avi"))
            put(root + QStringLiteral("/m2v/") + QString::fromLatin1(name), "recording");
    }
    put(root + QStringLiteral("/avi/AAAAAAAAAAAAAAAAAAAA.avi"), "converted");
    const QByteArray record = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
                                  .replace('@', root.toUtf8());
    const QString recordPath = root + QStringLiteral("/start/") + pellavo::JobEngine::RunRecordFile;
    put(recordPath, record);
    const QMap<QString, QByteArray> victims = contents(root + QStringLiteral("/victim"));

    pellavo::SettingTable settings(pellavo::SettingTableSize);
    settings.set(pellavo::slot::StartFolder, root + QStringLiteral("/start"));
    settings.set(pellavo::slot::M2vFolder, root + QStringLiteral("/m2v"));
    settings.set(pellavo::slot::AviFolder, root + QStringLiteral("/avi"));
    settings.set(pellavo::slot::StorageFolder, root + QStringLiteral("/done"));
    settings.set(pellavo::slot::VirtualDubFolder, root + QStringLiteral("/vd"));
    settings.set(pellavo::slot::DeleteFlag, QStringLiteral("1"));
    settings.set(pellavo::slot::Interval, QStringLiteral("30"));
    const pellavo::PatternTable patterns = pellavo::defaultPatterns();
    chain::testing::FakeProcessWatch watch;
    chain::testing::FakeLauncher launcher;
    FirstLetters random;
    chain::RecordingDialogs dialogs;
    pellavo::JobEngine engine(settings, patterns, watch, launcher, random, dialogs);

    engine.resumeRecordedRun();
    requireWholeOrSetAside(root + QStringLiteral("/start"), pellavo::JobEngine::RunRecordFile,
                           engine.runPending(), record, false);
    engine.step(); // no tool runs: a run taken up is finished off now
    fuzz::require(contents(root + QStringLiteral("/victim")) == victims,
                  "no file outside the configured folders is touched");
    fuzz::require(QDir(root).entryList(QDir::Files | QDir::Hidden).isEmpty(),
                  "nothing lands beside the folders");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pellavoRecord(data, size);
    kestruneRecord(data, size);
    return 0;
}
