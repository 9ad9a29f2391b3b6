// The outside tools are Windows programs. On Linux the launcher starts them through
// wine; the busy check must see them while they run and not after. These tests run a
// real Windows program (the platform tests' child, built with MinGW) named
// BonTsDemux.exe through the real launcher and process watch.

#include "Launcher.h"
#include "ProcessWatch.h"
#include "TestFiles.h"
#include "ToolWatch.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace chain;

namespace {

// The Windows build of the child program (empty when MinGW wasn't there to build it).
QString windowsChild() {
    return qEnvironmentVariable("CHAIN_WINDOWS_CHILD");
}

// Whether the machine was set up to run Windows programs (CI and scripts/test-windows.sh
// set CHAIN_WITH_WINDOWS=1 and install MinGW-w64 and Wine before configuring): then a
// missing piece is a failure, not a reason to skip.
bool windowsRequired() {
    return qEnvironmentVariable("CHAIN_WITH_WINDOWS") == QStringLiteral("1");
}

// Why a Windows program can't run here; empty when it can.
QString missingPiece() {
    if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
        return QStringLiteral("wine is not installed: no Windows program can run here");
    if (windowsChild().isEmpty() || !QFile::exists(windowsChild()))
        return QStringLiteral(
            "no Windows program to run: MinGW-w64 was not installed when the build was configured");
    return {};
}

// Which of these tools the busy check sees running ("unknown" when it can't tell).
QStringList running(const QString& image) {
    SystemProcessWatch watch;
    return watch.running({image}).value_or(QStringList{QStringLiteral("unknown")});
}

// Every process's name and command line, for a failure message: what the busy check had
// before it.
QString processList() {
    QString list;
    QDirIterator it(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString pid = it.next();
        QFile comm(pid + QStringLiteral("/comm"));
        QFile cmdline(pid + QStringLiteral("/cmdline"));
        if (!comm.open(QIODevice::ReadOnly) || !cmdline.open(QIODevice::ReadOnly))
            continue;
        list += QString::fromUtf8(comm.readAll()).trimmed() + QStringLiteral(": ") +
                QString::fromUtf8(cmdline.readAll().replace('\0', ' ')) + u'\n';
    }
    return list;
}

} // namespace

class WindowsToolsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Wine's first start in a new prefix sets the prefix up, which takes many seconds
    // and varies with the machine. The prefix is made here, once, so that the tests
    // below time the ordinary start a user's machine sees.
    void initTestCase() {
        if (!missingPiece().isEmpty())
            return;
        QTemporaryDir dir;
        const QString child = dir.filePath(QStringLiteral("prefix-setup.exe"));
        QVERIFY(QFile::copy(windowsChild(), child));
        QProcess wine;
        wine.start(QStringLiteral("wine"), {child});
        QVERIFY2(wine.waitForFinished(180000), "Wine took over 3 minutes to set up its prefix");
        QCOMPARE(wine.exitCode(), 0);
    }

    void toolRunsThroughWineAndIsWatched_data() {
        QTest::addColumn<QString>("image");
        QTest::newRow("the demuxer") << DemuxerImage;
        // Longer than the 15 characters the kernel keeps as a process's name.
        QTest::newRow("a name past 15 characters") << VirtualDubModImage;
    }

    // A Windows tool runs through wine, with Kestrune's arguments, and the busy check
    // sees it until it has ended.
    void toolRunsThroughWineAndIsWatched() {
        QFETCH(QString, image);
        if (const QString missing = missingPiece(); !missing.isEmpty()) {
            if (windowsRequired())
                QFAIL(qPrintable(missing));
            QSKIP(qPrintable(missing));
        }
        // Another such tool (of a test running beside this one) must end first.
        QTRY_VERIFY_WITH_TIMEOUT(running(image).isEmpty(), 60000);

        QTemporaryDir dir;
        const QString tool = dir.filePath(image);
        QVERIFY(QFile::copy(windowsChild(), tool));
        const QString arguments =
            QStringLiteral(R"( -i "D:\rec\番組 1.ts" -o "E:\out\ABC" -rf64"1" -start -quit)");

        SystemLauncher launcher;
        // The child stays 3 s.
        QCOMPARE(launcher.start(u'"' + tool + u'"' + QStringLiteral(" 3000") + arguments,
                                Launcher::Window::Normal),
                 QString());
        // Seen while Wine may still be starting it. On a quiet machine that is within a few
        // milliseconds, well inside the time the engines count a just-started tool as
        // running (ToolHandOver::HoldMs); on a machine busy with builds Wine has been seen
        // to take longer than that before the program shows, so the bound here is wider,
        // and the time it took is printed.
        constexpr qint64 boundMs = 20000;
        QElapsedTimer clock;
        clock.start();
        while (running(image) != QStringList{image} && clock.elapsed() < boundMs)
            QTest::qWait(20);
        if (running(image) != QStringList{image})
            QFAIL(qPrintable(
                QStringLiteral("not seen within %1 ms; the processes:\n%2").arg(boundMs).arg(processList())));
        qInfo("seen after %lld ms", clock.elapsed());

        // What it received (after the working folder): Wine rebuilds the Windows command
        // line from the arguments, so the program reads the same arguments.
        const QString out = tool + QStringLiteral(".out");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 60000);
        const QStringList report = QString::fromUtf8(testing::readFile(out)).split(u'\n');
        QCOMPARE(report.mid(1, 8),
                 (QStringList{QStringLiteral("[3000]"), QStringLiteral("[-i]"),
                              QStringLiteral(R"([D:\rec\番組 1.ts])"), QStringLiteral("[-o]"),
                              QStringLiteral(R"([E:\out\ABC])"), QStringLiteral("[-rf641]"),
                              QStringLiteral("[-start]"), QStringLiteral("[-quit]")}));
        QCOMPARE(running(image), QStringList{image}); // it stays 3 s
        QTRY_COMPARE_WITH_TIMEOUT(running(image), QStringList(), 60000);
    }

    // Without wine a Windows tool can't start, and the reason says why.
    void withoutWineTheReasonSaysSo() {
        QTemporaryDir dir;
        const QString demuxer = dir.filePath(DemuxerImage);
        testing::writeFile(demuxer, QByteArrayLiteral("MZ\x90"));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("none"))));
        const QString reason = SystemLauncher().start(u'"' + demuxer + u'"', Launcher::Window::Normal);
        qputenv("PATH", path);
        QCOMPARE(reason, QStringLiteral("プログラムを起動できません: Windows 用のプログラムですが、wine "
                                        "がインストールされていません"));
    }
};

QTEST_GUILESS_MAIN(WindowsToolsTest)
#include "test_windows_tools.moc"
