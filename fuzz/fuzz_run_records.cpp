// Pellavo's run record (pellavo.run): whatever a record holds — damaged, edited by hand,
// brought from another machine — it is either taken up whole or set aside whole, and the
// finish-off it leads to touches no file outside the folders the settings name.
//
// The input is the record's bytes, with every "@" standing for the workspace's folder, so
// that seeds can name its files.

#include "FuzzSupport.h"

#include "JobEngine.h"
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir workspace;
    const QString root = workspace.path() + QStringLiteral("/w");
    QDir(root).removeRecursively();
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
    const QStringList start = QDir(root + QStringLiteral("/start")).entryList(QDir::Files);
    if (engine.runPending()) {
        fuzz::require(start == QStringList{pellavo::JobEngine::RunRecordFile},
                      "a record taken up stays in place");
    } else {
        fuzz::require(start.size() == 1 && start[0].startsWith(pellavo::JobEngine::RunRecordFile +
                                                               QStringLiteral(".damaged-")),
                      "a record not taken up is set aside whole");
        QFile aside(root + QStringLiteral("/start/") + start[0]);
        fuzz::require(aside.open(QIODevice::ReadOnly) && aside.readAll() == record,
                      "the set-aside record is unchanged");
    }
    engine.step(); // no tool runs: a run taken up is finished off now
    fuzz::require(contents(root + QStringLiteral("/victim")) == victims,
                  "no file outside the configured folders is touched");
    fuzz::require(QDir(root).entryList(QDir::Files | QDir::Hidden).isEmpty(),
                  "nothing lands beside the folders");
    return 0;
}
