// The fault matrix: the built programs, run headless on real folders with the stand-in
// tools, meet each fault on each of their rename, move and delete paths, and are killed
// at random moments and started again. After each, every user's file is where its
// program's rules put it or still once in its own folder with the same bytes, the failure
// was told, and the program went on to the end. The table of what happened is printed at
// the end (docs/reliability.md keeps a copy).

#include "Bench.h"

#include "m2vjobs/tests/WaveBytes.h"
#include "tsdemux/Slots.h"

#include "FileIdentity.h"
#include "RunRecord.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

using faults::Bench;
using faults::Program;

namespace {

// How a fault is put in the program's way.
enum class Fault {
    Block,         // a user's file already under the target name
    BlockWhile,    // a user's file put under the target name once the tool has started
    Taken,         // a user's recording already under the target name, taken up too
    ReadOnly,      // the folder's entries can't be changed
    OtherFs,       // the folder lies on another filesystem
    Full,          // the folder's filesystem is full
    NoExec,        // the tool can't be started
    Knob,          // the stand-in is told to write nothing, or an output cut short
    ReadOnlyWhile, // the folder becomes read-only once the tool has started
    DeleteWhile,   // the file is deleted while the tool works on it
    // A finished run's record put back (as the program was killed before removing it), the
    // files of the text (blank-separated) taken away by the user, and a new file under each
    // name of the target (blank-separated).
    StaleRecord,
    // A run record whose paths all lie in a folder "victim" of the user's files, the files
    // of the target (blank-separated), with their true identities.
    TamperedRecord,
    ForeignOutput, // the tool writes nothing, and a user's file appears under the target meanwhile
    ReplaceWhile,  // the file is replaced by a new one of the same name once the tool has started
};

struct Case {
    const char* fault; // the table's row
    Program program;
    const char* option; // Pellavo's delete flag, Orvane's delete option
    const char* hits;   // the path the fault hits
    Fault how;
    const char* target;   // the folder or file the fault concerns (a knob: its file in prog)
    const char* text;     // a knob's contents; for a stale record, the files taken away
    const char* expected; // the outcome of each input (see Bench::outcomes), blank-separated
    const char* told;     // what the run must print about it
    int exitCode;
    const char* afterRestart = ""; // faults undone and the program started again: the outcomes then
    // A second user's file, under this name from the start and taken away before the restart.
    const char* alsoBlocked = "";
    // How often the tool ran, and on what (see Bench::toolRuns); checked when given.
    const char* ran = "";
};

// The trigger for faults that strike while the tool works: the program's word that it started it.
QString toolStarted(Program program) {
    switch (program) {
    case Program::Kestrune:
        return QStringLiteral("変換を開始しました: ");
    case Program::Pellavo:
        return QStringLiteral("VirtualDub を起動しました");
    case Program::Orvane:
        return QStringLiteral("を VirtualDub に渡しました");
    case Program::Tassik:
        break;
    }
    return {};
}

// Kestrune's inputs: 番組!.ts (renamed 番組！.ts before the demuxer runs) and b.ts;
// Pellavo's: a.m2v, a.wav, b.m2v, b.wav; Orvane's: a.jobs, b.jobs; Tassik's: x!.ts, y!.ts.
const QList<Case>& cases() {
    using P = Program;
    using F = Fault;
    static const QList<Case> all = {
        {"name taken", P::Kestrune, "0", "rename through the character table", F::Taken, "rec/番組！.ts", "",
         "kept filed filed", "名前変更できません", 3},
        {"name taken", P::Kestrune, "0", "move to the after-conversion folder", F::Block, "done/b.ts", "",
         "filed kept", "移動できません", 3},
        {"name taken", P::Pellavo, "0", "naming the .avi", F::Block, "avi/a.avi", "", "kept kept filed filed",
         "既にある", 3},
        {"name taken", P::Pellavo, "0", "filing the .wav", F::Block, "done/a.wav", "",
         "filed kept filed filed", "移動できません", 3},
        {"name taken", P::Pellavo, "0", "filing the .m2v", F::Block, "done/a.m2v", "",
         "kept filed filed filed", "移動できません", 3},
        {"name taken", P::Pellavo, "0", "name back of the .m2v (taken while VirtualDub runs)", F::BlockWhile,
         "m2v/a.m2v", "", "filed filed filed filed", "移動できません", 3},
        {"two names taken", P::Pellavo, "0", "name back (taken while VirtualDub runs) and filing of the .m2v",
         F::BlockWhile, "m2v/a.m2v", "", "temporary-name filed kept kept", "次の開始で", 3,
         "filed filed filed filed", "done/a.m2v"},
        {"name taken", P::Orvane, "0", "move of the jobs file", F::Block, "moved/a.jobs", "", "kept filed",
         "移動できません", 3},
        {"name taken", P::Tassik, "0", "rename", F::Block, "rec/x！.ts", "", "kept filed",
         "名前を変更できません", 3},

        {"read-only folder", P::Kestrune, "0", "rename and move out of the source folder", F::ReadOnly, "rec",
         "", "kept kept", "できません", 3},
        {"read-only folder", P::Kestrune, "0", "move into the after-conversion folder", F::ReadOnly, "done",
         "", "renamed kept", "移動できません", 3},
        {"read-only folder", P::Pellavo, "0", "temporary name of the .m2v", F::ReadOnly, "m2v", "",
         "kept kept kept kept", "移動できません", 3},
        {"read-only folder", P::Pellavo, "0", "filing the .m2v and .wav", F::ReadOnly, "done", "",
         "kept kept kept kept", "移動できません", 3},
        {"read-only folder", P::Pellavo, "1", "name back and delete of the .m2v", F::ReadOnlyWhile, "m2v", "",
         "temporary-name kept kept kept", "次の開始で", 3, "filed filed filed filed"},
        {"read-only folder", P::Orvane, "1", "delete of the jobs file", F::ReadOnly, "jobs", "", "kept kept",
         "削除できません", 3},
        {"read-only folder", P::Orvane, "0", "move of the jobs file", F::ReadOnly, "moved", "", "kept kept",
         "移動できません", 3},
        {"read-only folder", P::Tassik, "0", "rename", F::ReadOnly, "rec", "", "kept kept",
         "名前を変更できません", 3},

        {"another filesystem", P::Kestrune, "0", "move to the after-conversion folder", F::OtherFs, "done",
         "", "renamed kept", "別のドライブ", 3},
        {"another filesystem", P::Pellavo, "0", "filing the .m2v and .wav", F::OtherFs, "done", "",
         "kept kept kept kept", "別のドライブ", 3},
        {"another filesystem", P::Orvane, "0", "move of the jobs file (copied, then deleted)", F::OtherFs,
         "moved", "", "filed filed", "移動しました", 0},

        {"full filesystem", P::Kestrune, "0", "run record before the start (rename undone)", F::Full, "prog",
         "", "kept kept", "変換の記録", 3},
        {"full filesystem", P::Kestrune, "0", "demuxer output", F::Full, "out", "", "renamed kept",
         "書かれていない", 3},
        {"full filesystem", P::Pellavo, "0", "VirtualDub.jobs", F::Full, "prog", "", "kept kept kept kept",
         "書き込めません", 3},
        {"full filesystem", P::Pellavo, "0", "VirtualDub output", F::Full, "avi", "", "kept kept kept kept",
         "できていません", 3},
        {"full filesystem", P::Orvane, "0", "VirtualDub.jobs", F::Full, "prog", "", "kept kept",
         "書き込めません", 3},
        {"full filesystem", P::Tassik, "0", "rename (needs no space)", F::Full, "rec", "", "filed filed",
         "名前を変更しました", 0},

        {"tool can't start", P::Kestrune, "0", "rename undone", F::NoExec, "", "", "kept kept",
         "起動できません", 3},
        {"tool can't start", P::Pellavo, "0", "temporary name undone", F::NoExec, "", "",
         "kept kept kept kept", "起動できません", 3},
        {"tool can't start", P::Orvane, "0", "jobs file kept", F::NoExec, "", "", "kept kept",
         "起動できません", 3},

        {"tool writes nothing", P::Kestrune, "0", "move after the demuxer", F::Knob, "BonTsDemux.fail", "",
         "renamed kept", "書かれていない", 3},
        {"tool writes nothing", P::Pellavo, "0", "naming the .avi, filing", F::Knob, "VirtualDub.fail", "",
         "kept kept kept kept", "できていません", 3},
        {"tool writes nothing", P::Orvane, "0", "move of the jobs file (handed over is done)", F::Knob,
         "VirtualDub.fail", "", "filed-no-output filed-no-output", "移動しました", 0},

        {"truncated output", P::Kestrune, "0", "move after the demuxer", F::Knob, "BonTsDemux.truncate", "0",
         "renamed kept", "空のため", 3},
        {"truncated output", P::Pellavo, "0", "naming the .avi, filing", F::Knob, "VirtualDub.truncate", "0",
         "kept kept kept kept", "空です", 3},
        {"truncated output", P::Orvane, "0", "move of the jobs file (handed over is done)", F::Knob,
         "VirtualDub.truncate", "0", "filed-no-output filed-no-output", "移動しました", 0},

        {"source deleted while waiting", P::Kestrune, "0", "its turn in the list", F::DeleteWhile,
         "rec/番組!.ts", "", "gone filed", "見つかりません", 3},
        {"source deleted while waiting", P::Pellavo, "1", "filing the .wav, delete of the .m2v",
         F::DeleteWhile, "m2v/a.wav", "", "filed gone filed filed", "見つかりません", 0},
        {"source deleted while waiting", P::Orvane, "0", "move of the jobs file", F::DeleteWhile,
         "jobs/a.jobs", "", "gone filed", "移動できません", 3},

        {"stale run record, new files of the same names", P::Pellavo, "1",
         "finish-off of a run whose .m2v was deleted", F::StaleRecord, "m2v/a.m2v m2v/a.wav", "",
         "filed filed filed filed kept kept", "削除しません", 3, "", "",
         "2 runs: m2v/a.m2v ×1, m2v/b.m2v ×1"},
        {"foreign output", P::Pellavo, "0", "naming the .avi (VirtualDub fails, a user's .avi turns up)",
         F::ForeignOutput, "avi/a.avi", "", "kept kept kept kept", "出力とはみなしません", 3, "", "",
         "2 runs"},
        {"tampered run record", P::Pellavo, "1", "finish-off of a recorded run in a folder of the user's",
         F::TamperedRecord, "victim/v.m2v victim/v.wav victim/v.avi", "", "filed filed filed filed",
         "退避しました", 0, "", "", "2 runs: m2v/a.m2v ×1, m2v/b.m2v ×1"},
        {"stale run record, new files of the same names", P::Kestrune, "0",
         "take-up of a run whose recording was filed (and then taken away)", F::StaleRecord, "rec/b.ts",
         "done/b.ts", "filed gone kept", "記録されたファイルではありません", 3, "", "",
         "2 runs: rec/b.ts ×1, rec/番組！.ts ×1"},
        {"tampered run record", P::Kestrune, "0", "take-up of a recorded run in a folder of the user's",
         F::TamperedRecord, "victim/v.ts victim/v.m2v victim/v.wav", "", "filed filed",
         "変換元フォルダの中にありません", 0, "", "", "2 runs: rec/b.ts ×1, rec/番組！.ts ×1"},
        {"file replaced while the tool runs", P::Kestrune, "0", "move after the demuxer", F::ReplaceWhile,
         "rec/b.ts", "", "filed gone kept", "別のファイルに置き換えられました", 3, "", "",
         "2 runs: rec/b.ts ×1, rec/番組！.ts ×1"},
        {"file replaced while the tool runs", P::Orvane, "0", "move of the jobs file handed over",
         F::ReplaceWhile, "jobs/a.jobs", "", "gone filed filed", "置き換えられたため", 0, "", "",
         "3 runs: clips/a.m2v ×1, clips/a2.m2v ×1, clips/b.m2v ×1"},
    };
    return all;
}

QStringList words(const char* text) {
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

struct TableRow {
    QString fault;
    QString program;
    QString hits;
    QString outcome;
};
QList<TableRow> g_table;

// "a: kept, b: filed"
QString describe(const QStringList& names, const QStringList& outcomes) {
    QStringList parts;
    for (qsizetype i = 0; i < outcomes.size(); ++i)
        parts << (i < names.size() ? names[i] : QString::number(i)) + QStringLiteral(": ") + outcomes[i];
    return parts.join(QStringLiteral(", "));
}

QString toolOf(Program program) {
    return program == Program::Kestrune ? QStringLiteral("BonTsDemux.exe") : QStringLiteral("VirtualDub.exe");
}

// The program's run record, in its start folder.
QString recordOf(Program program) {
    return QStringLiteral("prog/") + faults::nameOf(program).toLower() + QStringLiteral(".run");
}

// A new file of the user's for `relative`, other bytes than any before: a .wav that is one,
// a jobs file that turns a clip of its own ("clips/a2.m2v" for a.jobs) into an .avi.
QByteArray newFile(const Bench& bench, const QString& relative) {
    if (relative.endsWith(QStringLiteral(".wav")))
        return pellavo::testing::pcmWave(700);
    if (relative.endsWith(QStringLiteral(".jobs"))) {
        const QString base = relative.section(u'/', -1).section(u'.', 0, 0) + u'2';
        return (chain::testing::jobsFile(bench.path("clips/" + base + ".m2v"),
                                         bench.path("avi/" + base + ".avi"))
                    .join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n"))
            .toUtf8();
    }
    return "a new file of the user's: " + relative.toUtf8();
}

// The run record as the program last writes it before removing it: Pellavo's records the
// .avi's identity ("-" until then) just before it names the .avi.
void putBack(const Bench& bench, Program program, const QByteArray& record) {
    chain::testing::writeFile(bench.path(recordOf(program)), record);
    const chain::RunRecord file(bench.path(recordOf(program)));
    chain::RunRecord::Loaded loaded = file.load();
    QCOMPARE(int(loaded.state), int(chain::RunRecord::Loaded::State::Present));
    QStringList& fields = loaded.run.fields;
    if (program == Program::Pellavo && fields.value(9) == u"-") { // the .avi's identity, the tenth field
        const std::optional<chain::FileIdentity> avi = chain::fileIdentity(fields.at(3));
        QVERIFY2(avi, qPrintable(fields.at(3)));
        fields[9] = chain::identityText(*avi);
        QCOMPARE(file.save(loaded.run), QString());
    }
}

// A run record that names only the user's files `files` (Pellavo: an .m2v, its .wav and an
// .avi; Kestrune: a recording and the .m2v and .wav demuxed from it), each with its true
// identity, in their folder outside the workspace's folders.
void tamperedRecord(const Bench& bench, Program program, const QStringList& files) {
    chain::RunRecord::Run run{QDateTime::currentDateTimeUtc().addSecs(-1), {}};
    QStringList identities;
    for (const QString& file : files) {
        const std::optional<chain::FileIdentity> identity = chain::fileIdentity(bench.path(file));
        QVERIFY2(identity, qPrintable(file));
        identities << chain::identityText(*identity);
    }
    const QString folder = bench.path(files.first().section(u'/', 0, 0));
    const QString temporary = folder + QStringLiteral("/QWERTYUIOPASDFGHJKLZ");
    if (program == Program::Pellavo)
        run.fields = QStringList{files[0].section(u'/', -1),
                                 files[1].section(u'/', -1),
                                 temporary + ".avi",
                                 bench.path(files[2]),
                                 temporary + ".m2v",
                                 bench.path(files[0]),
                                 folder} +
                     identities;
    else if (program == Program::Kestrune)
        run.fields = QStringList{bench.path(files[0]), files[0].section(u'/', -1),
                                 bench.path(files[1]).chopped(4), kestrune::DemuxBoth, identities[0]};
    QCOMPARE(chain::RunRecord(bench.path(recordOf(program))).save(run), QString());
}

} // namespace

class FaultMatrix : public QObject {
    Q_OBJECT
  private:
    quint32 m_seed = 0;
    bool m_canMount = false;
    QString m_noMount;
    bool m_canMakeReadOnly = false;
    QString m_noReadOnly;

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("CHAIN_BIN_DIR"), "CHAIN_BIN_DIR is not set");
        m_seed = qEnvironmentVariableIsSet("FAULT_SEED") ? qEnvironmentVariable("FAULT_SEED").toUInt()
                                                         : QRandomGenerator::global()->generate();
        std::printf("fault matrix seed: %u (FAULT_SEED=%u repeats the kills)\n", m_seed, m_seed);
        m_canMount = Bench::canMount(&m_noMount);
        m_canMakeReadOnly = Bench::canMakeReadOnly(&m_noReadOnly);
    }

    void cleanupTestCase() {
        std::printf("\n| Fault | Program | Path | Outcome |\n|---|---|---|---|\n");
        for (const TableRow& row : g_table)
            std::printf("| %s | %s | %s | %s |\n", qPrintable(row.fault), qPrintable(row.program),
                        qPrintable(row.hits), qPrintable(row.outcome));
        std::fflush(stdout);
    }

    void faultOnEachPath_data() {
        QTest::addColumn<int>("index");
        for (qsizetype i = 0; i < cases().size(); ++i) {
            const Case& c = cases()[i];
            QTest::addRow("%s, %s: %s", c.fault, qPrintable(faults::nameOf(c.program)), c.hits) << int(i);
        }
    }
    void faultOnEachPath() {
        QFETCH(int, index);
        const Case& c = cases()[index];
        const bool needsMount = c.how == Fault::OtherFs || c.how == Fault::Full;
        const bool needsReadOnly = c.how == Fault::ReadOnly || c.how == Fault::ReadOnlyWhile;
        if ((needsMount && !m_canMount) || (needsReadOnly && !m_canMakeReadOnly)) {
            const QString why = needsMount ? m_noMount : m_noReadOnly;
            g_table << TableRow{c.fault, faults::nameOf(c.program), c.hits,
                                QStringLiteral("skipped: ") + why};
            QSKIP(qPrintable(why));
        }
        Bench bench(c.program, QString::fromLatin1(c.option));
        if (c.how == Fault::OtherFs || c.how == Fault::Full)
            bench.mountTmpfs(QString::fromUtf8(c.target));
        bench.populate();
        const QString target = bench.path(QString::fromUtf8(c.target));
        if (*c.ran)
            bench.logToolRuns();
        QByteArray record; // a run record the test wrote
        switch (c.how) {
        case Fault::Block:
            bench.block(QString::fromUtf8(c.target));
            break;
        case Fault::Taken:
            bench.addInput(QString::fromUtf8(c.target), "a recording of the user's");
            break;
        case Fault::ReadOnly:
            bench.makeReadOnly(QString::fromUtf8(c.target));
            break;
        case Fault::Full:
            bench.fillUp(QString::fromUtf8(c.target));
            break;
        case Fault::NoExec:
            QVERIFY(QFile::setPermissions(bench.path("prog/" + toolOf(c.program)),
                                          QFile::ReadOwner | QFile::WriteOwner));
            break;
        case Fault::Knob:
            chain::testing::writeFile(bench.path("prog/" + QString::fromUtf8(c.target)), c.text);
            break;
        case Fault::StaleRecord:
            bench.run(toolStarted(c.program),
                      [&] { record = chain::testing::readFile(bench.path(recordOf(c.program))); });
            QVERIFY(!record.isEmpty());
            putBack(bench, c.program, record);
            record = chain::testing::readFile(bench.path(recordOf(c.program)));
            for (const QString& file : words(c.text))
                QVERIFY(QFile::remove(bench.path(file)));
            for (const QString& file : words(c.target))
                bench.addInput(file, newFile(bench, file));
            break;
        case Fault::TamperedRecord:
            QVERIFY(QDir(bench.path({})).mkpath(words(c.target).first().section(u'/', 0, 0)));
            for (const QString& file : words(c.target))
                bench.block(file);
            tamperedRecord(bench, c.program, words(c.target));
            record = chain::testing::readFile(bench.path(recordOf(c.program)));
            break;
        case Fault::ForeignOutput:
            chain::testing::writeFile(bench.path("prog/" + toolOf(c.program).replace(".exe", ".fail")), "");
            break;
        case Fault::ReplaceWhile:
            if (c.program == Program::Orvane)
                bench.block("clips/" + QString::fromUtf8(c.target).section(u'/', -1).section(u'.', 0, 0) +
                            "2.m2v");
            break;
        case Fault::OtherFs:
        case Fault::BlockWhile:
        case Fault::ReadOnlyWhile:
        case Fault::DeleteWhile:
            break;
        }
        if (*c.alsoBlocked)
            bench.block(QString::fromUtf8(c.alsoBlocked));
        if (QTest::currentTestFailed())
            return;

        const auto strike = [&] {
            if (c.how == Fault::BlockWhile)
                bench.block(QString::fromUtf8(c.target));
            else if (c.how == Fault::ReadOnlyWhile)
                bench.makeReadOnly(QString::fromUtf8(c.target));
            else if (c.how == Fault::DeleteWhile)
                QVERIFY(QFile::remove(target));
            else if (c.how == Fault::ForeignOutput)
                bench.block(QString::fromUtf8(c.target));
            else if (c.how == Fault::ReplaceWhile)
                bench.replaceInput(QString::fromUtf8(c.target), newFile(bench, QString::fromUtf8(c.target)));
        };
        const bool whileRunning = c.how == Fault::BlockWhile || c.how == Fault::ReadOnlyWhile ||
                                  c.how == Fault::DeleteWhile || c.how == Fault::ForeignOutput ||
                                  c.how == Fault::ReplaceWhile;
        const Bench::Run run = bench.run(whileRunning ? toolStarted(c.program) : QString(), strike);
        QStringList outcomes = bench.outcomes();
        QVERIFY2(outcomes == words(c.expected),
                 qPrintable(describe(bench.names(), outcomes) + u'\n' + run.output));
        QVERIFY2(run.output.contains(QString::fromUtf8(c.told)), qPrintable(run.output));
        QVERIFY2(run.exitCode == c.exitCode, qPrintable(run.output));
        QString outcome = describe(bench.names(), outcomes);
        if (*c.afterRestart) {
            bench.makeWritable();
            if (*c.alsoBlocked)
                bench.unblock(QString::fromUtf8(c.alsoBlocked));
            const Bench::Run again = bench.run();
            outcomes = bench.outcomes();
            QVERIFY2(outcomes == words(c.afterRestart), qPrintable(describe(bench.names(), outcomes) + u'\n' +
                                                                   run.output + u'\n' + again.output));
            outcome += QStringLiteral("; after a restart: ") + describe(bench.names(), outcomes);
        }
        if (!record.isEmpty()) { // a record the test wrote: used up, or set aside whole (for the user)
            const QStringList aside =
                QDir(bench.path("prog")).entryList({recordOf(c.program).section(u'/', -1) + ".damaged-*"});
            if (c.how == Fault::TamperedRecord)
                QVERIFY2(aside.size() == 1, qPrintable(run.output));
            for (const QString& name : aside) {
                QCOMPARE(chain::testing::readFile(bench.path("prog/" + name)), record);
                QVERIFY(QFile::remove(bench.path("prog/" + name)));
            }
        }
        const QStringList wrong = bench.leftovers();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n') + u'\n' + run.output));
        if (*c.told)
            outcome += QStringLiteral("; told 「%1」").arg(QString::fromUtf8(c.told));
        if (*c.ran) {
            const QString runs = bench.toolRuns();
            QVERIFY2(runs == QString::fromUtf8(c.ran), qPrintable(runs + u'\n' + run.output));
            outcome += QStringLiteral("; %1: %2").arg(toolOf(c.program), runs);
        }
        g_table << TableRow{c.fault, faults::nameOf(c.program), c.hits, outcome};
    }

    // Killed (SIGKILL) at a random moment of a run, then started again: nothing is lost or
    // left under a temporary name, and what the killed run left undone is done, at the
    // latest by the start after that.
    void killedAtRandomMoments_data() {
        QTest::addColumn<int>("program");
        for (Program program : {Program::Kestrune, Program::Pellavo, Program::Orvane, Program::Tassik})
            QTest::addRow("%s", qPrintable(faults::nameOf(program))) << int(program);
    }
    void killedAtRandomMoments() {
        constexpr int Kills = 30;
        QFETCH(int, program);
        const auto p = static_cast<Program>(program);
        QRandomGenerator random(m_seed + static_cast<quint32>(program));
        qint64 runMs = 0; // how long an undisturbed run takes
        {
            Bench bench(p, QStringLiteral("0"));
            bench.populate();
            runMs = bench.run().elapsedMs;
            QCOMPARE(bench.outcomes(), QStringList(bench.names().size(), QStringLiteral("filed")));
        }
        int secondStarts = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            const QString option = random.bounded(2) ? QStringLiteral("1") : QStringLiteral("0");
            const int killAfterMs = static_cast<int>(random.bounded(runMs + 1));
            const QString where = QStringLiteral("seed %1, kill %2 after %3 ms, option %4")
                                      .arg(m_seed)
                                      .arg(kill)
                                      .arg(killAfterMs)
                                      .arg(option);
            Bench bench(p, option);
            bench.populate();
            const Bench::Run killed = bench.run({}, {}, killAfterMs);
            for (const QString& outcome : bench.outcomes())
                QVERIFY2(QStringList({"filed", "kept", "renamed", "temporary-name"}).contains(outcome),
                         qPrintable(where + u'\n' + describe(bench.names(), bench.outcomes()) + u'\n' +
                                    killed.output));
            Bench::Run again = bench.run();
            if (bench.outcomes().contains(QStringLiteral("kept")) ||
                bench.outcomes().contains(QStringLiteral("renamed"))) { // passed over until the next start
                ++secondStarts;
                again.output += bench.run().output;
            }
            const QStringList outcomes = bench.outcomes();
            QVERIFY2(outcomes == QStringList(bench.names().size(), QStringLiteral("filed")),
                     qPrintable(where + u'\n' + describe(bench.names(), outcomes) + u'\n' + killed.output +
                                u'\n' + again.output));
            const QStringList wrong = bench.leftovers();
            QVERIFY2(wrong.isEmpty(), qPrintable(where + u'\n' + wrong.join(u'\n') + u'\n' + killed.output +
                                                 u'\n' + again.output));
        }
        g_table << TableRow{QStringLiteral("kill -9 at a random moment, then a restart"), faults::nameOf(p),
                            QStringLiteral("every path of a run"),
                            QStringLiteral("%1 kills: every file filed; %2 needed a second start")
                                .arg(Kills)
                                .arg(secondStarts)};
    }
};

QTEST_GUILESS_MAIN(FaultMatrix)
#include "test_fault_matrix.moc"
