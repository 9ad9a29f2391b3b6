#include "FixedRandom.h"
#include "JobWrite.h"

#include "RecordingDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace pellavo;
using chain::testing::readFile;
using chain::testing::writeFile;

namespace {
const QString Example = QStringLiteral("QWERTYUIOPASDFGHJKLZ");
const QString Second = QStringLiteral("ABCDEFGHIJKLMNOPQRST");

PatternTable tableOf(const QStringList& lines) {
    PatternTable table;
    for (const QString& line : lines)
        table.entries << patternFromLine(line);
    return table;
}

// A start folder with "Set Jobs", a VirtualDub folder, and folders set as given.
struct Workspace {
    QTemporaryDir dir;
    SettingTable settings{SettingTableSize};
    chain::RecordingDialogs dialogs;
    Workspace(const QString& m2vFolder, const QString& aviFolder) {
        QDir(dir.path()).mkpath(QStringLiteral("Set Jobs"));
        QDir(dir.path()).mkpath(QStringLiteral("vd"));
        settings.set(slot::StartFolder, dir.path());
        settings.set(slot::M2vFolder, m2vFolder);
        settings.set(slot::AviFolder, aviFolder);
        settings.set(slot::VirtualDubFolder, dir.filePath(QStringLiteral("vd")));
        settings.set(slot::PictureSize, QStringLiteral("1"));
    }
    QString path(const QString& relative) const { return chain::testing::inFolder(dir.path(), relative); }
};
} // namespace

// JobWrite: the pattern chosen for a name, and the job list made from it.
class JobWriteTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void patternIsChosenByName_data() {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pictureSize");
        QTest::addColumn<QString>("file"); // "-": none
        const QStringList usual{"HD\\hd.jobs", "others\\o.jobs", "NoResize\\n.jobs"};
        QTest::newRow("label in the name") << usual << "news_HD.m2v"
                                           << "1"
                                           << "hd.jobs";
        QTest::newRow("no label: others") << usual << "news.m2v"
                                          << "1"
                                          << "o.jobs";
        QTest::newRow("case counts") << usual << "news_hd.m2v"
                                     << "1"
                                     << "o.jobs";
        QTest::newRow("NoResize first wins by name")
            << QStringList{"NoResize\\n.jobs", "others\\o.jobs"} << "a_NoResize.m2v"
            << "1"
            << "n.jobs";
        QTest::newRow("label longer than the name")
            << QStringList{"news.m2v.long\\l.jobs", "others\\o.jobs"} << "news.m2v"
            << "1"
            << "o.jobs";
        QTest::newRow("empty label matches all") << QStringList{"no backslash", "others\\o.jobs"} << "a.m2v"
                                                 << "1"
                                                 << "";
        QTest::newRow("その他 for others")
            << QStringList{"NoResize\\n.jobs", "その他\\s.jobs", "others\\o.jobs"} << "a.m2v"
            << "1"
            << "s.jobs";
        QTest::newRow("neither: NoResize") << QStringList{"HD\\hd.jobs", "NoResize\\n.jobs"} << "a.m2v"
                                           << "1"
                                           << "n.jobs";
        QTest::newRow("always NoResize") << usual << "news_HD.m2v"
                                         << "2"
                                         << "n.jobs";
        QTest::newRow("always NoResize, none") << QStringList{"HD\\hd.jobs", "others\\o.jobs"} << "a.m2v"
                                               << "2"
                                               << "-";
    }
    void patternIsChosenByName() {
        QFETCH(QStringList, table);
        QFETCH(QString, name);
        QFETCH(QString, pictureSize);
        QFETCH(QString, file);
        const auto chosen = choosePattern(tableOf(table), name, pictureSize);
        QCOMPARE(chosen ? chosen->file : QStringLiteral("-"), file);
    }

    // The worked example: the ten rewritten kinds of line in order, other lines between
    // them copied (spaces at the end removed, a tab kept, lines beginning with blanks untouched),
    // nothing after "// $done", cp932 and CR LF. Folders keep their "\"; the platform's
    // separator goes before the temporary name.
    void exampleJobListByteForByte() {
        Workspace ws(QStringLiteral("D:\\rec\\m2v"), QStringLiteral("E:\\avi"));
        const QByteArray pattern = "// VirtualDub job list\r\n"
                                   "// $signature virtualdub 2\r\n"
                                   "// $numjobs 3\r\n"
                                   "// $job \"Job 7\"   \r\n"
                                   "// $input \"C:\\old.m2v\"\r\n"
                                   "// $output \"C:\\old.avi\"\r\n"
                                   "// $state 0   \r\n"
                                   "// a tab at the end\t\r\n"
                                   "VirtualDub.Open(\"C:\\\\old.m2v\",\"\",0);\r\n"
                                   "  VirtualDub.Open(\"indented, so kept\");\r\n"
                                   "// \x98\x5e\x89\xe6\r\n"
                                   "VirtualDub.subset.AddRange(0,1234);\r\n"
                                   "VirtualDub.video.SetRangeFrames(5,6);\r\n"
                                   "VirtualDub.SaveAVI(\"C:\\\\old.avi\");\r\n"
                                   "// $endjob\r\n"
                                   "// $done\r\n"
                                   "// $job \"Job 2\"\r\n";
        writeFile(ws.path(QStringLiteral("Set Jobs/p.jobs")), pattern);
        pellavo::testing::FixedRandom random(Example);
        const JobWriteResult result = JobWrite(ws.settings, tableOf({"others\\p.jobs", "NoResize\\p.jobs"}),
                                               random, ws.dialogs, QStringLiteral("news.m2v"), 53959);
        QCOMPARE(int(result.outcome), int(JobWriteResult::Outcome::Written));
#ifdef Q_OS_WIN
        const QByteArray sep = "\\", escapedSep = "\\\\";
#else
        const QByteArray sep = "/", escapedSep = "/";
#endif
        const QByteArray expected = "// VirtualDub job list\r\n"
                                    "// $signature 0 1\r\n"
                                    "// $numjobs 1\r\n"
                                    "// $job \"Job 1\"\r\n"
                                    "// $input \"D:\\rec\\m2v" +
                                    sep +
                                    "QWERTYUIOPASDFGHJKLZ.m2v\"\r\n"
                                    "// $output \"E:\\avi" +
                                    sep +
                                    "QWERTYUIOPASDFGHJKLZ.avi\"\r\n"
                                    "// $state 0\r\n"
                                    "// a tab at the end\t\r\n"
                                    "VirtualDub.Open(\"D:\\\\rec\\\\m2v" +
                                    escapedSep +
                                    "QWERTYUIOPASDFGHJKLZ.m2v\",\"\",0);\r\n"
                                    "  VirtualDub.Open(\"indented, so kept\");\r\n"
                                    "// \x98\x5e\x89\xe6\r\n"
                                    "VirtualDub.subset.AddRange(0,53959);\r\n"
                                    "VirtualDub.video.SetRangeFrames(0,53959);\r\n"
                                    "VirtualDub.SaveAVI(\"E:\\\\avi" +
                                    escapedSep +
                                    "QWERTYUIOPASDFGHJKLZ.avi\");\r\n"
                                    "// $endjob\r\n"
                                    "// $done\r\n";
        QCOMPARE(readFile(ws.path(QStringLiteral("vd/VirtualDub.jobs"))), expected);
        QCOMPARE(result.job.m2vPath, QStringLiteral("D:\\rec\\m2v") + QString::fromLatin1(sep) + "news.m2v");
        QCOMPARE(result.job.finalAvi, QStringLiteral("E:\\avi") + QString::fromLatin1(sep) + "news.avi");
        QCOMPARE(result.job.wavName, QStringLiteral("news.wav"));
    }

    void takenTemporaryNameIsDrawnAgain_data() {
        QTest::addColumn<QString>("taken");
        QTest::newRow("an .m2v of that name") << "m2v/" + Example + ".m2v";
        QTest::newRow("an .avi of that name") << "avi/" + Example + ".avi";
        QTest::newRow("a folder named like the .avi") << "avi/" + Example + ".avi/";
    }
    void takenTemporaryNameIsDrawnAgain() {
        QFETCH(QString, taken);
        Workspace ws({}, {});
        ws.settings.set(slot::M2vFolder, ws.path(QStringLiteral("m2v")));
        ws.settings.set(slot::AviFolder, ws.path(QStringLiteral("avi")));
        QDir(ws.dir.path()).mkpath(QStringLiteral("m2v"));
        QDir(ws.dir.path()).mkpath(QStringLiteral("avi"));
        if (taken.endsWith(u'/'))
            QVERIFY(QDir(ws.dir.path()).mkpath(taken));
        else
            writeFile(ws.path(taken), "someone else's");
        writeFile(ws.path(QStringLiteral("Set Jobs/n.jobs")), "VirtualDub.SaveAVI(\"x\");\r\n");
        pellavo::testing::FixedRandom random(Example + Second);
        const JobWriteResult result = JobWrite(ws.settings, tableOf({"NoResize\\n.jobs"}), random, ws.dialogs,
                                               QStringLiteral("a.m2v"), 9);
        QCOMPARE(result.job.temporaryM2v, ws.path("m2v/" + Second + ".m2v"));
        QCOMPARE(result.job.temporaryAvi, ws.path("avi/" + Second + ".avi"));
        if (!taken.endsWith(u'/'))
            QCOMPARE(readFile(ws.path(taken)), QByteArray("someone else's"));
    }
};

QTEST_GUILESS_MAIN(JobWriteTest)
#include "test_jobwrite.moc"
