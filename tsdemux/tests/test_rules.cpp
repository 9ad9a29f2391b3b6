#include "CommandLine.h"
#include "ConvertName.h"
#include "IndividualList.h"
#include "Keywords.h"
#include "Settings.h"

#include "platform/CommandLine.h"

#include <QTest>

using namespace kestrune;

namespace {
const QString DefaultBefore = QStringLiteral("!?#&~/.");
const QString DefaultAfter = QStringLiteral("！？\\＆～／,");

QStringList split(const QString& line) {
    QStringList args;
    for (const std::string& arg : chain::platform::splitCommandLine(line.toStdString()))
        args << QString::fromStdString(arg);
    return args;
}
} // namespace

// The rules the engine applies: the character table, the keyword filter, the demuxer's
// command line and the output base names of individual conversion.
class RulesTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void convertNameIsOnePassThroughTheTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("converted");
        QTest::addColumn<int>("count");
        QTest::newRow("full-width marks") << "番組!?" << DefaultBefore << DefaultAfter << "番組！？" << 2;
        QTest::newRow("backslash deletes") << "A#B" << DefaultBefore << DefaultAfter << "AB" << 1;
        QTest::newRow("dot becomes comma") << "1.5" << DefaultBefore << DefaultAfter << "1,5" << 1;
        QTest::newRow("untouched") << "news" << DefaultBefore << DefaultAfter << "news" << 0;
        QTest::newRow("first position wins") << "aab"
                                             << "aa"
                                             << "xy"
                                             << "xxb" << 2;
        QTest::newRow("case counts") << "Aa"
                                     << "a"
                                     << "x"
                                     << "Ax" << 1;
        QTest::newRow("no chaining") << "ab"
                                     << "ab"
                                     << "bc"
                                     << "bc" << 2;
        QTest::newRow("short after string deletes") << "abc"
                                                    << "abc"
                                                    << "X"
                                                    << "X" << 3;
        QTest::newRow("character outside the BMP is one position") << "a😀b😁"
                                                                   << "😀😁"
                                                                   << "x\\"
                                                                   << "axb" << 2;
        // A name's byte that isn't UTF-8 travels as a lone surrogate and must come back
        // as the same byte, not as U+FFFD.
        QTest::newRow("bytes that aren't UTF-8 kept")
            << QString(QChar(0xDC94)) + QStringLiteral("g!") << DefaultBefore << DefaultAfter
            << QString(QChar(0xDC94)) + QStringLiteral("g！") << 1;
        QTest::newRow("same character counts") << "ab"
                                               << "a"
                                               << "a"
                                               << "ab" << 1;
    }
    void convertNameIsOnePassThroughTheTable() {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, converted);
        QFETCH(int, count);
        const ConvertedName result = ConvertName(name, before, after);
        QCOMPARE(result.name, converted);
        QCOMPARE(result.count, count);
    }

    void keywordMatchIsExactAndAnywhere_data() {
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");
        QTest::newRow("inside") << QStringList{"HD"} << "番組HD.ts" << true;
        QTest::newRow("case counts") << QStringList{"HD"} << "番組hd.ts" << false;
        QTest::newRow("extension counts") << QStringList{".ts"} << "a.ts" << true;
        QTest::newRow("longer than name") << QStringList{"abcdef"} << "abc" << false;
        QTest::newRow("second keyword") << QStringList{"x", "ニュース"} << "ニュース7.ts" << true;
        QTest::newRow("empty keyword matches all") << QStringList{""} << "a.ts" << true;
        QTest::newRow("no keywords") << QStringList{} << "a.ts" << false;
        QTest::newRow("width counts") << QStringList{"ＨＤ"} << "HD.ts" << false;
    }
    void keywordMatchIsExactAndAnywhere() {
        QFETCH(QStringList, keywords);
        QFETCH(QString, name);
        QFETCH(bool, match);
        Keywords list;
        list.setEntries(keywords);
        QCOMPARE(list.items().at(0), QString::number(keywords.size()));
        QCOMPARE(KeywordMatch(list, name), match);
    }

    void commandLinesOfTheWorkedExamples_data() {
        QTest::addColumn<QStringList>("options"); // slots 6..11
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("argv");
        QTest::newRow("defaults")
            << QStringList{"Demux(m2v+wav)", "0", "0", "0", "0", "1"}
            << R"x(C:\Tools\BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -start -quit)x"
            << QStringList{R"(C:\Tools\BonTsDemux.exe)",
                           "-i",
                           R"(D:\rec\ABC.ts)",
                           "-o",
                           R"(E:\out\ABC)",
                           "-start",
                           "-quit"};
        QTest::newRow("every switch")
            << QStringList{"Demux(m2v)", "3", "1", "1", "1", "0"}
            << R"x(C:\Tools\BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -encode "Demux(m2v)" -sound "3" -es "1" -rf64"1" -vf"1" -nd "0" -start -quit)x"
            << QStringList{R"(C:\Tools\BonTsDemux.exe)",
                           "-i",
                           R"(D:\rec\ABC.ts)",
                           "-o",
                           R"(E:\out\ABC)",
                           "-encode",
                           "Demux(m2v)",
                           "-sound",
                           "3",
                           "-es",
                           "1",
                           "-rf641",
                           "-vf1",
                           "-nd",
                           "0",
                           "-start",
                           "-quit"};
        QTest::newRow("wav only")
            << QStringList{"Demux(wav)", "0", "0", "0", "0", "1"}
            << R"x(C:\Tools\BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -encode "Demux(wav)" -start -quit)x"
            << QStringList{R"(C:\Tools\BonTsDemux.exe)",
                           "-i",
                           R"(D:\rec\ABC.ts)",
                           "-o",
                           R"(E:\out\ABC)",
                           "-encode",
                           "Demux(wav)",
                           "-start",
                           "-quit"};
        // A value ending in "\" (a hand-edited settings file) keeps its closing quote: its
        // backslashes are doubled, and the vector still holds -start -quit.
        QTest::newRow("values ending in a backslash")
            << QStringList{"Demux(m2v)\\", "3\\", "1\\", "1\\", "1\\", "0"}
            << R"x(C:\Tools\BonTsDemux.exe -i "D:\rec\ABC.ts" -o "E:\out\ABC" -encode "Demux(m2v)\\" -sound "3\\" -es "1\\" -rf64"1\\" -vf"1\\" -nd "0" -start -quit)x"
            << QStringList{R"(C:\Tools\BonTsDemux.exe)",
                           "-i",
                           R"(D:\rec\ABC.ts)",
                           "-o",
                           R"(E:\out\ABC)",
                           "-encode",
                           R"(Demux(m2v)\)",
                           "-sound",
                           R"(3\)",
                           "-es",
                           R"(1\)",
                           R"(-rf641\)",
                           R"(-vf1\)",
                           "-nd",
                           "0",
                           "-start",
                           "-quit"};
    }
    void commandLinesOfTheWorkedExamples() {
        QFETCH(QStringList, options);
        QFETCH(QString, line);
        QFETCH(QStringList, argv);
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, QStringLiteral("C:\\Tools"));
        applyDefaults(settings);
        settings.set(slot::OutputFolder, QStringLiteral("E:\\out"));
        for (int k = 0; k < 6; ++k)
            settings.set(slot::DemuxKind + k, options[k]);
        FileRow row;
        row.path = QStringLiteral("D:\\rec\\ABC.ts");
        row.outputName = QStringLiteral("ABC");
        const QString built = BuildCommandLine(settings, row, u'\\');
        QCOMPARE(built, line);
        QCOMPARE(split(built), argv);
    }

    void programFolderWithBlanksStaysOneArgument() {
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, QStringLiteral("/opt/my tools"));
        applyDefaults(settings);
        FileRow row;
        row.path = QStringLiteral("/rec/a b.ts");
        row.outputName = QStringLiteral("a b");
        const QStringList args = split(BuildCommandLine(settings, row, u'/'));
        QCOMPARE(args.value(0), QStringLiteral("/opt/my tools/BonTsDemux.exe"));
        QCOMPARE(args.value(2), QStringLiteral("/rec/a b.ts"));
        QCOMPARE(args.value(4), QStringLiteral("/opt/my tools/a b"));
    }

    void doubleQuoteInAValueIsFound() {
        Settings settings(SettingsSize);
        settings.set(slot::ProgramFolder, QStringLiteral("/p"));
        applyDefaults(settings);
        FileRow row;
        row.path = QStringLiteral("/rec/a.ts");
        row.outputName = QStringLiteral("a");
        QVERIFY(!unsafeCommandValue(settings, row));
        settings.set(slot::OutputFolder, QStringLiteral("/out\"x"));
        QCOMPARE(unsafeCommandValue(settings, row).value_or(QString()), QStringLiteral("/out\"x"));
    }

    void addChosenFilesSkipsListedNamesAndCutsAtFirstTs() {
        IndividualList list;
        list.AddChosenFiles({QStringLiteral("news.tsunami.ts"), QStringLiteral("a.TS")});
        list.AddChosenFiles({QStringLiteral("a.TS"), QStringLiteral("A.ts"), QStringLiteral("noext")});
        QCOMPARE(list.names, (QStringList{"news.tsunami.ts", "a.TS", "A.ts", "noext"}));
        QCOMPARE(list.outputNames, (QStringList{"news", "a", "A", "noext"}));
        list.removeRow(1);
        QCOMPARE(list.names, (QStringList{"news.tsunami.ts", "A.ts", "noext"}));
        QCOMPARE(list.outputNames, (QStringList{"news", "A", "noext"}));
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "test_rules.moc"
