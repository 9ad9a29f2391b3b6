#include "FileOps.h"
#include "TestFiles.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace chain;
using namespace Qt::StringLiterals;
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

    // What an engine lists by extension is what filtering the whole listing gives, in the
    // same order; letter case is ignored for ASCII letters only, as on every platform.
    void listingByExtensionIsTheFilteredListing() {
        QTemporaryDir dir;
        for (const QString& name : {u"b.ts"_s, u"A.TS"_s, u"番組.Ts"_s, u"c.tsv"_s, u".hidden.ts"_s,
                                    u"a2.ts"_s, u"long.t\u017f"_s, u"ｘ.ＴＳ"_s, u"ts"_s})
            writeFile(dir.filePath(name), "x");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.ts")));
        const QStringList expected{u"A.TS"_s, u"a2.ts"_s, u"b.ts"_s, u"番組.Ts"_s};
        QCOMPARE(listFiles(dir.path(), u".ts"_s).value_or(QStringList()), expected);
        QCOMPARE(withExtension(listFiles(dir.path()).value_or(QStringList()), u".ts"_s), expected);
    }

    // Letter case is folded for characters outside the BMP too (Deseret capital and
    // small long I), also where two names first differ inside a surrogate pair.
    void listingSortsByFoldedCaseBeyondTheBmp() {
        QTemporaryDir dir;
        QStringList names{u"x\U00010400b.ts"_s, u"x\U00010428a.ts"_s, u"B.ts"_s, u"a.ts"_s};
        QStringList sorted{u"a.ts"_s, u"B.ts"_s, u"x\U00010428a.ts"_s, u"x\U00010400b.ts"_s};
#ifndef Q_OS_WIN // a folder on Windows can't hold names that differ only in case
        names << u"A.ts"_s;
        sorted.prepend(u"A.ts"_s);
#endif
        for (const QString& name : names)
            writeFile(dir.filePath(name), "x");
        QCOMPARE(listFiles(dir.path()).value_or(QStringList()), sorted);
    }

    // A listing tells whether a name is taken just as asking the system does: for files,
    // folders, dot-files and links, and for names that differ only in letter case or
    // Unicode form (which a filesystem that ignores case would take for one).
    void folderListingTellsTakenNamesAsTheSystemDoes() {
        QTemporaryDir dir;
        for (const QString& name : {u"a.ts"_s, u".hidden"_s, u"Straße.ts"_s, u"ı.ts"_s, u"\u00e9.ts"_s})
            writeFile(dir.filePath(name), "x");
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(dir.filePath(u"gone"_s), dir.filePath(u"dangling.ts"_s)));
#endif
        const std::optional<FolderListing> listing = FolderListing::read(dir.path());
        QVERIFY(listing);
        QCOMPARE(listing->files(), (QStringList{u"a.ts"_s, u"Straße.ts"_s, u"\u00e9.ts"_s, u"ı.ts"_s}));
        for (const QString& name :
             {u"a.ts"_s, u"A.TS"_s, u".hidden"_s, u"sub"_s, u"SUB"_s, u"dangling.ts"_s, u"none.ts"_s,
              u"STRASSE.ts"_s, u"I.ts"_s, u"e\u0301.ts"_s, u"sub/x"_s, u""_s, u"a\u0001.ts"_s}) {
            QVERIFY2(listing->nameTaken(name) == nameTaken(joinPath(dir.path(), name)), qPrintable(name));
        }
        QVERIFY(listing->nameTaken(u"sub"_s));
        QVERIFY(!listing->nameTaken(u"none.ts"_s));
        QVERIFY(!FolderListing::read(dir.filePath(u"none"_s)));
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

    void joinPathAddsOneSeparatorAndNeverJoinsAnEmptyFolder() {
#ifdef Q_OS_WIN
        QCOMPARE(joinPath(u"C:\\a"_s, u"b"_s), u"C:\\a\\b"_s);
        QCOMPARE(joinPath(u"C:\\"_s, u"b"_s), u"C:\\b"_s);
#else
        QCOMPARE(joinPath(QStringLiteral("/a"), QStringLiteral("b")), QStringLiteral("/a/b"));
        QCOMPARE(joinPath(QStringLiteral("/"), QStringLiteral("b")), QStringLiteral("/b"));
#endif
        QCOMPARE(joinPath(QString(), QStringLiteral("b")), QString());
        QVERIFY(!folderSettingProblem(QStringLiteral("変換先フォルダ"), QString()).isEmpty());
        QVERIFY(folderSettingProblem(QStringLiteral("変換先フォルダ"), QStringLiteral("/a")).isEmpty());
    }

    // A path the system would cut or misread is refused before anything is touched.
    void pathsWithControlCharactersAreRefused() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("done")));
        const QString from = dir.filePath(QStringLiteral("a.ts"));
        writeFile(from, "data");
        const QString cut = dir.filePath(QStringLiteral("done")) + QChar(0) + QStringLiteral("/a.ts");
        QVERIFY(!moveNoReplace(from, cut).isEmpty());
        QVERIFY(!moveNoReplace(from, dir.filePath(QStringLiteral("b\nc.ts"))).isEmpty());
        QVERIFY(!moveNoReplace(from, joinPath(QString(), QStringLiteral("a.ts"))).isEmpty());
        QVERIFY(!deleteFile(from + QChar(0) + QStringLiteral("x")).isEmpty());
        QCOMPARE(readFile(from), QByteArray("data"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"a.ts"});
    }

    // The system's errors reach the user in Japanese, whatever they are.
    void failureReasonsAreJapanese() {
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral("a.ts"));
        writeFile(from, "data");
        const QString reasons[] = {
            moveNoReplace(dir.filePath(QStringLiteral("none.ts")), dir.filePath(QStringLiteral("b.ts"))),
            moveNoReplace(from, dir.filePath(QString(300, u'x'))),
            deleteFile(dir.path()),
            writeTextLines(dir.filePath(QStringLiteral("no/f.txt")), {QStringLiteral("x")}),
        };
        for (const QString& reason : reasons) {
            QVERIFY(!reason.isEmpty());
            QVERIFY2(!reason.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))),
                     qPrintable(reason));
        }
    }

#ifndef Q_OS_WIN
    // A name that isn't UTF-8 (raw cp932 bytes), or that begins with the bytes of a byte
    // order mark, is listed, moved and kept as its bytes.
    void namesThatArentUtf8KeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("rawName");
        QTest::newRow("cp932") << QByteArray("\x94\xd4\x91\x67.ts"); // 番組.ts in cp932
        QTest::newRow("byte order mark first") << QByteArray("\xef\xbb\xbfnews.ts");
        QTest::newRow("byte order mark after a raw byte") << QByteArray("\x94\xef\xbb\xbfnews.ts");
    }
    void namesThatArentUtf8KeepTheirBytes() {
        QFETCH(QByteArray, rawName);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("done")));
        const QByteArray folder = QFile::encodeName(dir.path());
        const int fd = ::open((folder + '/' + rawName).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "rec", 3), ssize_t(3));
        ::close(fd);

        const auto files = listFiles(dir.path());
        QVERIFY(files && files->size() == 1);
        const QString name = files->first();
        QCOMPARE(fileSize(joinPath(dir.path(), name)).value_or(-1), 3);
        QCOMPARE(
            moveNoReplace(joinPath(dir.path(), name), joinPath(dir.filePath(QStringLiteral("done")), name)),
            QString());
        struct stat st {};
        QCOMPARE(::stat((folder + "/done/" + rawName).constData(), &st), 0);
        QCOMPARE(st.st_size, off_t(3));
    }
#endif
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"
