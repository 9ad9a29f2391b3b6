#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// A workspace of real folders in which one of the built programs runs headless with the
// stand-in tools, the faults the reliability tests put in its way, and what became of each
// of the user's files afterwards.
namespace faults {

enum class Program { Kestrune, Pellavo, Orvane, Tassik };
QString nameOf(Program program);

// A user's file the program works on.
struct Input {
    QString source;  // where it lies at the start
    QByteArray hash; // its sha256
    QString filed;   // where the program's rules put it once done; empty: they delete it
    QString product; // the output that shows it was done; empty: none is looked for
};

class Bench {
  public:
    // The folders of the program's workspace, empty. `option` is Pellavo's delete flag
    // or Orvane's delete option ("0" or "1").
    Bench(Program program, const QString& option);
    ~Bench(); // makes read-only folders writable again and unmounts what was mounted
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    Program program() const { return m_program; }
    QString path(const QString& relative) const;

    // The program's settings, its stand-in tool in "prog" and two inputs (Pellavo: two
    // .m2v with their .wav), all made by the program's own rules.
    void populate();
    // One more input at `relative`.
    void addInput(const QString& relative, const QByteArray& bytes);
    // The inputs' file names, in the order of outcomes().
    QStringList names() const;

    // Faults. A user's file (not an input) under the name; kept and checked unchanged.
    void block(const QString& relative);
    // The user takes that file away again; it must still be as it was.
    void unblock(const QString& relative);
    // The folder's entries can no longer be changed: chattr +i as root, else no write permission.
    void makeReadOnly(const QString& relative);
    // False when makeReadOnly can't work here (as root: no chattr, or a filesystem without
    // the immutable flag); `why` then says so.
    static bool canMakeReadOnly(QString* why);
    // The read-only folders writable again.
    void makeWritable();
    // A small tmpfs over the (empty) folder, so it lies on another filesystem. False when
    // mounting isn't allowed here; `why` then says so.
    static bool canMount(QString* why);
    void mountTmpfs(const QString& relative);
    // The tmpfs over the folder shrunk to what it holds, and what space is left filled.
    void fillUp(const QString& relative);

    // Runs the program headless until it ends by itself (at most a minute); when `trigger`
    // appears in its output, `atTrigger` runs once; with `killAfterMs` >= 0 the program
    // is killed (SIGKILL) that long after its start. Waits until the stand-in tools have
    // ended. The exit status is -1 after a kill.
    struct Run {
        int exitCode = -1;
        QString output;
        qint64 elapsedMs = 0;
    };
    Run run(const QString& trigger = {}, const std::function<void()>& atTrigger = {}, int killAfterMs = -1);
    // Variables ("NAME=value") set in the environment of the runs from now on, in place of
    // those set before.
    void setEnvironment(const QStringList& variables) { m_environment = variables; }

    // What became of each input: "filed" (where its rules put it, or deleted by them, with
    // its product when one is looked for), "filed-no-output", "kept" (once, in its own
    // folder, not under a temporary name), "temporary-name" (in its folder under one),
    // "gone", "twice", "elsewhere".
    QStringList outcomes() const;
    // What is wrong with the workspace besides: a user's file changed or gone, a
    // temporary file of a save, a temporary name or a run record left. Empty when nothing.
    // Lock files ("….lock") are the programs' own and don't count.
    QStringList leftovers() const;

  private:
    QString toolName() const;
    Input inputAt(const QString& relative) const;
    QStringList filesWithHash(const QByteArray& hash, const QString& suffix) const;

    Program m_program;
    QString m_option;
    QTemporaryDir m_root;
    QList<Input> m_inputs;
    QMap<QString, QByteArray> m_bystanders; // path → sha256
    QStringList m_readOnly;
    QStringList m_mounts;
    QStringList m_environment;
};

} // namespace faults
