// Runs the VirtualDub.exe stand-in as a real process on temporary folders and checks what it writes.

#include "platform/Cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines as a job list: cp932, CR LF.
QByteArray jobList(const QStringList& lines) {
    const auto bytes = chain::platform::utf8ToCp932((lines.join(u"\r\n"_s) + u"\r\n"_s).toStdString());
    return bytes ? QByteArray::fromStdString(*bytes) : QByteArray();
}

// The escaped form of a path inside the quotes of a job list.
QString escaped(QString path) {
    return path.replace(u'\\', u"\\\\"_s);
}

// Whether the bytes are a RIFF AVI whose chunks add up, holding `content` somewhere.
bool isAviHolding(const QByteArray& avi, const QByteArray& content) {
    return avi.size() > 12 && avi.startsWith("RIFF") && avi.mid(8, 4) == "AVI " &&
           qFromLittleEndian<quint32>(avi.constData() + 4) == quint32(avi.size() - 8) &&
           avi.contains("hdrl") && avi.contains("movi") && avi.contains("idx1") && avi.contains(content);
}

} // namespace

// The stand-in runs the jobs of VirtualDub.jobs in its own folder.
class VirtualDubStandinTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir m_dir;
    QString m_program; // a copy of the stand-in in a folder of its own
    QString m_media;   // a folder with a Japanese name, and on POSIX a backslash in it

    int run(const QStringList& args, qint64* elapsed = nullptr) {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.start(m_program, args);
        if (!process.waitForFinished(30000))
            return -1;
        if (elapsed)
            *elapsed = clock.elapsed();
        return process.exitCode();
    }
    QString vd(const QString& name) const { return QFileInfo(m_program).dir().filePath(name); }

  private Q_SLOTS:
    void init() {
        m_dir.remove();
        m_dir = QTemporaryDir();
        QVERIFY(QDir(m_dir.path()).mkpath(u"vd"_s));
        m_program = m_dir.filePath(u"vd/VirtualDub.exe"_s);
        const QString built = qEnvironmentVariable("CHAIN_TOOLS_DIR") + u"/VirtualDub.exe"_s;
        QVERIFY(QFile::copy(built, m_program));
#ifdef Q_OS_WIN
        m_media = m_dir.filePath(u"録画 ソ"_s);
#else
        m_media = m_dir.filePath(u"録画 ソ\\表"_s);
#endif
        QVERIFY(QDir().mkpath(m_media));
        QVERIFY(writeFile(m_media + u"/one.m2v"_s, "first video"));
        QVERIFY(writeFile(m_media + u"/two.m2v"_s, "second video"));
    }

    void runsEachJobUpToDone() {
        const QString m = escaped(m_media);
        QVERIFY(writeFile(
            vd(u"VirtualDub.jobs"_s),
            jobList({u"// $signature 0 1"_s, u"// $job \"Job 1\""_s,
                     u"VirtualDub.Open(\"%1/one.m2v\",\"\",0);"_s.arg(m), u"VirtualDub.audio.SetSource(1);"_s,
                     u"VirtualDub.SaveAVI(\"%1/one.avi\");"_s.arg(m), u"// $endjob"_s,
                     u"  VirtualDub.Open(\"%1/two.m2v\",\"\",0);"_s.arg(m),
                     u"  VirtualDub.SaveAVI(\"%1/two.avi\");"_s.arg(m), u"// $done"_s,
                     u"VirtualDub.Open(\"%1/one.m2v\",\"\",0);"_s.arg(m),
                     u"VirtualDub.SaveAVI(\"%1/after.avi\");"_s.arg(m)})));
        qint64 elapsed = 0;
        QCOMPARE(run({u"/x"_s, u"/r"_s, u"--seconds"_s, u"0.3"_s}, &elapsed), 0);
        QVERIFY(elapsed >= 600); // each job takes its time
        QVERIFY(isAviHolding(readAll(m_media + u"/one.avi"_s), "first video"));
        QVERIFY(isAviHolding(readAll(m_media + u"/two.avi"_s), "second video"));
        QVERIFY(!QFile::exists(m_media + u"/after.avi"_s));
    }

    void failuresWriteNothingOfTheirJob_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("besideIt"); // a file put beside the stand-in
        QTest::addColumn<QString>("input");    // of the second job
        QTest::addColumn<QString>("output");   // of the second job
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("firstDone");
        const QStringList x{u"/x"_s, u"/r"_s, u"--seconds"_s, u"0"_s};
        QTest::newRow("input missing") << x << ""
                                       << "gone.m2v"
                                       << "two.avi" << 5 << true;
        QTest::newRow("output folder missing") << x << ""
                                               << "two.m2v"
                                               << "nowhere/two.avi" << 5 << true;
        QTest::newRow("fail file") << x << "VirtualDub.fail"
                                   << "two.m2v"
                                   << "two.avi" << 1 << false;
        QTest::newRow("no /x") << QStringList{u"/r"_s} << ""
                               << "two.m2v"
                               << "two.avi" << 3 << false;
    }
    void failuresWriteNothingOfTheirJob() {
        QFETCH(QStringList, args);
        QFETCH(QString, besideIt);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(bool, firstDone);
        const QString m = escaped(m_media);
        if (!besideIt.isEmpty())
            QVERIFY(writeFile(vd(besideIt), ""));
        QVERIFY(writeFile(vd(u"VirtualDub.jobs"_s),
                          jobList({u"VirtualDub.Open(\"%1/one.m2v\",\"\",0);"_s.arg(m),
                                   u"VirtualDub.SaveAVI(\"%1/one.avi\");"_s.arg(m), u"// $endjob"_s,
                                   u"VirtualDub.Open(\"%1/%2\",\"\",0);"_s.arg(m, input),
                                   u"VirtualDub.SaveAVI(\"%1/%2\");"_s.arg(m, output), u"// $done"_s})));
        QCOMPARE(run(args), exitCode);
        QCOMPARE(QFile::exists(m_media + u"/one.avi"_s), firstDone);
        QVERIFY(!QFile::exists(m_media + u"/"_s + output));
        QCOMPARE(readAll(m_media + u"/two.m2v"_s), QByteArray("second video"));
    }

    void jobListThatIsNotCp932IsRefused() {
        QVERIFY(writeFile(vd(u"VirtualDub.jobs"_s), "VirtualDub.SaveAVI(\"\x81\");\r\n"));
        QCOMPARE(run({u"/x"_s, u"/r"_s}), 4);
    }
};

QTEST_GUILESS_MAIN(VirtualDubStandinTest)
#include "test_virtualdub_standin.moc"
