// The substitution table: rewriting of base names and the refusal of cyclic tables.

#include "SubstitutionTable.h"
#include "Texts.h"

#include <QTest>

using namespace tassik;
using namespace Qt::StringLiterals;

class TableTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void rewritesUntilNothingOfTheTableIsLeft_data();
    void rewritesUntilNothingOfTheTableIsLeft();
    void findsCyclesThroughFirstEntriesOnly_data();
    void findsCyclesThroughFirstEntriesOnly();
    void checkTableRefusesWhatCanNotBeUsed_data();
    void checkTableRefusesWhatCanNotBeUsed();
    void cycleMessageNamesTheCharacters();
    void lengthsCountCharactersNotUtf16Units();
};

void TableTest::rewritesUntilNothingOfTheTableIsLeft_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("changed");

    QTest::newRow("full-width replace and delete") << u"!?"_s << u"！\\"_s << u"a!b?"_s << u"a！b"_s << true;
    QTest::newRow("entries chain into deletion") << u"ab"_s << u"b\\"_s << u"aXb"_s << u"X"_s << true;
    QTest::newRow("chain through several entries")
        << u"abc"_s << u"bcd"_s << u"a-b-c"_s << u"d-d-d"_s << true;
    QTest::newRow("untouched name") << u"!"_s << u"\\"_s << u"ABC"_s << u"ABC"_s << false;
    QTest::newRow("inner dot rewritten") << u"."_s << u"_"_s << u"x.y"_s << u"x_y"_s << true;
    QTest::newRow("only first entry of a character counts")
        << u"aa"_s << u"xy"_s << u"banana"_s << u"bxnxnx"_s << true;
    QTest::newRow("later duplicate would have deleted")
        << u"a!a"_s << u"x\\\\"_s << u"a!"_s << u"x"_s << true;
    QTest::newRow("case counts") << u"a"_s << u"\\"_s << u"AaA"_s << u"AA"_s << true;
    QTest::newRow("full-width and half-width differ") << u"！"_s << u"\\"_s << u"a!b！"_s << u"a!b"_s << true;
    QTest::newRow("space as before character") << u" "_s << u"_"_s << u"a b c"_s << u"a_b_c"_s << true;
    QTest::newRow("everything deleted") << u"ab"_s << u"\\\\"_s << u"abba"_s << QString() << true;
    QTest::newRow("character outside the BMP") << u"😀"_s << u"x"_s << u"a😀b"_s << u"axb"_s << true;
    // A name's byte that isn't UTF-8 travels as a lone surrogate: it must come back as the
    // same byte, never as U+FFFD.
    QTest::newRow("bytes that aren't UTF-8 kept")
        << u"!"_s << u"！"_s << QChar(0xDC94) + u"g!"_s << QChar(0xDC94) + u"g！"_s << true;
}

void TableTest::rewritesUntilNothingOfTheTableIsLeft() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    QFETCH(bool, changed);

    const std::optional<Rewritten> result = SubstitutionTable(before, after).rewrite(base);
    QVERIFY(result);
    QCOMPARE(result->text, expected);
    QCOMPARE(result->changes > 0, changed);
}

void TableTest::findsCyclesThroughFirstEntriesOnly_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("cycle");

    QTest::newRow("entry mapping to itself") << u"xa"_s << u"ya"_s << u"aa"_s;
    QTest::newRow("two characters swapped") << u"ab"_s << u"ba"_s << u"aba"_s;
    QTest::newRow("cycle reached from a lead-in") << u"cab"_s << u"aba"_s << u"aba"_s;
    QTest::newRow("three-character cycle") << u"abc"_s << u"bca"_s << u"abca"_s;
    QTest::newRow("chain ending in deletion") << u"ab"_s << u"b\\"_s << QString();
    QTest::newRow("chain leaving the table") << u"abc"_s << u"bcd"_s << QString();
    QTest::newRow("later self entry is never used") << u"aba"_s << u"b\\a"_s << QString();
    QTest::newRow("later entry closing a loop is never used") << u"abb"_s << u"b\\a"_s << QString();
    QTest::newRow("two chains joining") << u"acb"_s << u"bbd"_s << QString();
}

void TableTest::findsCyclesThroughFirstEntriesOnly() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, cycle);

    const std::u32string found = SubstitutionTable(before, after).findCycle();
    QCOMPARE(QString::fromUcs4(found.data(), static_cast<qsizetype>(found.size())), cycle);
}

void TableTest::checkTableRefusesWhatCanNotBeUsed_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("state");

    QTest::newRow("both empty") << QString() << QString() << int(TableCheck::State::Empty);
    QTest::newRow("before empty") << QString() << u"x"_s << int(TableCheck::State::Empty);
    QTest::newRow("after empty") << u"x"_s << QString() << int(TableCheck::State::Empty);
    QTest::newRow("lengths 3 and 2") << u"abc"_s << u"xy"_s << int(TableCheck::State::LengthDiffers);
    QTest::newRow("cycle") << u"ab"_s << u"ba"_s << int(TableCheck::State::Cyclic);
    QTest::newRow("usable chain") << u"ab"_s << u"b\\"_s << int(TableCheck::State::Usable);
}

void TableTest::checkTableRefusesWhatCanNotBeUsed() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, state);

    const TableCheck check = checkTable(before, after);
    QCOMPARE(int(check.state), state);
    if (check.state == TableCheck::State::LengthDiffers)
        QCOMPARE(check.message, text::lengthMessage());
}

void TableTest::cycleMessageNamesTheCharacters() {
    const TableCheck check = checkTable(u"xy "_s, u"1 y"_s);
    QCOMPARE(int(check.state), int(TableCheck::State::Cyclic));
    QVERIFY2(check.message.contains(u"「y」 → 「 」 → 「y」"_s), qPrintable(check.message));
}

void TableTest::lengthsCountCharactersNotUtf16Units() {
    // One character outside the BMP against one plain character is an equal length.
    QCOMPARE(int(checkTable(u"😀"_s, u"x"_s).state), int(TableCheck::State::Usable));
    QCOMPARE(characterCount(u"a😀b"_s), 3);
}

QTEST_GUILESS_MAIN(TableTest)
#include "test_table.moc"
