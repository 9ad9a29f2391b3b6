// The preview: what "開始" would do, worked out from a listing without touching files.

#include "Preview.h"
#include "Texts.h"

#include <QElapsedTimer>
#include <QTest>

using namespace tassik;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PreviewStatus)

namespace {
QList<PreviewStatus> statuses(const Preview& preview) {
    QList<PreviewStatus> list;
    for (const PreviewRow& row : preview.rows)
        list << row.status;
    return list;
}
} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void marksEachRowAsTheRunWouldEndForIt_data();
    void marksEachRowAsTheRunWouldEndForIt();
    void unusableTableChangesNoRow_data();
    void unusableTableChangesNoRow();
    void tenThousandNamesTakeWellUnderASecond();
};

void PreviewTest::marksEachRowAsTheRunWouldEndForIt_data() {
    QTest::addColumn<QStringList>("files");     // the whole listing, in listing order
    QTest::addColumn<QStringList>("alsoThere"); // names taken but not listed: folders, dot-files
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("proposed");
    QTest::addColumn<QList<PreviewStatus>>("expected");

    using S = PreviewStatus;
    QTest::newRow("renamed and unchanged")
        << QStringList{u"a!.ts"_s, u"ABC.TS"_s, u"x.m2v"_s} << QStringList{} << u"!"_s << u"\\"_s
        << QStringList{u"a.ts"_s, u"ABC.TS"_s} << QList<S>{S::Renamed, S::Unchanged};
    QTest::newRow("existing file of the new name")
        << QStringList{u"a!.ts"_s, u"a.ts"_s} << QStringList{} << u"!"_s << u"\\"_s
        << QStringList{u"a.ts"_s, u"a.ts"_s} << QList<S>{S::CollidesExisting, S::Unchanged};
    QTest::newRow("existing non-ts file counts too")
        << QStringList{u"a.ts"_s, u"b.ts.ts"_s} << QStringList{} << u"."_s << u"_"_s
        << QStringList{u"a.ts"_s, u"b_ts.ts"_s} << QList<S>{S::Unchanged, S::Renamed};
    QTest::newRow("earlier row takes the name")
        << QStringList{u"a!.ts"_s, u"a?.ts"_s} << QStringList{} << u"!?"_s << u"\\\\"_s
        << QStringList{u"a.ts"_s, u"a.ts"_s} << QList<S>{S::Renamed, S::CollidesEarlier};
    QTest::newRow("several renames") << QStringList{u"a.ts"_s, u"b.ts"_s} << QStringList{} << u"ab"_s
                                     << u"cd"_s << QStringList{u"c.ts"_s, u"d.ts"_s}
                                     << QList<S>{S::Renamed, S::Renamed};
    QTest::newRow("forbidden character") << QStringList{u"a-b.ts"_s} << QStringList{} << u"-"_s << u"/"_s
                                         << QStringList{u"a/b.ts"_s} << QList<S>{S::BadName};
    // The run refuses a control character in any path it is given; so does the preview.
    QTest::newRow("tab in the new name") << QStringList{u"a!.ts"_s} << QStringList{} << u"!"_s << u"\t"_s
                                         << QStringList{u"a\t.ts"_s} << QList<S>{S::BadName};
    QTest::newRow("empty base name") << QStringList{u"ab.ts"_s} << QStringList{} << u"ab"_s << u"\\\\"_s
                                     << QStringList{u".ts"_s} << QList<S>{S::BadName};
    QTest::newRow("a folder of the new name")
        << QStringList{u"a!.ts"_s} << QStringList{u"a.ts"_s} << u"!"_s << u"\\"_s << QStringList{u"a.ts"_s}
        << QList<S>{S::CollidesExisting};
#ifndef Q_OS_WIN
    // A dot-file of the new name is there (unlisted), but the name fails first: it would hide the file.
    QTest::newRow("new name would be a dot-file")
        << QStringList{u"!a.ts"_s} << QStringList{u".a.ts"_s} << u"!"_s << u"."_s << QStringList{u".a.ts"_s}
        << QList<S>{S::BadName};
#endif
    QTest::newRow("empty table") << QStringList{u"a!.ts"_s} << QStringList{} << QString() << u"\\"_s
                                 << QStringList{u"a!.ts"_s} << QList<S>{S::Unchanged};
}

void PreviewTest::marksEachRowAsTheRunWouldEndForIt() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, alsoThere);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QStringList, proposed);
    QFETCH(QList<PreviewStatus>, expected);

    // The run fails on a name taken by anything; the preview asks as the run would.
    const Preview preview =
        computePreview(files, before, after, [&](const QString& name) { return alsoThere.contains(name); });
    QStringList names;
    for (const PreviewRow& row : preview.rows)
        names << row.proposed;
    QCOMPARE(names, proposed);
    QCOMPARE(statuses(preview), expected);
}

void PreviewTest::unusableTableChangesNoRow_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("note");

    QTest::newRow("lengths differ") << u"ab"_s << u"x"_s << text::lengthMessage();
    QTest::newRow("cycle") << u"ab"_s << u"ba"_s << u"「a」 → 「b」 → 「a」"_s;
}

void PreviewTest::unusableTableChangesNoRow() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, note);

    const Preview preview = computePreview({u"ab.ts"_s, u"c.ts"_s}, before, after);
    QVERIFY2(preview.note.contains(note), qPrintable(preview.note));
    QCOMPARE(statuses(preview),
             (QList<PreviewStatus>{PreviewStatus::TableRefused, PreviewStatus::TableRefused}));
}

void PreviewTest::tenThousandNamesTakeWellUnderASecond() {
    QStringList files;
    for (int i = 0; i < 10000; ++i)
        files << u"【番組】ニュース！第%1回 (再) 2024-01-%2.ts"_s.arg(i).arg(i % 28 + 1);
    // A table of some length with chains, as a user builds it up over time.
    const QString before = u"【】！ ()-第回番組ニュース"_s;
    const QString after = u"[]!_\\\\_#\\\\\\\\\\\\\\"_s;
    QCOMPARE(before.size(), after.size());

    QElapsedTimer clock;
    clock.start();
    const Preview preview = computePreview(files, before, after);
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(preview.rows.size(), std::size_t(10000));
    QCOMPARE(preview.rows[7].proposed, u"[]!#7_再_2024_01_8.ts"_s);
    QCOMPARE(preview.rows[7].status, PreviewStatus::Renamed);
    QVERIFY2(elapsed < 500, qPrintable(u"preview took %1 ms"_s.arg(elapsed)));
}

QTEST_GUILESS_MAIN(PreviewTest)
#include "test_preview.moc"
