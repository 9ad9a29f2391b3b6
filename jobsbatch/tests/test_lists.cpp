// The job list and the output list: what "// $output" lines show, the bounded reload of
// a jobs file that can't be read, and "解除".

#include "JobLists.h"
#include "TestFiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace orvane;
using chain::testing::writeFile;

namespace {
// A jobs folder holding the named files, each with one output named after it.
struct Folder {
    QTemporaryDir dir;
    StateTable state{StateTableSize};
    JobLists lists{state};
    explicit Folder(const QStringList& names = {}) {
        state.set(slot::JobsFolder, dir.path());
        state.set(slot::ListEditFlag, QStringLiteral("0"));
        for (const QString& name : names)
            add(name, ("// $output \"E:\\avi\\" + name + ".avi\"\r\n").toUtf8());
        lists.JobsList();
    }
    void add(const QString& name, const QByteArray& content) { writeFile(dir.filePath(name), content); }
};
} // namespace

class ListsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void outputListShowsTheNamesOfOutputLines_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("outputs");
        QTest::newRow("three, in file order")
            << QByteArray(
                   "// $output \"E:\\avi\\one.avi\"\r\nVirtualDub.SaveAVI(\"E:\\\\avi\\\\one.avi\");\r\n"
                   "// $output E:\\b\\two.avi   \r\n// $output \"C:\\x\\\\three.avi\"\r\n")
            << QStringList{"one.avi\"", "two.avi", "three.avi\""};
        QTest::newRow("none") << QByteArray(
                                     "// $job \"Job 1\"\r\n // $output \"E:\\a.avi\"\r\n// $OUTPUT x\\y\r\n")
                              << QStringList{};
        QTest::newRow("no separator: the whole line")
            << QByteArray("// $output news.avi\r\n") << QStringList{"// $output news.avi"};
#ifndef Q_OS_WIN
        QTest::newRow("POSIX path") << QByteArray("// $output \"/data/avi/x.avi\"\r\n")
                                    << QStringList{"x.avi\""};
#endif
    }
    void outputListShowsTheNamesOfOutputLines() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, outputs);
        Folder folder;
        folder.add(QStringLiteral("a.jobs"), content);
        folder.lists.OutputList(QStringLiteral("a.jobs"));
        QCOMPARE(folder.lists.outputs(), outputs);
    }

    // An unreadable jobs file reloads the list once; an unreadable first entry stops there.
    void unreadableJobsFileReloadsTheListOnce() {
        Folder folder({"b.jobs"});
        folder.add(QStringLiteral("a.jobs"), "\x81\x20"); // not cp932
        QSignalSpy reloads(&folder.lists, &JobLists::jobsChanged);
        folder.lists.OutputList(QStringLiteral("gone.jobs"));
        QCOMPARE(reloads.count(), 1);
        QCOMPARE(folder.lists.jobs(), (QStringList{"a.jobs", "b.jobs"}));
        QCOMPARE(folder.lists.selected(), 0);
        QCOMPARE(folder.lists.outputs(), QStringList{});
    }

    // A jobs file over 16 MiB is not read for its outputs: the list stays empty, and the file
    // is reported once.
    void jobsFileOver16MiBIsNotReadForOutputs() {
        Folder folder({"b.jobs"});
        QFile big(folder.dir.filePath(QStringLiteral("a.jobs")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write("// $output \"E:\\avi\\a.avi\"\r\n");
        QVERIFY(big.resize(16 * 1024 * 1024 + 1));
        big.close();
        QSignalSpy reports(&folder.lists, &JobLists::report);
        folder.lists.JobsList();
        folder.lists.showFirst();
        folder.lists.OutputList(QStringLiteral("a.jobs"));
        QCOMPARE(folder.lists.outputs(), QStringList{});
        QCOMPARE(folder.lists.jobs(), (QStringList{"a.jobs", "b.jobs"}));
        QCOMPARE(reports.count(), 1);
        QVERIFY2(reports[0][0].toString().contains(QStringLiteral("16777217 バイト")),
                 qPrintable(reports[0][0].toString()));
    }

    void takingOffAnEntrySelectsItsSuccessorOrTheNewLast_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("jobs");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("last of three") << 3 << 2 << QStringList{"a.jobs", "b.jobs"} << 1;
        QTest::newRow("middle of three") << 3 << 1 << QStringList{"a.jobs", "c.jobs"} << 1;
        QTest::newRow("first of three") << 3 << 0 << QStringList{"b.jobs", "c.jobs"} << 0;
        QTest::newRow("only entry") << 1 << 0 << QStringList{} << -1;
        QTest::newRow("nothing selected") << 2 << -1 << QStringList{"a.jobs", "b.jobs"} << -1;
    }
    void takingOffAnEntrySelectsItsSuccessorOrTheNewLast() {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(QStringList, jobs);
        QFETCH(int, selectedAfter);
        Folder folder(QStringList{"a.jobs", "b.jobs", "c.jobs"}.mid(0, count));
        folder.lists.List1_Click(selected);
        folder.lists.Command6_Click();
        QCOMPARE(folder.lists.jobs(), jobs);
        QCOMPARE(folder.lists.selected(), selectedAfter);
        const QStringList outputs =
            selectedAfter < 0 ? QStringList{} : QStringList{jobs[selectedAfter] + ".avi\""};
        if (selected >= 0)
            QCOMPARE(folder.lists.outputs(), outputs);
        QCOMPARE(folder.state.text(slot::ListEditFlag), QStringLiteral("0"));
        QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files).size(), count); // files stay
    }
};

QTEST_GUILESS_MAIN(ListsTest)
#include "test_lists.moc"
