// The settings file Tassik_Data1.txt: reading with its defaults, and "記憶".

#include "Actions.h"
#include "InputErrorCheck.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "Texts.h"
#include "ValueTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tassik;
using namespace Qt::StringLiterals;
using chain::testing::readFile;
using chain::testing::writeFile;

class SettingsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void readsFileOrFallsBackToDefaults_data();
    void readsFileOrFallsBackToDefaults();
    void savedStringsComeBackUnchanged_data();
    void savedStringsComeBackUnchanged();
    void saveWritesCp932LinesWithCrLf();
    void saveWritesSlotOneNotTheTypedFolder();
    void saveRefusesUnusableTables_data();
    void saveRefusesUnusableTables();
    void saveFailureIsReportedAndKeepsOldFile();
    void startUpTellsOfAFileItCouldNotUse_data();
    void startUpTellsOfAFileItCouldNotUse();

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path() const { return chain::testing::inFolder(m_dir->path(), text::settingsFileName()); }
};

void SettingsTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void SettingsTest::readsFileOrFallsBackToDefaults_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("folder");     // "<start>" stands for the start folder
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString start = u"<start>"_s;
    QTest::newRow("missing file") << QByteArray() << start << QString() << QString();
    QTest::newRow("plain file") << QByteArray("D:\\rec\r\n\"ab\"\r\n\"b\\\"\r\n") << u"D:\\rec"_s << u"ab"_s
                                << u"b\\"_s;
    QTest::newRow("blanks around line 1 trimmed")
        << QByteArray("  /data/rec  \r\n\"a\"\r\n\"b\"\r\n") << u"/data/rec"_s << u"a"_s << u"b"_s;
    QTest::newRow("blanks inside quotes kept, outside dropped")
        << QByteArray("f\r\n   \" a\"  \r\n \"_ \"\r\n") << u"f"_s << u" a"_s << u"_ "_s;
    QTest::newRow("empty quotes give an empty string")
        << QByteArray("f\r\n\"\"\r\n\"x\"\r\n") << u"f"_s << QString() << u"x"_s;
    QTest::newRow("line 2 of one character gives all defaults")
        << QByteArray("f\r\n\"\r\n\"x\"\r\n") << start << QString() << QString();
    QTest::newRow("line 3 empty gives all defaults")
        << QByteArray("f\r\n\"a\"\r\n\r\n") << start << QString() << QString();
    QTest::newRow("two lines give all defaults")
        << QByteArray("f\r\n\"a\"\r\n") << start << QString() << QString();
    QTest::newRow("lone LF line ends read too")
        << QByteArray("f\n\"a\"\n\"b\"\n") << u"f"_s << u"a"_s << u"b"_s;
    QTest::newRow("cp932 full-width characters")
        << QByteArray("f\r\n\"!?\"\r\n\"\x81\x49\\\"\r\n") << u"f"_s << u"!?"_s << u"！\\"_s;
    QTest::newRow("bytes that are not cp932 give defaults")
        << QByteArray("f\r\n\"\x81\"\r\n\"x\"\r\n") << start << QString() << QString();
}

void SettingsTest::readsFileOrFallsBackToDefaults() {
    QFETCH(QByteArray, content);
    QFETCH(QString, folder);
    QFETCH(QString, before);
    QFETCH(QString, after);

    if (!content.isEmpty())
        writeFile(path(), content);
    const ValueTable values = startUp(m_dir->path());
    QCOMPARE(values.text(slot::StartFolder), m_dir->path());
    QCOMPARE(values.text(slot::RenameFolder), folder == u"<start>"_s ? m_dir->path() : folder);
    QCOMPARE(values.text(slot::BeforeString), before);
    QCOMPARE(values.text(slot::AfterString), after);
}

void SettingsTest::savedStringsComeBackUnchanged_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("full-width and deletion") << u"!?"_s << u"！\\"_s;
    QTest::newRow("leading blank") << u" a"_s << u"_b"_s;
    QTest::newRow("trailing blank before") << u"a "_s << u"b_"_s;
    QTest::newRow("trailing blank after") << u"!a"_s << u"\\ "_s;
    QTest::newRow("double quote inside") << u"\"a"_s << u"'b"_s;
}

void SettingsTest::savedStringsComeBackUnchanged() {
    QFETCH(QString, before);
    QFETCH(QString, after);

    ValueTable values = startUp(m_dir->path());
    values.set(slot::RenameFolder, u"/data/rec"_s);
    chain::RecordingDialogs dialogs;
    QVERIFY(saveTable(dialogs, values, before, after));
    QVERIFY(dialogs.shown.isEmpty());

    const ValueTable loaded = startUp(m_dir->path());
    QCOMPARE(loaded.text(slot::RenameFolder), u"/data/rec"_s);
    QCOMPARE(loaded.text(slot::BeforeString), before);
    QCOMPARE(loaded.text(slot::AfterString), after);
}

void SettingsTest::saveWritesCp932LinesWithCrLf() {
    ValueTable values = startUp(m_dir->path());
    values.set(slot::RenameFolder, u"D:\\録画"_s);
    chain::RecordingDialogs dialogs;
    QVERIFY(saveTable(dialogs, values, u"!?"_s, u"！\\"_s));
    // 録 is 0x98 0x5E and 画 is 0x89 0xE6 in cp932, ！ is 0x81 0x49.
    QCOMPARE(readFile(path()), QByteArray("D:\\\x98\x5E\x89\xE6\r\n\"!?\"\r\n\"\x81\x49\\\"\r\n"));
}

void SettingsTest::saveWritesSlotOneNotTheTypedFolder() {
    ValueTable values = startUp(m_dir->path());
    chain::RecordingDialogs dialogs;
    QVERIFY(saveTable(dialogs, values, u"a"_s, u"b"_s));
    QVERIFY(readFile(path()).startsWith((m_dir->path() + u"\r\n"_s).toUtf8()));
}

void SettingsTest::saveRefusesUnusableTables_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message"); // empty: no box at all

    QTest::newRow("before empty") << QString() << u"x"_s << QString();
    QTest::newRow("after empty") << u"x"_s << QString() << QString();
    QTest::newRow("lengths differ") << u"abc"_s << u"xy"_s << text::lengthMessage();
    QTest::newRow("cycle") << u"ab"_s << u"ba"_s << u"「a」 → 「b」 → 「a」"_s;
}

void SettingsTest::saveRefusesUnusableTables() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, message);

    const ValueTable values = startUp(m_dir->path());
    chain::RecordingDialogs dialogs;
    QVERIFY(!saveTable(dialogs, values, before, after));
    QVERIFY(!QFile::exists(path()));
    testing::checkInputError(dialogs, message);
}

void SettingsTest::saveFailureIsReportedAndKeepsOldFile() {
    writeFile(path(), QByteArray("old\r\n\"a\"\r\n\"b\"\r\n"));
    const ValueTable values = startUp(m_dir->path());
    chain::RecordingDialogs dialogs;
    // A character cp932 has no code for can't be written.
    QVERIFY(!saveTable(dialogs, values, u"😀"_s, u"x"_s));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, text::saveErrorTitle());
    QVERIFY(dialogs.shown[0].text.contains(path()));
    QVERIFY2(dialogs.shown[0].text.contains(u"「😀」"_s),
             qPrintable(dialogs.shown[0].text)); // named, never "?"
    QCOMPARE(readFile(path()), QByteArray("old\r\n\"a\"\r\n\"b\"\r\n"));
}

void SettingsTest::startUpTellsOfAFileItCouldNotUse_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // empty: no such file
    QTest::addColumn<QString>("told");     // in the notes; empty: no notes
    QTest::addColumn<bool>("backedUp");    // kept as <file>.bak (.bak2) by the first save
    QTest::addColumn<bool>("olderBackup"); // a <file>.bak is there already

    const QString settings = text::settingsFileName();
    const QByteArray unreadable("D:\\\x81\r\n\"!?\"\r\n\"!?\"\r\n");
    QTest::newRow("no file") << settings << QByteArray() << QString() << false << false;
    QTest::newRow("neither cp932 nor UTF-8")
        << settings << unreadable << u"Tassik_Data1.txt を読めないため"_s << true << false;
    QTest::newRow("neither cp932 nor UTF-8, an older backup there")
        << settings << unreadable << u"Tassik_Data1.txt.bak2 として残ります"_s << true << true;
    QTest::newRow("too short") << settings << QByteArray("f\r\n") << u"行が足りない"_s << false << false;
    QTest::newRow("leftover of an interrupted save")
        << settings + u".tmp~Ab12Cd"_s << QByteArray("half") << u"一時ファイル"_s << false << false;
}

// A settings file that is there but can't be used is told (the window shows it above
// the preview, the headless run prints it) and kept as <name>.bak by the first save;
// what an interrupted save left is removed.
void SettingsTest::startUpTellsOfAFileItCouldNotUse() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    QFETCH(bool, backedUp);
    QFETCH(bool, olderBackup);

    if (olderBackup)
        writeFile(m_dir->filePath(file + u".bak"_s), "an older backup");
    if (!bytes.isEmpty())
        writeFile(m_dir->filePath(file), bytes);
    QStringList notes;
    const ValueTable values = startUp(m_dir->path(), &notes);
    if (told.isEmpty()) {
        QVERIFY2(notes.isEmpty(), qPrintable(notes.join(u'\n')));
    } else {
        QCOMPARE(notes.size(), 1);
        QVERIFY2(notes[0].contains(told), qPrintable(notes[0]));
    }
    QCOMPARE(values.text(slot::RenameFolder), m_dir->path()); // the defaults apply
    QVERIFY(!QFile::exists(m_dir->filePath(text::settingsFileName() + u".tmp~Ab12Cd"_s)));

    chain::RecordingDialogs dialogs;
    QVERIFY(saveTable(dialogs, values, u"a"_s, u"b"_s));
    QCOMPARE(readFile(m_dir->filePath(file + (olderBackup ? u".bak2"_s : u".bak"_s))),
             backedUp ? bytes : QByteArray());
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
