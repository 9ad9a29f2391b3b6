#include "CharTableRule.h"
#include "IntervalRules.h"
#include "KeywordListEdit.h"
#include "OutputNameRule.h"

#include <QTest>

using namespace kestrune;

namespace {
QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* item : items)
        out.append(QString::fromUtf8(item));
    return out;
}
} // namespace

// The widget-free rules behind the windows' boxes and buttons.
class UiRulesTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // The box keeps its text within 1-60; the engine (and start-up, window and headless
    // alike) read the slot as the whole number of that kept text.
    void individualIntervalStaysWithinOneToSixty_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("seconds");
        QTest::newRow("above 60") << "75"
                                  << "60" << 60;
        QTest::newRow("60 itself") << "60"
                                   << "60" << 60;
        QTest::newRow("zero") << "0"
                              << "1" << 1;
        QTest::newRow("cleared") << ""
                                 << "1" << 1;
        QTest::newRow("not a number") << "ab"
                                      << "1" << 1;
        QTest::newRow("fraction below 1") << ".5"
                                          << "1" << 1;
        QTest::newRow("fraction kept") << "7."
                                       << "7." << 7;
        QTest::newRow("leading number with tail") << "9x"
                                                  << "9x" << 9;
        QTest::newRow("tie rounds to even") << "5.5"
                                            << "5.5" << 6;
        QTest::newRow("×1000 would overflow") << "2147484"
                                              << "60" << 60;
        QTest::newRow("beyond int") << "99999999999"
                                    << "60" << 60;
        QTest::newRow("60.4 is above 60") << "60.4"
                                          << "60" << 60;
    }
    void individualIntervalStaysWithinOneToSixty() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, seconds);
        QCOMPARE(keptIndividualInterval(typed), kept);
        QCOMPARE(individualIntervalSeconds(typed), seconds);
    }

    void checkIntervalAcceptsTwentyToThreeHundredRounded_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("inRange");
        QTest::newRow("19.5 rounds up to 20") << "19.5" << 20 << true;
        QTest::newRow("300.5 rounds to even 300") << "300.5" << 300 << true;
        QTest::newRow("300.6 rounds to 301") << "300.6" << 300 << false;
        QTest::newRow("leading blank") << " 45" << 45 << true;
        QTest::newRow("19.4 rounds to 19") << "19.4" << 20 << false;
        QTest::newRow("not a number") << "abc" << 20 << false;
    }
    void checkIntervalAcceptsTwentyToThreeHundredRounded() {
        QFETCH(QString, typed);
        QFETCH(int, seconds);
        QFETCH(bool, inRange);
        const CheckInterval verdict = checkInterval(typed);
        QCOMPARE(verdict.seconds, seconds);
        QCOMPARE(verdict.inRange, inRange);
    }

    void outputNameRefusesBlankAndForbiddenCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("problem");
        const int none = int(OutputNameProblem::None);
        const int empty = int(OutputNameProblem::Empty);
        const int forbidden = int(OutputNameProblem::Forbidden);
        QTest::newRow("plain") << "news" << none;
        QTest::newRow("leading blank kept") << " news" << none;
        QTest::newRow("blanks only") << "   " << empty;
        QTest::newRow("empty") << "" << empty;
        QTest::newRow("colon") << "a:b" << forbidden;
        QTest::newRow("double quote") << "a\"b" << forbidden;
        QTest::newRow("ampersand") << "a&b" << forbidden;
        QTest::newRow("star") << "a*b" << forbidden;
        QTest::newRow("backslash") << "a\\b" << forbidden;
        QTest::newRow("dot") << "a.b" << forbidden;
        QTest::newRow("slash") << "a/b" << forbidden;
        QTest::newRow("question mark is allowed") << "a?b" << none;
    }
    void outputNameRefusesBlankAndForbiddenCharacters() {
        QFETCH(QString, name);
        QFETCH(int, problem);
        QCOMPARE(int(checkOutputName(name)), problem);
    }

    void charTableIsStoredOnlyWithEqualLengths_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("verdict");
        QTest::newRow("equal") << "!?"
                               << "xy" << int(CharTableVerdict::Store);
        QTest::newRow("differ") << "abc"
                                << "xy" << int(CharTableVerdict::LengthsDiffer);
        QTest::newRow("before empty") << ""
                                      << "xy" << int(CharTableVerdict::Nothing);
        QTest::newRow("lengths in characters") << "😀!"
                                               << "x！" << int(CharTableVerdict::Store);
        QTest::newRow("after empty") << "ab"
                                     << "" << int(CharTableVerdict::Nothing);
    }
    void charTableIsStoredOnlyWithEqualLengths() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, verdict);
        QCOMPARE(int(checkCharTable(before, after)), verdict);
    }

    void keywordIsAddedBelowTheSelectedRow_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("empty list") << list({}) << -1 << "D" << list({"D"}) << 0;
        QTest::newRow("last row selected") << list({"D"}) << 0 << "A" << list({"D", "A"}) << 1;
        QTest::newRow("first row selected")
            << list({"A", "B", "C"}) << 0 << "X" << list({"A", "X", "B", "C"}) << 1;
        QTest::newRow("none selected goes to top")
            << list({"A", "B", "C"}) << -1 << "X" << list({"X", "A", "B", "C"}) << -1;
        QTest::newRow("blanks kept at the end") << list({}) << -1 << " X " << list({" X "}) << 0;
        QTest::newRow("blanks trimmed in the middle")
            << list({"A", "B"}) << 0 << " X " << list({"A", "X", "B"}) << 1;
        QTest::newRow("blank entry adds nothing") << list({"A"}) << 0 << "  " << list({"A"}) << 0;
        // Trimming takes blanks (spaces) only, as every settings text does.
        QTest::newRow("tab is kept") << list({"A", "B"}) << 0 << "\tX" << list({"A", "\tX", "B"}) << 1;
        QTest::newRow("ideographic space is kept")
            << list({"A", "B"}) << 0 << " 　X　 " << list({"A", "　X　", "B"}) << 1;
        QTest::newRow("ideographic space alone is an entry")
            << list({"A"}) << 0 << "　" << list({"A", "　"}) << 1;
    }
    void keywordIsAddedBelowTheSelectedRow() {
        QFETCH(QStringList, rows);
        QFETCH(int, selected);
        QFETCH(QString, entry);
        QFETCH(QStringList, expected);
        QFETCH(int, selectedAfter);
        KeywordListEdit edit(rows);
        edit.select(selected);
        edit.add(entry);
        QCOMPARE(edit.rows(), expected);
        QCOMPARE(edit.selected(), selectedAfter);
    }

    void changeRefusesTheSelectedRowsOwnText() {
        KeywordListEdit edit({QStringLiteral("A"), QStringLiteral("B")});
        edit.select(1);
        QCOMPARE(edit.change(QStringLiteral("B")), KeywordListEdit::Outcome::Duplicate);
        QCOMPARE(edit.change(QStringLiteral(" C ")), KeywordListEdit::Outcome::Done);
        QCOMPARE(edit.rows(), (list({"A", "C"})));
        QCOMPARE(edit.selected(), 1);
        edit.select(-1);
        QCOMPARE(edit.change(QStringLiteral("D")), KeywordListEdit::Outcome::Nothing);
    }

    void movesStopAtTheEnds() {
        KeywordListEdit edit({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        edit.select(0);
        edit.moveUp();
        QCOMPARE(edit.rows(), (list({"A", "B", "C"})));
        edit.moveDown();
        QCOMPARE(edit.rows(), (list({"B", "A", "C"})));
        QCOMPARE(edit.selected(), 1);
        edit.select(2);
        edit.moveDown();
        QCOMPARE(edit.rows(), (list({"B", "A", "C"})));
        edit.moveUp();
        QCOMPARE(edit.rows(), (list({"B", "C", "A"})));
        edit.remove();
        QCOMPARE(edit.rows(), (list({"B", "A"})));
        QCOMPARE(edit.selected(), -1);
    }
};

QTEST_APPLESS_MAIN(UiRulesTest)
#include "test_window_rules.moc"
