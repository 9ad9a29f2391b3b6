#include "EventLog.h"
#include "TestFiles.h"
#include "ui/EventLogView.h"

#include <QDir>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace chain;
using chain::testing::readFile;

namespace {
QStringList linesOf(const QString& path) {
    return QString::fromUtf8(readFile(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
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
        QCOMPARE(shown[0][0].toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), lines[0].left(19));
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
