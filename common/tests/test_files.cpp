#include "FileOps.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace chain;
using chain::testing::readFile;
using chain::testing::writeFile;

// Moves that never replace a file, and folder listings as every engine sees them.
class FilesTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void listingHoldsOrdinaryFilesSortedWithCaseIgnored() {
        QTemporaryDir dir;
        for (const char* name : {"b.ts", "A.TS", "c.tsv", ".hidden.ts", "a2.ts"})
            writeFile(dir.filePath(QString::fromLatin1(name)), "x");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.ts")));
        const auto files = listFiles(dir.path());
        QVERIFY(files);
        QCOMPARE(*files, (QStringList{"A.TS", "a2.ts", "b.ts", "c.tsv"}));
        QCOMPARE(withExtension(*files, QStringLiteral(".ts")), (QStringList{"A.TS", "a2.ts", "b.ts"}));
    }

    void missingFolderCantBeListed() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!listFiles(dir.filePath(QStringLiteral("nope")), &error));
        QVERIFY(!error.isEmpty());
    }

    void moveNeverReplacesAnExistingFile() {
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral("a.ts"));
        const QString to = dir.filePath(QStringLiteral("b.ts"));
        writeFile(from, "source");
        writeFile(to, "target");
        QVERIFY(!moveNoReplace(from, to).isEmpty());
        QCOMPARE(readFile(from), QByteArray("source"));
        QCOMPARE(readFile(to), QByteArray("target"));
    }

    void moveIntoAnotherFolderKeepsTheContent() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("done")));
        const QString from = dir.filePath(QStringLiteral("番組.ts"));
        const QString to = dir.filePath(QStringLiteral("done/番組.ts"));
        writeFile(from, "data");
        QCOMPARE(moveNoReplace(from, to), QString());
        QVERIFY(!QFile::exists(from));
        QCOMPARE(readFile(to), QByteArray("data"));
        QVERIFY(!moveNoReplace(from, to).isEmpty()); // source gone now
        QCOMPARE(readFile(to), QByteArray("data"));
    }

    void sizesAndPresence() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f.ts"));
        writeFile(path, "12345");
        QCOMPARE(fileSize(path).value_or(-1), 5);
        QVERIFY(fileExists(path));
        QVERIFY(canOpenForReading(path));
        QVERIFY(!fileSize(dir.filePath(QStringLiteral("g.ts"))));
        QVERIFY(!fileExists(dir.path())); // a folder is not a file
        QCOMPARE(sameVolume(path, dir.path()).value_or(false), true);
    }

    void joinPathAddsOneSeparator() {
        QCOMPARE(joinPath(QStringLiteral("/a"), QStringLiteral("b")), QStringLiteral("/a/b"));
        QCOMPARE(joinPath(QStringLiteral("/"), QStringLiteral("b")), QStringLiteral("/b"));
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"
