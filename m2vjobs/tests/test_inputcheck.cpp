#include "InputCheck.h"

#include "RecordingDialogs.h"

#include <QTemporaryDir>
#include <QTest>

using namespace pellavo;

// The check that guards storing and starting, on the texts of the boxes.
class InputCheckTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void checkStopsAtTheFirstFailure_data() {
        QTest::addColumn<QString>("text1"); // "T/..." lies in a temporary folder, "P/..." on /proc
        QTest::addColumn<QString>("text2");
        QTest::addColumn<QString>("text3");
        QTest::addColumn<QString>("text5");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("titles"); // the boxes shown, in order
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("slot6"); // after the check; it starts as "30"
        const QStringList drive{"ドライブ指定確認"};
        QTest::newRow("below 20") << "P/a"
                                  << "T/b"
                                  << "T/c"
                                  << "15" << QList<bool>{} << QStringList{"確認間隔時間入力エラー"} << false
                                  << "20";
        QTest::newRow("20 passes") << "T/a"
                                   << "P/b"
                                   << "T/c"
                                   << "20" << QList<bool>{} << QStringList{} << true << "30";
        QTest::newRow("60 passes") << "T/a"
                                   << "P/b"
                                   << "T/c"
                                   << "60" << QList<bool>{} << QStringList{} << true << "30";
        QTest::newRow("60.5 rounds to 60") << "T/a"
                                           << "P/b"
                                           << "T/c"
                                           << "60.5" << QList<bool>{} << QStringList{} << true << "30";
        QTest::newRow("double-byte m2v folder")
            << "T/録画"
            << "P/b"
            << "T/c"
            << "30" << QList<bool>{} << QStringList{"ルートフォルダ指定エラー"} << false << "30";
        QTest::newRow("single-byte katakana pass") << "T/ｶﾅ"
                                                   << "P/b"
                                                   << "T/c"
                                                   << "30" << QList<bool>{} << QStringList{} << true << "30";
        QTest::newRow("avi on the m2v drive, No") << "T/a"
                                                  << "T/b"
                                                  << "T/c"
                                                  << "30" << QList<bool>{false} << drive << false << "30";
        QTest::newRow("storage on another drive, No") << "T/a"
                                                      << "P/b"
                                                      << "P/c"
                                                      << "30" << QList<bool>{false} << drive << false << "30";
        QTest::newRow("storage is the m2v folder")
            << "T/a"
            << "P/b"
            << "T/a"
            << "30" << QList<bool>{} << QStringList{"フォルダ指定確認"} << false << "30";
        QTest::newRow("storage is the m2v folder, spelt otherwise")
            << "T/"
            << "P/b"
            << "T/."
            << "30" << QList<bool>{} << QStringList{"フォルダ指定確認"} << false << "30";
    }
    void checkStopsAtTheFirstFailure() {
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        QFETCH(QString, text3);
        QFETCH(QString, text5);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, passed);
        QFETCH(QString, slot6);
        QTemporaryDir dir;
        // Only the leading letter stands for a place: the temporary folder's own name may
        // end in "P" or "T" too.
        const auto place = [&](const QString& text) {
            if (text.startsWith(QStringLiteral("T/")))
                return dir.path() + text.mid(1);
            if (text.startsWith(QStringLiteral("P/")))
                return QStringLiteral("/proc") + text.mid(1);
            return text;
        };
        SettingTable settings(SettingTableSize);
        settings.set(slot::Interval, QStringLiteral("30"));
        settings.set(slot::Abort, QStringLiteral("0"));
        chain::RecordingDialogs dialogs;
        dialogs.answers.append(answers);
        const InputVerdict verdict = InputCheck(
            {place(text1), place(text2), place(text3), QStringLiteral("vd"), text5}, settings, dialogs);
        QCOMPARE(verdict.passed, passed);
        QCOMPARE(settings.text(slot::Abort), passed ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(settings.text(slot::Interval), slot6);
        QCOMPARE(verdict.Text5.has_value(), slot6 != u"30");
        QStringList shown;
        for (const auto& box : dialogs.shown)
            shown << box.title;
        QCOMPARE(shown, titles);
    }
};

QTEST_GUILESS_MAIN(InputCheckTest)
#include "test_inputcheck.moc"
