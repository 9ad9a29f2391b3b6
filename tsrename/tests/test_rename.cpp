// "開始" and "追加" on real folders: the batch rename and the checks before it.

#include "Actions.h"
#include "InputErrorCheck.h"
#include "RecordingDialogs.h"
#include "TestFiles.h"
#include "Texts.h"
#include "Undo.h"
#include "ValueTable.h"

#include "NativeName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace tassik;
using namespace Qt::StringLiterals;

namespace {
// The folder's file names, sorted exactly (case counts).
QStringList namesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort(Qt::CaseSensitive);
    return names;
}

void createFiles(const QString& folder, const QStringList& names) {
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
        file.write(name.toUtf8()); // each file holds its first name, to follow it
    }
}
} // namespace

class RenameTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void renamesTsFilesThroughTheTable_data();
    void renamesTsFilesThroughTheTable();
    void secondFileAimingAtATakenNameKeepsIt();
    void forbiddenOrEmptyNamesAreFailures_data();
    void forbiddenOrEmptyNamesAreFailures();
    void namesThatArentUtf8KeepTheirBytes();
    void refusesWithoutTouchingFiles_data();
    void refusesWithoutTouchingFiles();
    void unreadableFolderIsReportedAndRenamesNothing();
    void failureSummaryListsEveryKeptFile();
    void addEntryAppendsOrComplains_data();
    void addEntryAppendsOrComplains();
    void undoNamesTheLastBatchBack_data();
    void undoNamesTheLastBatchBack();

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ValueTable values() const;
};

void RenameTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

ValueTable RenameTest::values() const {
    return startUp(m_dir->path()); // no settings file: the start folder is the rename folder
}

void RenameTest::renamesTsFilesThroughTheTable_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");

#ifndef Q_OS_WIN // a name with "?", which Windows can't hold
    QTest::newRow("full-width replace and delete")
        << u"!?"_s << u"！\\"_s << QStringList{u"a!b?.ts"_s} << QStringList{u"a！b.ts"_s};
#endif
    QTest::newRow("chained entries") << u"ab"_s << u"b\\"_s << QStringList{u"aXb.ts"_s}
                                     << QStringList{u"X.ts"_s};
#ifndef Q_OS_WIN // ABC.TS and ABC.ts differ only in case: one name on Windows
    QTest::newRow("untouched name keeps upper-case extension")
        << u"!"_s << u"\\"_s << QStringList{u"ABC.TS"_s, u"AB!C.TS"_s}
        << QStringList{u"ABC.TS"_s, u"ABC.ts"_s};
#endif
    QTest::newRow("inner dot rewritten, extension not")
        << u"."_s << u"_"_s << QStringList{u"x.y.ts"_s} << QStringList{u"x_y.ts"_s};
    if (!chain::testing::runsUnderWine()) // Wine doesn't rename when only the letter case changes
        QTest::newRow("extension never rewritten")
            << u"ts"_s << u"TS"_s << QStringList{u"st.Ts"_s} << QStringList{u"ST.ts"_s};
    QTest::newRow("only .ts files, any case")
        << u"!"_s << u"_"_s << QStringList{u"a!.m2v"_s, u"b!.tS"_s, u"c!.ts.txt"_s}
        << QStringList{u"a!.m2v"_s, u"b_.ts"_s, u"c!.ts.txt"_s};
    QTest::newRow("duplicate before character uses first entry")
        << u"aa"_s << u"x\\"_s << QStringList{u"banana.ts"_s} << QStringList{u"bxnxnx.ts"_s};
}

void RenameTest::renamesTsFilesThroughTheTable() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);

    createFiles(m_dir->path(), files);
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, values(), before, after);
    QCOMPARE(result.outcome, StartResult::Outcome::Finished);
    QVERIFY(!result.anyFailed());
    QVERIFY(dialogs.shown.isEmpty());
    expected.sort(Qt::CaseSensitive);
    QCOMPARE(namesIn(m_dir->path()), expected);
}

void RenameTest::secondFileAimingAtATakenNameKeepsIt() {
#ifdef Q_OS_WIN
    QSKIP("Its names hold \"?\", which Windows can't");
#endif
    // Listed in the order a!.ts, A?.ts, b!.ts; b.ts is there from the start.
    createFiles(m_dir->path(), {u"A?.ts"_s, u"a!.ts"_s, u"b!.ts"_s, u"b.ts"_s});
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, values(), u"!?A"_s, u"\\\\a"_s);
    QCOMPARE(result.outcome, StartResult::Outcome::Finished);
    QCOMPARE(namesIn(m_dir->path()), (QStringList{u"A?.ts"_s, u"a.ts"_s, u"b!.ts"_s, u"b.ts"_s}));
    QFile kept(m_dir->filePath(u"a.ts"_s));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("a!.ts")); // the first in list order got the name

    QCOMPARE(result.results.size(), std::size_t(3));
    QStringList failed;
    for (const RenameResult& r : result.results) {
        if (!r.error.isEmpty())
            failed << r.oldName;
    }
    QCOMPARE(failed, (QStringList{u"A?.ts"_s, u"b!.ts"_s}));
}

void RenameTest::forbiddenOrEmptyNamesAreFailures_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("error"); // in every file's error

    // "-" becomes "/", which would move the file into a subfolder; "x" and "y" are deleted.
    QTest::newRow("slash and empty name")
        << QStringList{u"a-b.ts"_s, u"xy.ts"_s} << u"-xy"_s << u"/\\\\"_s << QString();
#ifndef Q_OS_WIN
    // A name beginning with "." is a hidden file: no listing would see it again.
    QTest::newRow("leading dot hides the file")
        << QStringList{u"!x.ts"_s} << u"!"_s << u"."_s << u"隠しファイル"_s;
#endif
    // A control character is refused before the system sees the name.
    QTest::newRow("control character")
        << QStringList{u"a!.ts"_s, u"b!.ts"_s} << u"!"_s << u"\x01"_s << u"制御文字"_s;
}

void RenameTest::forbiddenOrEmptyNamesAreFailures() {
    QFETCH(QStringList, files);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, error);
    createFiles(m_dir->path(), files);
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, values(), before, after);
    QCOMPARE(result.outcome, StartResult::Outcome::Finished);
    QCOMPARE(result.results.size(), std::size_t(files.size()));
    for (const RenameResult& r : result.results) {
        QVERIFY(!r.error.isEmpty());
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
    }
    files.sort(Qt::CaseSensitive);
    QCOMPARE(namesIn(m_dir->path()), files);
}

// A name that isn't UTF-8 (raw cp932 bytes, copied from Windows) is renamed under its
// real bytes: only the characters of the table change, and no U+FFFD comes in.
void RenameTest::namesThatArentUtf8KeepTheirBytes() {
#ifdef Q_OS_WIN
    QSKIP("Names on Windows are UTF-16, never raw bytes");
#endif
    const std::string folder = chain::toNative(m_dir->path()) + '/';
    std::ofstream(folder + "\x94\xd4\x91\x67!.ts") << "recording"; // 番組!.ts in cp932
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, values(), u"!"_s, u"！"_s);
    QCOMPARE(result.outcome, StartResult::Outcome::Finished);
    QVERIFY(!result.anyFailed());
    QStringList names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names << QString::fromLatin1(QByteArray::fromStdString(entry.path().filename().string()).toHex());
    QCOMPARE(names, QStringList{QString::fromLatin1(QByteArray("\x94\xd4\x91\x67\xef\xbc\x81.ts").toHex())});
    std::filesystem::remove_all(folder); // QDir can't name it
}

void RenameTest::refusesWithoutTouchingFiles_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message"); // empty: no box

    QTest::newRow("before empty") << QString() << u"a"_s << int(StartResult::Outcome::Ignored) << QString();
    QTest::newRow("after empty") << u"a"_s << QString() << int(StartResult::Outcome::Ignored) << QString();
    QTest::newRow("lengths 3 and 2") << u"abc"_s << u"xy"_s << int(StartResult::Outcome::Refused)
                                     << text::lengthMessage();
    QTest::newRow("self entry") << u"a"_s << u"a"_s << int(StartResult::Outcome::Refused)
                                << u"「a」 → 「a」"_s;
    QTest::newRow("two characters swapped")
        << u"xab"_s << u"\\ba"_s << int(StartResult::Outcome::Refused) << u"「a」 → 「b」 → 「a」"_s;
}

void RenameTest::refusesWithoutTouchingFiles() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, outcome);
    QFETCH(QString, message);

    createFiles(m_dir->path(), {u"abc.ts"_s, u"x.ts"_s});
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, values(), before, after);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(namesIn(m_dir->path()), (QStringList{u"abc.ts"_s, u"x.ts"_s}));
    testing::checkInputError(dialogs, message);
}

void RenameTest::unreadableFolderIsReportedAndRenamesNothing() {
    ValueTable table = values();
    const QString missing = m_dir->filePath(u"nowhere"_s);
    table.set(slot::RenameFolder, missing);
    chain::RecordingDialogs dialogs;
    const StartResult result = startRename(dialogs, table, u"a"_s, u"b"_s);
    QCOMPARE(result.outcome, StartResult::Outcome::Refused);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, text::folderErrorTitle());
    QVERIFY(dialogs.shown[0].text.contains(missing));

    // A blank folder line (it would mean the root) is refused by the setting's name.
    table.set(slot::RenameFolder, QString());
    const StartResult blank = startRename(dialogs, table, u"a"_s, u"b"_s);
    QCOMPARE(blank.outcome, StartResult::Outcome::Refused);
    QCOMPARE(dialogs.shown.size(), 2);
    QVERIFY2(dialogs.shown[1].text.contains(text::folderLabel()), qPrintable(dialogs.shown[1].text));
}

void RenameTest::failureSummaryListsEveryKeptFile() {
    std::vector<RenameResult> results = {{u"ok.ts"_s, u"o.ts"_s, QString()}};
    for (int i = 0; i < 40; ++i)
        results.push_back({u"f%1.ts"_s.arg(i), u"g.ts"_s, u"同じ名前のファイルが既にあります"_s});
    // The box says how many and names the first few; its details list every one.
    const FailureSummary summary = failureSummary(results);
    QVERIFY(summary.text.contains(u"(40 件)"_s));
    QVERIFY(summary.text.contains(u"f0.ts → g.ts: 同じ名前のファイルが既にあります"_s));
    QVERIFY(!summary.text.contains(u"ok.ts"_s));
    QVERIFY(summary.text.contains(u"ほか 37 件"_s));
    QCOMPARE(summary.text.count(u'\n'), 4); // a short box, however many failed
    QCOMPARE(failureLines(results).size(), 40);
    QCOMPARE(summary.details, failureLines(results).join(u'\n'));
    QVERIFY(!summary.details.contains(u"ok.ts"_s));
}

void RenameTest::addEntryAppendsOrComplains_data() {
    QTest::addColumn<QString>("newBefore");
    QTest::addColumn<QString>("newAfter");
    QTest::addColumn<bool>("added");

    QTest::newRow("both given") << u"a"_s << u"\\"_s << true;
    QTest::newRow("full-width") << u"！"_s << u"!"_s << true;
    QTest::newRow("before missing") << QString() << u"x"_s << false;
    QTest::newRow("after missing") << u"x"_s << QString() << false;
}

void RenameTest::addEntryAppendsOrComplains() {
    QFETCH(QString, newBefore);
    QFETCH(QString, newAfter);
    QFETCH(bool, added);

    QString before = u"?"_s;
    QString after = u"\\"_s;
    chain::RecordingDialogs dialogs;
    QCOMPARE(addEntry(dialogs, before, after, newBefore, newAfter), added);
    if (added) {
        QCOMPARE(before, u"?"_s + newBefore);
        QCOMPARE(after, u"\\"_s + newAfter);
        QVERIFY(dialogs.shown.isEmpty());
    } else {
        QCOMPARE(before, u"?"_s);
        QCOMPARE(after, u"\\"_s);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].title, text::inputErrorTitle());
        QCOMPARE(dialogs.shown[0].text, text::emptyCharacterMessage());
    }
}

void RenameTest::undoNamesTheLastBatchBack_data() {
    QTest::addColumn<QString>("disturbance");
    QTest::addColumn<int>("restored"); // files the undo names back itself
    QTest::addColumn<QString>("keepsNewName");

    QTest::newRow("every name restored") << QString() << 100 << QString();
    QTest::newRow("old name taken again: not overwritten") << u"taken"_s << 99 << u"n007_.ts"_s;
    QTest::newRow("file written to since: skipped") << u"changed"_s << 99 << u"n013_.ts"_s;
    QTest::newRow("undo killed halfway, run again") << u"cut short"_s << 50 << QString();
}

void RenameTest::undoNamesTheLastBatchBack() {
    QFETCH(QString, disturbance);
    QFETCH(int, restored);
    QFETCH(QString, keepsNewName);

    const QString folder = m_dir->path();
    QStringList originals;
    for (int i = 0; i < 100; ++i)
        originals << u"n%1!.ts"_s.arg(i, 3, 10, QChar(u'0'));
    createFiles(folder, originals);
    chain::RecordingDialogs dialogs;
    const StartResult batch = startRename(dialogs, values(), u"!"_s, u"_"_s);
    QCOMPARE(batch.outcome, StartResult::Outcome::Finished);
    QCOMPARE(keepUndoJournal(values(), batch.results), QString());
    QCOMPARE(keepUndoJournal(values(), {}), QString()); // a run that renamed nothing keeps it
    QCOMPARE(QDir(folder).entryList({u"*!.ts"_s}, QDir::Files), QStringList());

    QDir dir(folder);
    if (disturbance == u"taken") {
        QFile newcomer(dir.filePath(u"n007!.ts"_s)); // a newcomer under an old name
        QVERIFY(newcomer.open(QIODevice::WriteOnly));
        newcomer.write("newcomer");
    } else if (disturbance == u"changed") {
        QFile file(dir.filePath(u"n013_.ts"_s));
        QVERIFY(file.open(QIODevice::Append));
        file.write("more");
    } else if (disturbance == u"cut short") {
        // A killed undo had named back the newest half, and the journal was not yet marked.
        for (int i = 50; i < 100; ++i)
            QVERIFY(QFile::rename(dir.filePath(u"n%1_.ts"_s.arg(i, 3, 10, QChar(u'0'))),
                                  dir.filePath(originals[i])));
    }

    const QString journal = undoPath(values());
    const UndoPlan plan = planUndo(journal);
    QCOMPARE(plan.state, UndoPlan::State::Ready);
    QCOMPARE(plan.steps.size(), std::size_t(100));
    QCOMPARE(plan.steps.front().restored, u"n099!.ts"_s); // newest first
    const auto planned = std::count_if(plan.steps.begin(), plan.steps.end(), [](const UndoStep& step) {
        return step.status == UndoStatus::Restore;
    });
    QCOMPARE(planned, restored);

    const UndoRun run = undoLastBatch(journal);
    QCOMPARE(run.anyFailed, !keepsNewName.isEmpty());
    QCOMPARE(run.events.filter(u"元の名前に戻しました"_s).size(), restored);
    QStringList expected = originals;
    if (!keepsNewName.isEmpty()) {
        expected << keepsNewName;
        QVERIFY2(run.events.filter(keepsNewName).size() == 1, qPrintable(run.events.join(u'\n')));
    }
    if (disturbance == u"changed")
        expected.removeOne(u"n013!.ts"_s);
    expected.sort();
    QStringList names = dir.entryList({u"*.ts"_s}, QDir::Files);
    names.sort();
    QCOMPARE(names, expected);
    for (const QString& name : names) { // each file holds the name it had first
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray first = name == u"n007!.ts"_s && disturbance == u"taken" ? QByteArray("newcomer")
                                 : name == keepsNewName ? QString(name).replace(u'_', u'!').toUtf8()
                                                        : name.toUtf8();
        QVERIFY(file.readAll().startsWith(first));
    }

    if (disturbance == u"taken") {
        // Once the old name is free, a later undo names the last file back.
        QVERIFY(QFile::remove(dir.filePath(u"n007!.ts"_s)));
        const UndoRun second = undoLastBatch(journal);
        QCOMPARE(second.anyFailed, false);
        QCOMPARE(second.events.filter(u"元の名前に戻しました"_s),
                 QStringList{u"元の名前に戻しました: n007_.ts → n007!.ts"_s});
        expected = originals;
    }
    const UndoRun again = undoLastBatch(journal);
    QCOMPARE(again.state, UndoPlan::State::Nothing);
    QCOMPARE(again.events, QStringList{u"前回の一括変更は元に戻してあるため、何もしません"_s});
    QCOMPARE(dir.entryList({u"*.ts"_s}, QDir::Files).size(), expected.size());
}

QTEST_GUILESS_MAIN(RenameTest)
#include "test_rename.moc"
