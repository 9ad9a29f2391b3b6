// The built tassik program run with --headless in a prepared start folder.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class HeadlessTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void renamesFromTheSettingsFile_data();
    void renamesFromTheSettingsFile();
    void undoNamesTheLastBatchBackOnce();
};

void HeadlessTest::renamesFromTheSettingsFile_data() {
    QTest::addColumn<QByteArray>("table"); // lines 2 and 3 of the settings file
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // expected in stdout or stderr

    QTest::newRow("all renamed") << QByteArray("\"ab\"\r\n\"b\\\"\r\n") << QStringList{u"aXb.ts"_s, u"c.ts"_s}
                                 << QStringList{u"X.ts"_s, u"c.ts"_s} << 0 << u"aXb.ts → X.ts"_s;
    QTest::newRow("a rename failed") << QByteArray("\"!\"\r\n\"\\\"\r\n")
                                     << QStringList{u"a!.ts"_s, u"a.ts"_s}
                                     << QStringList{u"a!.ts"_s, u"a.ts"_s} << 3 << u"a!.ts → a.ts"_s;
    QTest::newRow("cyclic table refused") << QByteArray("\"ab\"\r\n\"ba\"\r\n") << QStringList{u"ab.ts"_s}
                                          << QStringList{u"ab.ts"_s} << 1 << u"[入力エラー]"_s;
#ifndef Q_OS_WIN // a name beginning with "." hides nothing on Windows
    QTest::newRow("name that would hide the file refused")
        << QByteArray("\"!\"\r\n\".\"\r\n") << QStringList{u"!x.ts"_s} << QStringList{u"!x.ts"_s} << 3
        << u"隠しファイル"_s;
#endif
    // An editor saved the table as UTF-8: read as UTF-8 and told.
    QTest::newRow("settings saved as UTF-8")
        << u"\"！\"\r\n\"!\"\r\n"_s.toUtf8() << QStringList{u"a！.ts"_s} << QStringList{u"a!.ts"_s} << 0
        << u"Tassik_Data1.txt は UTF-8 で保存されている"_s;
    QTest::newRow("empty table does nothing") << QByteArray("\"\"\r\n\"\"\r\n") << QStringList{u"ab.ts"_s}
                                              << QStringList{u"ab.ts"_s} << 1 << QString();
}

void HeadlessTest::renamesFromTheSettingsFile() {
    QFETCH(QByteArray, table);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    const QString binDir = qEnvironmentVariable("CHAIN_BIN_DIR");
    if (binDir.isEmpty())
        QSKIP("CHAIN_BIN_DIR is not set; run through ctest");
    QTemporaryDir start;
    QVERIFY(start.isValid());
    QVERIFY(QDir(start.path()).mkdir(u"rec"_s));
    const QString rec = start.filePath(u"rec"_s);
    for (const QString& name : files) {
        QFile file(QDir(rec).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFile settings(start.filePath(u"Tassik_Data1.txt"_s));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(rec.toUtf8() + "\r\n" + table);
    settings.close();

    QProcess tassik;
    tassik.setWorkingDirectory(start.path());
    tassik.start(QDir(binDir).filePath(u"tassik"_s), {u"--headless"_s});
    QVERIFY(tassik.waitForFinished(30000));
    const QString printed = QString::fromUtf8(tassik.readAllStandardOutput() + tassik.readAllStandardError());
    QCOMPARE(tassik.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tassik.exitCode(), exitCode);
    QVERIFY2(printed.contains(output), qPrintable(printed));
    QStringList names = QDir(rec).entryList(QDir::Files);
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
}

void HeadlessTest::undoNamesTheLastBatchBackOnce() {
    const QString binDir = qEnvironmentVariable("CHAIN_BIN_DIR");
    if (binDir.isEmpty())
        QSKIP("CHAIN_BIN_DIR is not set; run through ctest");
    QTemporaryDir start;
    QVERIFY(start.isValid());
    QVERIFY(QDir(start.path()).mkdir(u"rec"_s));
    const QString rec = start.filePath(u"rec"_s);
    for (const QString& name : {u"a!.ts"_s, u"b!.ts"_s}) {
        QFile file(QDir(rec).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFile settings(start.filePath(u"Tassik_Data1.txt"_s));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(rec.toUtf8() + "\r\n\"!\"\r\n\"_\"\r\n");
    settings.close();
    const auto run = [&](const QStringList& arguments, int exitCode, const QString& output) {
        QProcess tassik;
        tassik.setWorkingDirectory(start.path());
        tassik.start(QDir(binDir).filePath(u"tassik"_s), arguments);
        QVERIFY(tassik.waitForFinished(30000));
        const QString printed =
            QString::fromUtf8(tassik.readAllStandardOutput() + tassik.readAllStandardError());
        QCOMPARE(tassik.exitCode(), exitCode);
        QVERIFY2(printed.contains(output), qPrintable(printed));
    };
    run({u"--headless"_s}, 0, u"b!.ts → b_.ts"_s);
    QCOMPARE(QDir(rec).entryList(QDir::Files), (QStringList{u"a_.ts"_s, u"b_.ts"_s}));
    run({u"--undo"_s}, 2, u"--headless"_s);
    run({u"--headless"_s, u"--undo"_s}, 0, u"元の名前に戻しました: b_.ts → b!.ts"_s);
    QCOMPARE(QDir(rec).entryList(QDir::Files), (QStringList{u"a!.ts"_s, u"b!.ts"_s}));
    run({u"--headless"_s, u"--undo"_s}, 1, u"元に戻してあるため、何もしません"_s);
}

QTEST_GUILESS_MAIN(HeadlessTest)
#include "test_headless.moc"
