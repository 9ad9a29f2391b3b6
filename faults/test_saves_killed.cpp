// Settings saves killed (SIGKILL) at random moments: fault_save_loop saves a file of one
// of the programs again and again, alternating a short and a long version, until it is
// killed. The file is then always one version whole, never a mix or a cut, and once the
// program has started again no temporary file of a save is left beside it.

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

const QString SaveLoop = QStringLiteral(FAULT_SAVE_LOOP);

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Saves version a or b of the format in the folder (the values name it): the file's name and bytes.
struct Version {
    QString name;
    QByteArray bytes;
};
Version versionOf(const QString& format, const QString& folder, const QString& version) {
    QProcess save;
    save.start(SaveLoop, {format, folder, version});
    if (!save.waitForFinished(30000) || save.exitCode() != 0)
        return {};
    const QString name = QString::fromUtf8(save.readAllStandardOutput().trimmed());
    return {name, bytesOf(QDir(folder).filePath(name))};
}

QStringList savesLeftIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.tmp~*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class SavesKilled : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void fileIsOneVersionWholeAfterAKill_data() {
        QTest::addColumn<QString>("format");
        for (const char* format :
             {"kestrune", "kestrune-keywords", "pellavo", "pellavo-patterns", "orvane", "tassik"})
            QTest::newRow(format) << QString::fromLatin1(format);
    }
    void fileIsOneVersionWholeAfterAKill() {
        constexpr int Kills = 200;
        QFETCH(QString, format);
        QTemporaryDir dir;
        const Version a = versionOf(format, dir.path(), QStringLiteral("a"));
        const Version b = versionOf(format, dir.path(), QStringLiteral("b"));
        QVERIFY(!a.bytes.isEmpty() && !b.bytes.isEmpty() && a.bytes != b.bytes && a.name == b.name);
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int leftBehind = 0; // kills that left a temporary file for the next start to remove
        int foundA = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            QProcess loop;
            loop.start(SaveLoop, {format, dir.path(), QStringLiteral("loop")});
            QVERIFY2(loop.waitForReadyRead(30000), qPrintable(loop.errorString()));
            // The start-up has run: what the last kill left is gone.
            QCOMPARE(savesLeftIn(dir.path()), QStringList());
            loop.write("go\n");
            QVERIFY(loop.waitForBytesWritten(30000));
            QThread::usleep(random.bounded(200U, 10000U)); // within the saves, at a random moment
            loop.kill();
            QVERIFY(loop.waitForFinished(30000));
            QCOMPARE(loop.exitStatus(), QProcess::CrashExit); // killed, not ended by an error
            leftBehind += savesLeftIn(dir.path()).isEmpty() ? 0 : 1;
            const QByteArray bytes = bytesOf(dir.filePath(a.name));
            QVERIFY2(bytes == a.bytes || bytes == b.bytes,
                     qPrintable(QStringLiteral("seed %1, kill %2: %3 bytes, neither "
                                               "version (%4 or %5 bytes)")
                                    .arg(seed)
                                    .arg(kill)
                                    .arg(bytes.size())
                                    .arg(a.bytes.size())
                                    .arg(b.bytes.size())));
            foundA += bytes == a.bytes ? 1 : 0;
        }
        std::printf("%s: %d kills: %d found the short version, %d the long one; %d left a temporary "
                    "file that the next start removed\n",
                    qPrintable(format), Kills, foundA, Kills - foundA, leftBehind);
        // Kills that never caught a save half-way prove nothing.
        QVERIFY(leftBehind > 0);
    }
};

QTEST_GUILESS_MAIN(SavesKilled)
#include "test_saves_killed.moc"
