// --help, --version and a wrong option on the built programs, without a display: each is
// answered before the program opens a window or reads its folder.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class StartOptionsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void answersWithoutDisplay_data();
    void answersWithoutDisplay();
};

void StartOptionsTest::answersWithoutDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // how standard output begins
    QTest::addColumn<QString>("err"); // how standard error begins

    const QString version = u"バージョン "_s + QStringLiteral(CHAIN_EXPECTED_VERSION);
    for (const auto& [program, name, usage] :
         {std::tuple{u"kestrune"_s, u"Kestrune"_s,
                     u"使い方: kestrune [--headless [--until-idle] [--time-scale F] [--no-log]]\n"_s},
          std::tuple{u"pellavo"_s, u"Pellavo"_s,
                     u"使い方: pellavo [--headless [--until-idle] [--time-scale F] [--no-log]]\n"_s},
          std::tuple{u"orvane"_s, u"Orvane"_s,
                     u"使い方: orvane [--headless [--until-idle] [--time-scale F] [--no-log]]\n"_s},
          std::tuple{u"tassik"_s, u"Tassik"_s, u"使い方: tassik [--headless [--no-log]]\n"_s}}) {
        const QByteArray tag = program.toUtf8();
        QTest::newRow(tag + " --help") << program << QStringList{u"--help"_s} << 0 << usage << QString();
        QTest::newRow(tag + " --version")
            << program << QStringList{u"--version"_s} << 0 << name + u' ' + version << QString();
        QTest::newRow(tag + " unknown option") << program << QStringList{u"--colour"_s} << 2 << QString()
                                               << u"不明なオプション: --colour\n"_s + usage;
    }
    QTest::newRow("kestrune --help after --headless")
        << u"kestrune"_s << QStringList{u"--headless"_s, u"--help"_s} << 0
        << u"使い方: kestrune [--headless [--until-idle] [--time-scale F] [--no-log]]\n"_s << QString();
    QTest::newRow("pellavo --time-scale without its value")
        << u"pellavo"_s << QStringList{u"--headless"_s, u"--time-scale"_s} << 2 << QString()
        << u"--time-scale の値がありません\n使い方: pellavo"_s;
    QTest::newRow("tassik takes no --until-idle")
        << u"tassik"_s << QStringList{u"--headless"_s, u"--until-idle"_s} << 2 << QString()
        << u"不明なオプション: --until-idle\n使い方: tassik"_s;
    QTest::newRow("orvane takes no file") << u"orvane"_s << QStringList{u"a.jobs"_s} << 2 << QString()
                                          << u"不明なオプション: a.jobs\n使い方: orvane"_s;
}

void StartOptionsTest::answersWithoutDisplay() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const QString binDir = qEnvironmentVariable("CHAIN_BIN_DIR");
    QVERIFY2(!binDir.isEmpty(), "CHAIN_BIN_DIR is not set; run through ctest");
    // An empty folder: a program that went on would find nothing of its own there.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        environment.remove(name);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder.path());
    process.start(QDir(binDir).filePath(program), arguments);
    QVERIFY(process.waitForFinished(30000));
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
#ifdef Q_OS_WIN
    // Through a pipe the lines go out as UTF-8 with the C runtime's line ends.
    out.replace(u"\n"_s, u"\r\n"_s);
    err.replace(u"\n"_s, u"\r\n"_s);
#endif
    QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qUtf8Printable(printed));
    QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.startsWith(err), qUtf8Printable(errors));
    // Everything a program prints here is whole lines.
    QVERIFY(printed.isEmpty() || printed.endsWith(u'\n'));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(StartOptionsTest)
#include "test_start_options.moc"
