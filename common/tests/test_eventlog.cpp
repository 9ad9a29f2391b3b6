#include "EventLog.h"
#include "TestFiles.h"
#include "ui/EventLogView.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace chain;
using chain::testing::readFile;

namespace {
QStringList linesOf(const QString& path) {
    return QString::fromUtf8(readFile(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The current second has passed, so that the next event falls in another one.
void waitForTheNextSecond() {
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    while (QDateTime::currentSecsSinceEpoch() == second)
        QTest::qSleep(20);
}
} // namespace

// The log file every program keeps in its program folder, and the pane that shows it.
class EventLogTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void linesCarryDateTimeAndThePanesText() {
        QTemporaryDir dir;
        const QString path = dir.filePath(EventLog::fileName(QStringLiteral("kestrune")));
        QCOMPARE(path, dir.filePath(QStringLiteral("kestrune.log")));
        EventLog log(path);
        QSignalSpy shown(&log, &EventLog::added);
        log.add(QStringLiteral("移動しました: 番組.ts"));
        waitForTheNextSecond();
        log.add(QStringLiteral("two\nlines"));
        QVERIFY(!QFile::exists(path)); // written at the end of the step
        log.flush();
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 2);
        QVERIFY(QRegularExpression(
                    QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d 移動しました: 番組.ts$"))
                    .match(lines[0])
                    .hasMatch());
        QVERIFY(lines[1].endsWith(QStringLiteral(" two lines")));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0][1].toString(), QStringLiteral("移動しました: 番組.ts"));
        // Each line carries its own event's time.
        for (int i = 0; i < 2; ++i)
            QCOMPARE(shown[i][0].toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     lines[i].left(19));
        QVERIFY(lines[0].left(19) != lines[1].left(19));
        QVERIFY(readFile(path).endsWith("\r\n"));
    }

    void programsStartedOneAfterAnotherAppend() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pellavo.log"));
        {
            EventLog first(path);
            first.add(QStringLiteral("first run"));
        } // flushed when the program ends
        EventLog second(path);
        second.add(QStringLiteral("second run"));
        second.flush();
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QStringLiteral("first run")));
        QVERIFY(lines[1].endsWith(QStringLiteral("second run")));
    }

    // Past the limit the file moves to .1, the older ones up to .5 and the oldest is
    // dropped: the files kept hold the newest lines, in order, none missing.
    void rotationKeepsEveryLineInOrder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orvane.log"));
        EventLog log(path);
        const QString filler(2000, u'x');
        const int total = 3500; // about 7 MB: the oldest files are dropped
        for (int i = 0; i < total; ++i) {
            log.add(QStringLiteral("%1 %2").arg(i, 5, 10, QChar(u'0')).arg(filler));
            if (i % 7 == 0)
                log.flush();
        }
        log.flush();
        QStringList all;
        for (int n = EventLog::KeptOldFiles; n >= 1; --n)
            all += linesOf(path + u'.' + QString::number(n));
        all += linesOf(path);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), EventLog::KeptOldFiles + 1);
        for (const QString& file : QDir(dir.path()).entryList(QDir::Files))
            QVERIFY2(QFileInfo(dir.filePath(file)).size() <= EventLog::MaxFileBytes, qPrintable(file));
        QVERIFY(all.size() > 2500 && all.size() < total);
        const int first = total - static_cast<int>(all.size());
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(all[i].mid(20, 5).toInt(), first + i);
        // The history of the next run reaches back into .1 for what the current file lacks.
        const auto count = static_cast<int>(linesOf(path).size()) + 10;
        const QStringList history = EventLog(path).history(count);
        QCOMPARE(history.size(), count);
        QCOMPARE(history.first().mid(20, 5).toInt(), total - count);
        QCOMPARE(history.last().mid(20, 5).toInt(), total - 1);
    }

    // A rotation cut short by a kill (the oldest dropped, .4 and .3 moved up, the rest
    // not) is completed by the next one, which drops nothing more: .3 is the free place.
    void interruptedRotationIsCompletedWithoutLosingALog() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pellavo.log"));
        chain::testing::writeFile(path, QByteArray(EventLog::MaxFileBytes, 'c'));
        for (const char* n : {"1", "2", "4", "5"})
            chain::testing::writeFile(path + u'.' + QLatin1String(n), QByteArray("old ") + n);
        EventLog log(path);
        log.add(QStringLiteral("new"));
        log.flush();
        QCOMPARE(linesOf(path).size(), 1);
        QCOMPARE(readFile(path + QStringLiteral(".1")), QByteArray(EventLog::MaxFileBytes, 'c'));
        QCOMPARE(readFile(path + QStringLiteral(".2")), QByteArray("old 1"));
        QCOMPARE(readFile(path + QStringLiteral(".3")), QByteArray("old 2"));
        QCOMPARE(readFile(path + QStringLiteral(".4")), QByteArray("old 4"));
        QCOMPARE(readFile(path + QStringLiteral(".5")), QByteArray("old 5"));
    }

    // A log that can't be written is told once; its lines wait and none is lost.
    void unwritableLogIsToldOnceAndLosesNothing() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("later"));
        EventLog log(folder + QStringLiteral("/tassik.log"));
        QSignalSpy failed(&log, &EventLog::writeFailed);
        for (int step = 0; step < 3; ++step) {
            log.add(QStringLiteral("step %1").arg(step));
            log.flush();
        }
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toString().contains(QStringLiteral("見つかりません")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("later")));
        log.flush();
        QCOMPARE(linesOf(folder + QStringLiteral("/tassik.log")).size(), 3);
        QCOMPARE(failed.size(), 1);
        // A failure after the recovery is a new one: told again.
        QVERIFY(QDir(folder).removeRecursively());
        log.add(QStringLiteral("step 3"));
        log.flush();
        QCOMPARE(failed.size(), 2);
    }

    // A full disk part-way through a write (here the file size limit): nothing of the
    // write stays, so the file ends with a whole line, and once there is room again every
    // line is written once.
    void fullDiskLeavesWholeLinesAndRepeatsNone() {
#ifdef Q_OS_WIN
        QSKIP("the file size limit is a POSIX one");
#else
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orvane.log"));
        EventLog log(path);
        QSignalSpy failed(&log, &EventLog::writeFailed);
        log.add(QStringLiteral("before"));
        log.flush();
        const QByteArray before = readFile(path);
        log.add(QStringLiteral("一つ目の長い行 ") + QString(100, u'x'));
        log.add(QStringLiteral("二つ目"));
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit full = old;
        full.rlim_cur = static_cast<rlim_t>(before.size() + 40); // room for part of a line
        {
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            const auto restore = qScopeGuard([&] {
                setrlimit(RLIMIT_FSIZE, &old);
                std::signal(SIGXFSZ, oldHandler);
            });
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
            log.flush();
        }
        QCOMPARE(failed.size(), 1);
        QCOMPARE(readFile(path), before);
        log.flush();
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].endsWith(QStringLiteral("一つ目の長い行 ") + QString(100, u'x')));
        QVERIFY(lines[2].endsWith(QStringLiteral(" 二つ目")));
#endif
    }

    // A FIFO named like the log (with or without a reader) is refused at once and told;
    // nothing waits on it.
    void logThatIsNoRegularFileIsRefusedWithoutWaiting_data() {
        QTest::addColumn<bool>("reader");
        QTest::newRow("FIFO without a reader") << false;
        QTest::newRow("FIFO with a reader") << true;
    }
    void logThatIsNoRegularFileIsRefusedWithoutWaiting() {
#ifdef Q_OS_WIN
        QSKIP("no FIFOs in folders on Windows");
#else
        QFETCH(bool, reader);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kestrune.log"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const int reading = reader ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK) : -1;
        QCOMPARE(reading >= 0, reader);
        const auto closeReader = qScopeGuard([reading] {
            if (reading >= 0)
                ::close(reading);
        });
        EventLog log(path);
        QSignalSpy failed(&log, &EventLog::writeFailed);
        QCOMPARE(log.history(), QStringList());
        log.add(QStringLiteral("start"));
        log.flush();
        QCOMPARE(failed.size(), 1);
        QVERIFY2(failed[0][0].toString().contains(QStringLiteral("通常のファイルではありません")),
                 qPrintable(failed[0][0].toString()));
#endif
    }

    void paneShowsEarlierHistoryWhenItOpens() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kestrune.log"));
        {
            EventLog earlier(path);
            for (int i = 0; i < 150; ++i)
                earlier.add(QStringLiteral("event %1").arg(i));
        }
        EventLog log(path);
        EventLogView pane;
        pane.follow(log);
        QCOMPARE(pane.count(), 101); // the last 100 lines and the mark
        QVERIFY(pane.item(0)->text().endsWith(QStringLiteral("event 50")));
        QVERIFY(pane.item(99)->text().endsWith(QStringLiteral("event 149")));
        pane.resize(400, 120);
        pane.show(); // the newest line shows once the pane has its size
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QVERIFY(pane.verticalScrollBar()->maximum() > 0);
        QCOMPARE(pane.verticalScrollBar()->value(), pane.verticalScrollBar()->maximum());
        log.add(QStringLiteral("now"));
        QCOMPARE(pane.count(), 102);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d now$"))
                    .match(pane.item(101)->text())
                    .hasMatch());
    }
};

QTEST_MAIN(EventLogTest)
#include "test_eventlog.moc"
