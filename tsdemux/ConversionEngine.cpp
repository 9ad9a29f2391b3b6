#include "ConversionEngine.h"

#include "CommandLine.h"
#include "ConvertName.h"
#include "IntervalRules.h"

#include "FileIdentity.h"
#include "FileOps.h"
#include "WholeNumber.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace kestrune {

namespace {
// Characters that no file name may hold on any of our platforms.
bool isUsableFileName(const QString& base) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    if (base.isEmpty())
        return false;
    for (const QChar c : base) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return false;
    }
    return true;
}

QString folderOf(const QString& path) {
    const qsizetype at = path.lastIndexOf(chain::pathSeparator());
    return at < 0 ? QString() : path.left(at);
}

// A name or path for a report: control characters (which would break the line) shown
// as \xNN.
QString shown(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            out += c;
    }
    return out;
}

// The file name part of a path ("/" and the platform's separator both end a folder).
QString fileNameOf(const QString& path) {
    const QString generic = QDir::fromNativeSeparators(path);
    return generic.mid(generic.lastIndexOf(u'/') + 1);
}

// The run record's fields, in order. A record of any other length is not used: records
// of the previous version had four (no identity) and are set aside at the next start,
// like a damaged one, rather than trusted by name.
enum RecordField { RecordPath, RecordName, RecordOutputBase, RecordDemuxKind, RecordIdentity, RecordFields };

// The key under which the file system tells output names apart.
QString nameKey(const QString& path) {
#ifdef Q_OS_WIN
    return path.toCaseFolded();
#else
    return path;
#endif
}

// No step waits longer than a minute (the auto countdown and the individual interval
// both stay within it), nor less than a second: a hand-edited interval of 0 would make
// the timer spin and could take a demuxer that has not shown up yet for one that has
// ended. Clamping the seconds first keeps the milliseconds from overflowing.
constexpr int MinStepSeconds = 1;
constexpr int MaxStepSeconds = 60;

// Filesystems keep write times coarser than our clock (FAT to 2 s, others to a clock
// tick), so an output written just after the launch may carry a time a little before it.
constexpr qint64 WriteTimeSlackMs = 2000;

// A listing is relied on for at most this long, in case a folder's times were set back
// or come from a clock (a file server's) behind ours: a new recording is seen this late
// at worst.
constexpr qint64 MaxListingAgeMs = 60000;
} // namespace

ConversionEngine::ConversionEngine(Settings& settings, const Keywords& keywords, chain::ProcessWatch& watch,
                                   chain::Launcher& launcher, const chain::RunSeams& seams, QObject* parent)
    : QObject(parent), m_settings(settings), m_keywords(keywords),
      m_tools(watch, [this](const QString& text) { Q_EMIT report(text); }), m_launcher(launcher),
      m_handOver([this](const QString& text) { Q_EMIT report(text); }), m_progress(seams.clock),
      m_notices(seams.notifier) {}

bool ConversionEngine::isAutoMode() const {
    return m_settings.text(slot::Mode) == u"0";
}

bool ConversionEngine::isIdle() const {
    return m_running && m_table.empty() && m_settings.text(slot::Pending) != u"1";
}

QString ConversionEngine::startProblem(const QString& sourceFolder) const {
    const std::pair<QString, QString> folders[] = {
        {SourceFolderName, isAutoMode() ? m_settings.text(slot::SourceFolder) : sourceFolder},
        {AfterFolderName, m_settings.text(slot::AfterFolder)},
        {OutputFolderName, m_settings.text(slot::OutputFolder)}};
    for (const auto& [name, folder] : folders) {
        QString problem = chain::folderSettingProblem(name, folder);
        // A missing folder would fail every step: no listing, no output, no filing.
        if (problem.isEmpty() && !QFileInfo(QDir::fromNativeSeparators(folder)).isDir())
            problem = QStringLiteral("%1 %2 がありません").arg(name, folder);
        if (!problem.isEmpty())
            return problem + QStringLiteral("。フォルダを指定してから変換を開始して下さい。");
    }
    return {};
}

bool ConversionEngine::afterFolderIsSource(const QString& sourceFolder) const {
    return chain::sameFolder(m_settings.text(slot::AfterFolder),
                             isAutoMode() ? m_settings.text(slot::SourceFolder) : sourceFolder);
}

std::optional<int> ConversionEngine::start(const QString& sourceFolder, const QStringList& names,
                                           const QStringList& outputNames) {
    if (m_running)
        return std::nullopt;
    const bool autoMode = isAutoMode();
    if (!autoMode && names.isEmpty() && !hasRecordedRun())
        return std::nullopt;
    if (!startProblem(sourceFolder).isEmpty())
        return std::nullopt;

    m_running = true;
    m_passedOver.clear();
    m_keptInPlace.clear();
    m_usedOutputs.clear();
    m_scanFailureReported = false;
    m_table.clear();
    Q_EMIT runningChanged(true);
    Q_EMIT report(autoMode ? QStringLiteral("自動変換を開始しました")
                           : QStringLiteral("個別変換を開始しました"));

    if (autoMode) {
        ScanFolder();
    } else {
        for (qsizetype k = 0; k < names.size(); ++k) {
            FileRow row;
            row.path = chain::joinPath(sourceFolder, names[k]);
            row.name = names[k];
            row.outputName = k < outputNames.size() ? outputNames[k] : QString();
            m_table.push_back(row);
        }
    }
    if (afterFolderIsSource(sourceFolder))
        Q_EMIT report(
            QStringLiteral("変換元フォルダと変換後移動フォルダが同じフォルダ (%1) です。"
                           "変換したファイルはそのまま残し、再び変換しないよう記録しておきます。"
                           "変換後移動フォルダに別のフォルダを指定すると、次の変換開始でそこへ移します")
                .arg(m_settings.text(slot::AfterFolder)));
    takeUpUnfiled(sourceFolder);
    // Taken up last: the run in progress is the row of its recording.
    takeUpRecordedRun(sourceFolder);
    m_lastListing.reset(); // rows may have gone: the first check looks through the folder
    Q_EMIT tableChanged();
    return rearm();
}

void ConversionEngine::stop() {
    m_handOver.settle(true);
    if (!m_running)
        return;
    m_running = false;
    Q_EMIT report(QStringLiteral("変換を中止しました"));
    Q_EMIT runningChanged(false);
}

std::optional<int> ConversionEngine::step() {
    const bool wasRunning = m_running;
    const std::optional<int> next = stepOnce();
    if (wasRunning)
        m_notices.queueEmpty(m_table.empty() && m_settings.text(slot::Pending) != u"1");
    return next;
}

std::optional<int> ConversionEngine::stepOnce() {
    if (!m_running)
        return std::nullopt;
    // A lock kept since the last launch goes once the demuxer has been seen.
    m_handOver.settle();
    // A demuxer just started and not yet seen in the process list must not be taken for
    // one that has ended.
    if (m_handOver.holding())
        return rearm();

    // Auto mode counts the check interval down in steps of at most 60 s.
    if (isAutoMode()) {
        // In 64 bits: a hand-edited slot can put WaitSeconds at the very end of int.
        const long long remaining = std::llround(m_waitSeconds - m_intervalMs / 1000.0);
        if (remaining > 0) {
            m_waitSeconds = static_cast<int>(remaining); // below the old value, so it fits
            return armAfter(static_cast<int>(std::min(remaining, 60LL)));
        }
    }

    // An auto tick asks both of its checks (BonAct, VirtualAct) from one read of the
    // process list; individual mode needs only the first.
    const chain::ToolWatch::Busy busy =
        isAutoMode() ? m_tools.demuxerAndVideoToolBusy() : chain::ToolWatch::Busy{BonAct(), false};
    if (busy.demuxer)
        return rearm();

    if (m_settings.text(slot::Pending) == u"1")
        finishRun();

    if (!isAutoMode()) {
        if (m_table.empty()) {
            m_running = false;
            Q_EMIT report(QStringLiteral("個別変換が終わりました"));
            Q_EMIT runningChanged(false);
            return std::nullopt;
        }
        FileRow& row = m_table.front();
        if (const QString problem = chain::pathProblem(row.path); !problem.isEmpty()) {
            passOver(0, QStringLiteral("変換元ファイル %1 は使えません: %2").arg(shown(row.path), problem));
            return rearm();
        }
        if (!chain::fileExists(row.path)) {
            passOver(0, QStringLiteral("変換元ファイルが見つかりません: %1").arg(row.path));
            return rearm();
        }
        handOver(0);
        return rearm();
    }

    if (busy.videoTool)
        return rearm();
    if (ScanFolder())
        Q_EMIT tableChanged();
    if (m_table.empty())
        return rearm();
    checkSizes();

    const auto ready = std::find_if(m_table.begin(), m_table.end(),
                                    [](const FileRow& row) { return row.state == FileRow::Ready; });
    if (ready != m_table.end())
        handOver(static_cast<std::size_t>(ready - m_table.begin()));
    return rearm();
}

void ConversionEngine::handOver(std::size_t index) {
    // Another program starting a tool in the same folder holds the lock: the row waits
    // for the next tick, neither renamed nor passed over.
    if (!m_handOver.begin(m_settings.text(slot::ProgramFolder)))
        return;
    // The check before the lock may be out of date: a tool started meanwhile by another
    // program is seen now.
    bool busy = true;
    if (isAutoMode()) {
        const chain::ToolWatch::Busy both = m_tools.demuxerAndVideoToolBusy();
        busy = both.demuxer || both.videoTool;
    } else {
        busy = BonAct();
    }
    if (busy) {
        m_handOver.end(false, {});
        return;
    }
    const bool started = prepare(index) && launch(index);
    m_handOver.end(started, [this] { return m_tools.demuxerBusy(); });
}

std::optional<int> ConversionEngine::rearm() {
    if (isAutoMode()) {
        m_waitSeconds = chain::wholeNumber(m_settings.text(slot::CheckInterval));
        return armAfter(std::min(m_waitSeconds, 60));
    }
    m_waitSeconds = individualIntervalSeconds(m_settings.text(slot::IndividualInterval));
    return armAfter(m_waitSeconds);
}

std::optional<int> ConversionEngine::armAfter(int seconds) {
    m_intervalMs = std::clamp(seconds, MinStepSeconds, MaxStepSeconds) * 1000;
    return m_intervalMs;
}

void ConversionEngine::finishRun() {
    FileTable kept;
    bool finished = false;
    for (FileRow& row : m_table) {
        if (row.state != FileRow::Launched) {
            kept.push_back(row);
            continue;
        }
        finished = true;
        const QString took = row.remembered ? QString() : m_progress.end();
        if (!row.remembered)
            Q_EMIT report(QStringLiteral("変換が終わりました: %1").arg(row.name) + took);
        // A converted recording that stays unfiled is kept in the list before the run
        // record goes, so that a later start files it instead of refusing it for its
        // outputs (or converting it again once they have been taken on).
        const Filing filing = fileAway(row);
        if (filing == Filing::Unfiled)
            rememberUnfiled(row);
        else
            forgetUnfiled(row.path);
        if (!row.remembered)
            m_notices.runEnded(row.name, filing != Filing::Refused, took);
    }
    // Forgotten only once its recording is filed, kept as unfiled or passed over: a
    // Kestrune killed before this finds the record at its next start and finishes the run
    // off then.
    if (finished)
        forgetRun();
    m_table = kept;
    m_lastListing.reset(); // rows gone: the folder is looked through again
    m_settings.set(slot::Pending, QStringLiteral("0"));
    Q_EMIT tableChanged();
}

ConversionEngine::Filing ConversionEngine::fileAway(const FileRow& row) {
    // Only the file the demuxer read is filed away: one put in its place, or written to
    // while the demuxer ran, stays where it is, and so do the outputs.
    const std::optional<chain::FileIdentity> now = chain::fileIdentity(row.path);
    if (!row.identity || !now || *now != *row.identity) {
        QString why;
        if (!now)
            why = QStringLiteral("見つからないか、読めません");
        else if (!row.identity || now->volume != row.identity->volume || now->file != row.identity->file)
            why = QStringLiteral("変換中に別のファイルに置き換えられました");
        else
            why = QStringLiteral("変換中に書き換えられました (大きさか更新日時が変わっています)");
        Q_EMIT report(
            QStringLiteral("変換元ファイル %1 は%2。変換したファイルと同じとは言えないため移動しません "
                           "(出力ファイルは残します)")
                .arg(shown(row.path), why));
        m_passedOver.insert(row.name);
        return Filing::Refused;
    }
    // Only output that this run wrote proves that it worked: not empty, and written
    // after the demuxer was started (nothing of the name was there before it). A
    // remembered recording's output was proven when it was converted.
    if (!row.remembered) {
        const QStringList outputs = outputPaths(row.outputBase, row.demuxKind);
        QStringList empty;
        bool produced = false;
        for (const QString& output : outputs) {
            const std::optional<qint64> size = chain::fileSize(output);
            if (size == 0)
                empty << output;
            produced = produced || (size.value_or(0) > 0 && chain::modifiedMsecs(output).value_or(0) >=
                                                                row.launchedAtMs - WriteTimeSlackMs);
        }
        if (!produced) {
            Q_EMIT report(
                empty.isEmpty()
                    ? QStringLiteral("出力ファイル (%1) がこの変換で書かれていないため、%2 は移動しません")
                          .arg(outputs.join(QStringLiteral(", ")), row.path)
                    : QStringLiteral("出力ファイル (%1) が空のため、%2 は移動しません")
                          .arg(empty.join(QStringLiteral(", ")), row.path));
            m_passedOver.insert(row.name);
            return Filing::Refused;
        }
    }
    const QString afterFolder = m_settings.text(slot::AfterFolder);
    if (chain::sameFolder(folderOf(row.path), afterFolder)) {
        // It is where it would go, as the start has said: no failure.
        m_keptInPlace.insert(row.name);
        return Filing::Unfiled;
    }
    const QString target = chain::joinPath(afterFolder, row.name);
    const QString error = chain::moveNoReplace(row.path, target);
    if (!error.isEmpty()) {
        Q_EMIT report(
            QStringLiteral("%1 を %2 へ移動できません: %3。変換済みとして記録し、次の変換開始で移し直します")
                .arg(row.path, target, error));
        m_passedOver.insert(row.name);
        return Filing::Unfiled;
    }
    Q_EMIT report(QStringLiteral("移動しました: %1 → %2").arg(row.path, target));
    return Filing::Filed;
}

UnfiledRecordings ConversionEngine::unfiledList() const {
    return UnfiledRecordings(chain::joinPath(m_settings.text(slot::ProgramFolder), UnfiledFile));
}

void ConversionEngine::rememberUnfiled(const FileRow& row) {
    m_unfiled.removeIf(
        [&](const chain::RunRecord::Run& run) { return run.fields.at(RecordPath) == row.path; });
    m_unfiled << chain::RunRecord::Run{
        QDateTime::fromMSecsSinceEpoch(row.launchedAtMs),
        {row.path, row.name, row.outputBase, row.demuxKind, chain::identityText(*row.identity)}};
    const UnfiledRecordings list = unfiledList();
    if (const QString error = list.save(m_unfiled); !error.isEmpty())
        Q_EMIT report(
            QStringLiteral("変換済みの %1 を %2 に記録できません: %3").arg(row.path, list.path(), error));
}

void ConversionEngine::forgetUnfiled(const QString& path) {
    if (m_unfiled.removeIf(
            [&](const chain::RunRecord::Run& run) { return run.fields.at(RecordPath) == path; }) == 0)
        return;
    const UnfiledRecordings list = unfiledList();
    if (const QString error = list.save(m_unfiled); !error.isEmpty())
        Q_EMIT report(QStringLiteral("%1 を書き換えられません: %2").arg(list.path(), error));
}

void ConversionEngine::takeUpUnfiled(const QString& sourceFolder) {
    m_unfiled.clear();
    const UnfiledRecordings list = unfiledList();
    const UnfiledRecordings::Loaded loaded = list.load();
    if (!loaded.problem.isEmpty()) {
        QString error;
        const QString aside = chain::RunRecord(list.path()).setAside(&error);
        Q_EMIT report(
            aside.isEmpty()
                ? QStringLiteral("変換済みファイルの記録 %1 は使えません (%2) が、退避もできません: %3")
                      .arg(list.path(), loaded.problem, error)
                : QStringLiteral("変換済みファイルの記録 %1 は使えないため %2 に退避しました: %3")
                      .arg(list.path(), aside, loaded.problem));
        return;
    }
    const bool stay = afterFolderIsSource(sourceFolder);
    bool dropped = false;
    for (const chain::RunRecord::Run& run : loaded.runs) {
        // A recording of another source folder (individual mode works in the folder of
        // its box) waits, untouched, for a start in its own folder.
        if (run.fields.size() == RecordFields && !inSourceFolder(run.fields.at(RecordPath), sourceFolder)) {
            m_unfiled << run;
            continue;
        }
        QString problem = recordProblem(run, sourceFolder);
        const QString path = problem.isEmpty() ? run.fields.at(RecordPath) : QString();
        const std::optional<chain::FileIdentity> identity =
            problem.isEmpty() ? chain::parseIdentity(run.fields.at(RecordIdentity)) : std::nullopt;
        if (problem.isEmpty() && !chain::isSameFile(path, *identity))
            problem = chain::nameTaken(path)
                          ? QStringLiteral("変換元ファイル %1 は変換したファイルではありません "
                                           "(置き換えられたか、書き換えられています)")
                                .arg(shown(path))
                          : QStringLiteral("変換元ファイル %1 がもうありません").arg(shown(path));
        if (!problem.isEmpty()) {
            // The file it named is left alone: a new recording there waits as a new file.
            Q_EMIT report(QStringLiteral("変換済みファイルの記録から 1 件外しました: %1").arg(problem));
            dropped = true;
            continue;
        }
        m_unfiled << run;
        // Converted already: never a new row of its own.
        std::erase_if(m_table, [&](const FileRow& other) { return other.path == path; });
        if (stay) {
            m_keptInPlace.insert(run.fields.at(RecordName));
            continue;
        }
        FileRow row;
        row.path = path;
        row.name = run.fields.at(RecordName);
        row.outputBase = run.fields.at(RecordOutputBase);
        row.outputName = fileNameOf(row.outputBase);
        row.demuxKind = run.fields.at(RecordDemuxKind);
        row.identity = identity;
        row.launchedAtMs = run.began.toMSecsSinceEpoch();
        row.state = FileRow::Launched;
        row.remembered = true;
        m_table.push_back(row);
        m_settings.set(slot::Pending, QStringLiteral("1"));
    }
    if (dropped) {
        if (const QString error = list.save(m_unfiled); !error.isEmpty())
            Q_EMIT report(QStringLiteral("%1 を書き換えられません: %2").arg(list.path(), error));
    }
}

bool ConversionEngine::ScanFolder() {
    const QString folder = m_settings.text(slot::SourceFolder);
    const bool filter = m_settings.text(slot::KeywordFilter) == u"1";
    // Taken before the listing, so that a change made while it runs shows in the next one.
    const std::optional<chain::FolderStamp> stamp = chain::folderStamp(folder);
    const ListingKey key{folder, filter, filter ? m_keywords.items() : QStringList()};
    // The same entries as at the last listing, sifted by the same rules, and no row gone
    // from the table since: every name there is a row already, or was left out for good.
    if (stamp && m_lastListing && m_lastListing->stamp == *stamp && m_lastListing->key == key &&
        !m_lastListing->age.hasExpired(MaxListingAgeMs))
        return false;
    m_lastListing.reset();

    QString error;
    const auto files = chain::listFiles(folder, QStringLiteral(".ts"), &error);
    if (!files) {
        if (!m_scanFailureReported)
            Q_EMIT report(QStringLiteral("変換元フォルダ %1 を読めません: %2").arg(folder, error));
        m_scanFailureReported = true;
        return false;
    }
    m_scanFailureReported = false;
    QSet<QString> listed;
    listed.reserve(static_cast<qsizetype>(m_table.size()));
    for (const FileRow& row : m_table)
        listed.insert(row.name);
    bool added = false;
    for (const QString& name : *files) {
        if (m_passedOver.contains(name) || m_keptInPlace.contains(name) || listed.contains(name) ||
            (filter && !KeywordMatch(m_keywords, name)))
            continue;
        // A name the system would cut or misread (a control character in it) is told
        // once and left alone until the next start.
        if (const QString problem = chain::pathProblem(chain::joinPath(folder, name)); !problem.isEmpty()) {
            Q_EMIT report(QStringLiteral("変換元ファイル %1 は使えません: %2").arg(shown(name), problem));
            m_passedOver.insert(name);
            continue;
        }
        FileRow row;
        row.path = chain::joinPath(folder, name);
        row.name = name;
        row.outputName = name.left(name.size() - 3);
        m_table.push_back(row);
        added = true;
    }
    // A stamp taken within the filesystem's time resolution of the folder's last change
    // could be the stamp of a change still to come as well: such a listing is not relied on.
    if (stamp && chain::isSettled(*stamp)) {
        m_lastListing = Listing{key, *stamp, {}};
        m_lastListing->age.start();
    }
    return added;
}

void ConversionEngine::checkSizes() {
    // The waiting rows' sizes, asked of their folder at once: one look at each file.
    std::vector<std::optional<qint64>> sizes(m_table.size());
    QString folder;
    std::vector<std::size_t> rows;
    QStringList names;
    const auto ask = [&] {
        const QList<std::optional<qint64>> found = chain::normalFileSizes(folder, names);
        for (std::size_t k = 0; k < rows.size(); ++k)
            sizes[rows[k]] = found[static_cast<qsizetype>(k)];
        rows.clear();
        names.clear();
    };
    for (std::size_t r = 0; r < m_table.size(); ++r) {
        const FileRow& row = m_table[r];
        if (row.state >= FileRow::Ready)
            continue;
        const qsizetype at = row.path.lastIndexOf(chain::pathSeparator());
        const QStringView rowFolder = QStringView(row.path).first(at == 0 ? 1 : std::max<qsizetype>(at, 0));
        if (!rows.empty() && rowFolder != folder)
            ask();
        if (rows.empty())
            folder = rowFolder.toString();
        rows.push_back(r);
        names << row.path.sliced(at + 1);
    }
    if (!rows.empty())
        ask();

    for (std::size_t r = 0; r < m_table.size();) {
        FileRow& row = m_table[r];
        if (row.state >= FileRow::Ready) {
            ++r;
            continue;
        }
        const std::optional<qint64> size = sizes[r];
        if (!size) {
            // Told once: the file is passed over until the next start, not found anew
            // at every check.
            sizes.erase(sizes.begin() + static_cast<std::ptrdiff_t>(r));
            passOver(r, QStringLiteral("変換元ファイルが見つかりません: %1").arg(row.path));
            continue;
        }
        if (row.lastSize == *size && row.lastSize != 0)
            row.state = FileRow::Ready;
        row.lastSize = *size;
        ++r;
    }
}

bool ConversionEngine::prepare(std::size_t index) {
    FileRow& row = m_table[index];
    if (const auto unsafe = unsafeCommandValue(m_settings, row)) {
        passOver(index,
                 QStringLiteral("「%1」に \" が含まれるため、%2 は変換しません").arg(*unsafe, row.path));
        return false;
    }
    const std::optional<ConvertedName> name = converted(row);
    if (!name) {
        passOver(index, QString()); // converted() has told why
        return false;
    }
    // Checked before the recording is renamed, so a refused row keeps its name.
    if (const QString problem = outputProblem(row, name->name); !problem.isEmpty()) {
        passOver(index, problem);
        return false;
    }
    if (!FiKakunin(row, *name)) {
        passOver(index, QString()); // FiKakunin has told why
        return false;
    }
    return true;
}

std::optional<ConvertedName> ConversionEngine::converted(const FileRow& row) {
    if (m_settings.text(slot::CharConversion) != u"1")
        return ConvertedName{row.outputName, 0};
    ConvertedName converted =
        ConvertName(row.outputName, m_settings.text(slot::BeforeString), m_settings.text(slot::AfterString));
    if (converted.count == 0)
        return ConvertedName{row.outputName, 0};
    if (!isUsableFileName(converted.name)) {
        Q_EMIT report(QStringLiteral("文字変換後の名前「%1」はファイル名に使えないため、%2 は変換しません")
                          .arg(shown(converted.name), row.path));
        return std::nullopt;
    }
    // A hidden name would hide the recording and its outputs from every listing of the
    // chain: the recording keeps its own name.
    if (const QString hidden = chain::hiddenNameProblem(converted.name); !hidden.isEmpty()) {
        Q_EMIT report(QStringLiteral("文字変換後の名前「%1」は使えないため、%2 は変換しません: %3")
                          .arg(shown(converted.name), row.path, hidden));
        return std::nullopt;
    }
    return converted;
}

QStringList ConversionEngine::outputPaths(const QString& outputBase, const QString& demuxKind) {
    QStringList outputs;
    if (demuxKind != DemuxAudio)
        outputs << outputBase + QStringLiteral(".m2v");
    if (demuxKind != DemuxVideo)
        outputs << outputBase + QStringLiteral(".wav");
    return outputs;
}

QString ConversionEngine::outputProblem(const FileRow& row, const QString& outputName) const {
    const QString base = chain::joinPath(m_settings.text(slot::OutputFolder), outputName);
    if (const QString problem = chain::pathProblem(base); !problem.isEmpty())
        return QStringLiteral("出力先 %1 は使えないため、%2 は変換しません: %3")
            .arg(shown(base), row.path, problem);
    if (m_usedOutputs.contains(nameKey(base)))
        return QStringLiteral(
                   "出力名 %1 は、今回の変換開始から既にほかのファイルに使われたため、%2 は変換しません")
            .arg(base, row.path);
    for (const QString& output : outputPaths(base, m_settings.text(slot::DemuxKind))) {
        if (chain::nameTaken(output))
            return QStringLiteral("出力ファイル %1 が既にあるため、%2 は変換しません (上書きしません)")
                .arg(output, row.path);
    }
    return {};
}

bool ConversionEngine::FiKakunin(FileRow& row, const ConvertedName& converted) {
    if (converted.count == 0)
        return true;
    // The recording keeps its folder; only its name changes.
    const QString newName = converted.name + QStringLiteral(".ts");
    const QString newPath = chain::joinPath(folderOf(row.path), newName);
    if (newPath != row.path) {
        const QString error = chain::moveNoReplace(row.path, newPath);
        if (!error.isEmpty()) {
            Q_EMIT report(QStringLiteral("%1 を %2 に名前変更できません: %3").arg(row.path, newName, error));
            return false;
        }
        Q_EMIT report(QStringLiteral("名前を変更しました: %1 → %2").arg(row.name, newName));
    }
    row.originalPath = row.path;
    row.path = newPath;
    row.name = newName;
    row.outputName = converted.name;
    Q_EMIT tableChanged();
    return true;
}

bool ConversionEngine::launch(std::size_t index) {
    FileRow& row = m_table[index];
    const QString commandLine = BuildCommandLine(m_settings, row, chain::pathSeparator());
    row.launchedAtMs = QDateTime::currentMSecsSinceEpoch();
    row.outputBase = chain::joinPath(m_settings.text(slot::OutputFolder), row.outputName);
    row.demuxKind = m_settings.text(slot::DemuxKind);
    // The recording's identity, taken after the rename: only this very file, unchanged,
    // is filed away once the demuxer is done.
    row.identity = chain::fileIdentity(row.path);
    if (!row.identity) {
        const QString why =
            QStringLiteral(
                "変換元ファイル %1 の識別情報 (ファイル番号、大きさ、更新日時) を読めないため、変換しません")
                .arg(shown(row.path));
        undoRename(row);
        passOver(index, why);
        return false;
    }
    // The run is recorded before the demuxer starts, so a Kestrune started again after a
    // kill or a close can finish it off; without the record the run doesn't start.
    const QString recordError = runRecord().save(
        {QDateTime::fromMSecsSinceEpoch(row.launchedAtMs),
         {row.path, row.name, row.outputBase, row.demuxKind, chain::identityText(*row.identity)}});
    if (!recordError.isEmpty()) {
        const QString why = QStringLiteral("変換の記録 %1 を書けないため、%2 は変換しません: %3")
                                .arg(runRecord().path(), row.path, recordError);
        undoRename(row);
        passOver(index, why);
        return false;
    }
    const QString error = m_launcher.start(commandLine, chain::Launcher::Window::Normal);
    if (!error.isEmpty()) {
        const QString why = QStringLiteral("BonTsDemux.exe を起動できません (%1): %2").arg(row.path, error);
        forgetRun();
        undoRename(row);
        passOver(index, why);
        return false;
    }
    row.state = FileRow::Launched;
    m_usedOutputs.insert(nameKey(row.outputBase));
    m_settings.set(slot::Pending, QStringLiteral("1"));
    m_progress.begin(outputPaths(row.outputBase, row.demuxKind));
    Q_EMIT report(QStringLiteral("変換を開始しました: %1").arg(commandLine));
    return true;
}

chain::RunRecord ConversionEngine::runRecord() const {
    return chain::RunRecord(chain::joinPath(m_settings.text(slot::ProgramFolder), RunRecordFile));
}

void ConversionEngine::forgetRun() {
    const chain::RunRecord record = runRecord();
    if (const QString error = record.remove(); !error.isEmpty())
        Q_EMIT report(QStringLiteral("変換の記録 %1 を消せません: %2").arg(record.path(), error));
}

bool ConversionEngine::hasRecordedRun() const {
    return chain::nameTaken(runRecord().path()) || chain::nameTaken(unfiledList().path());
}

void ConversionEngine::announceUnfinishedRun() {
    const chain::RunRecord::Loaded loaded = runRecord().load();
    if (loaded.state == chain::RunRecord::Loaded::State::None)
        return;
    // At the window's opening the source folder box shows the setting.
    const QString problem = loaded.state == chain::RunRecord::Loaded::State::Present
                                ? recordProblem(loaded.run, m_settings.text(slot::SourceFolder))
                                : loaded.reason;
    if (problem.isEmpty())
        Q_EMIT report(QStringLiteral("前回の変換 (%1) が仕上がっていません。変換開始で引き継ぎます")
                          .arg(shown(loaded.run.fields.at(RecordPath))));
    else
        Q_EMIT report(QStringLiteral("前回の変換の記録 %1 がありますが、そのままでは使えません (%2)。"
                                     "変換開始で確かめ直し、使えなければ退避します")
                          .arg(runRecord().path(), problem));
}

bool ConversionEngine::inSourceFolder(const QString& path, const QString& sourceFolder) const {
    const QString settingFolder = m_settings.text(slot::SourceFolder);
    return (!settingFolder.isEmpty() && chain::liesIn(path, settingFolder)) ||
           (!sourceFolder.isEmpty() && chain::liesIn(path, sourceFolder));
}

QString ConversionEngine::recordProblem(const chain::RunRecord::Run& run, const QString& sourceFolder) const {
    if (run.fields.size() != RecordFields)
        return QStringLiteral("項目の数が %1 で、%2 ではありません (以前の版の記録か、壊れています)")
            .arg(run.fields.size())
            .arg(int(RecordFields));
    const QString& path = run.fields.at(RecordPath);
    if (!inSourceFolder(path, sourceFolder))
        return QStringLiteral("変換元ファイル %1 が変換元フォルダの中にありません").arg(shown(path));
    if (run.fields.at(RecordName) != fileNameOf(path))
        return QStringLiteral("ファイル名「%1」が変換元ファイル %2 の名前と違います")
            .arg(shown(run.fields.at(RecordName)), shown(path));
    const QString& outputBase = run.fields.at(RecordOutputBase);
    if (!chain::liesIn(outputBase, m_settings.text(slot::OutputFolder)))
        return QStringLiteral("出力先 %1 が変換先フォルダの中にありません").arg(shown(outputBase));
    if (!DemuxKinds.contains(run.fields.at(RecordDemuxKind)))
        return QStringLiteral("分離の種類「%1」は使えません").arg(shown(run.fields.at(RecordDemuxKind)));
    if (!chain::parseIdentity(run.fields.at(RecordIdentity)))
        return QStringLiteral("ファイルの識別情報「%1」が読めません")
            .arg(shown(run.fields.at(RecordIdentity)));
    return {};
}

void ConversionEngine::takeUpRecordedRun(const QString& sourceFolder) {
    const chain::RunRecord record = runRecord();
    const chain::RunRecord::Loaded loaded = record.load();
    if (loaded.state == chain::RunRecord::Loaded::State::None)
        return;
    QString problem = loaded.reason;
    if (loaded.state == chain::RunRecord::Loaded::State::Present)
        problem = recordProblem(loaded.run, sourceFolder);
    std::optional<chain::FileIdentity> identity;
    if (problem.isEmpty()) {
        const QString& path = loaded.run.fields.at(RecordPath);
        identity = chain::parseIdentity(loaded.run.fields.at(RecordIdentity));
        if (!chain::nameTaken(path)) {
            // Killed after the recording was filed but before the record was removed:
            // the run is finished, when the filed file is the very one recorded.
            const QString filed =
                chain::joinPath(m_settings.text(slot::AfterFolder), loaded.run.fields.at(RecordName));
            if (chain::isSameFile(filed, *identity)) {
                Q_EMIT report(QStringLiteral("前回の変換は仕上がっていました: %1").arg(shown(filed)));
                forgetRun();
                return;
            }
            problem =
                chain::nameTaken(filed)
                    ? QStringLiteral("変換後移動フォルダの %1 は、記録された変換元ファイルではありません")
                          .arg(shown(filed))
                    : QStringLiteral("変換元ファイル %1 がもうありません").arg(shown(path));
        } else if (!chain::isSameFile(path, *identity)) {
            // Another recording under the recorded name (or the same one written to since)
            // is not the recorded run: it is left to the ordinary rules as a new file.
            problem = QStringLiteral("変換元ファイル %1 は記録されたファイルではありません "
                                     "(置き換えられたか、書き換えられています)")
                          .arg(shown(path));
        }
    }
    if (!problem.isEmpty()) {
        QString error;
        const QString aside = record.setAside(&error);
        Q_EMIT report(aside.isEmpty()
                          ? QStringLiteral("変換の記録 %1 は使えません (%2) が、退避もできません: %3")
                                .arg(record.path(), problem, error)
                          : QStringLiteral("変換の記録 %1 は使えないため %2 に退避しました: %3")
                                .arg(record.path(), aside, problem));
        return;
    }
    FileRow row;
    row.path = loaded.run.fields.at(RecordPath);
    row.name = loaded.run.fields.at(RecordName);
    row.outputBase = loaded.run.fields.at(RecordOutputBase);
    row.outputName = fileNameOf(row.outputBase);
    row.demuxKind = loaded.run.fields.at(RecordDemuxKind);
    row.identity = identity;
    row.launchedAtMs = loaded.run.began.toMSecsSinceEpoch();
    row.state = FileRow::Launched;
    // Killed after the recording was kept as unfiled and before the record went: its
    // output was proven then.
    row.remembered = std::any_of(m_unfiled.begin(), m_unfiled.end(), [&](const chain::RunRecord::Run& run) {
        return run.fields.at(RecordPath) == row.path;
    });
    // The same recording listed again is the recorded run, not a second one.
    std::erase_if(m_table, [&](const FileRow& other) { return other.path == row.path; });
    m_table.insert(m_table.begin(), row);
    m_usedOutputs.insert(nameKey(row.outputBase));
    m_settings.set(slot::Pending, QStringLiteral("1"));
    Q_EMIT report(
        QStringLiteral("前回の変換を引き継ぎます: %1 (開始 %2)")
            .arg(row.path, loaded.run.began.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

void ConversionEngine::undoRename(FileRow& row) {
    if (row.originalPath.isEmpty() || row.originalPath == row.path)
        return;
    const QString error = chain::moveNoReplace(row.path, row.originalPath);
    if (!error.isEmpty()) {
        Q_EMIT report(QStringLiteral("%1 を元の名前に戻せません: %2").arg(row.path, error));
        return;
    }
    Q_EMIT report(QStringLiteral("名前を元に戻しました: %1").arg(row.originalPath));
    row.path = row.originalPath;
    row.name = row.path.mid(row.path.lastIndexOf(chain::pathSeparator()) + 1);
}

void ConversionEngine::passOver(std::size_t index, const QString& why) {
    if (!why.isEmpty())
        Q_EMIT report(why);
    m_passedOver.insert(m_table[index].name);
    m_table.erase(m_table.begin() + static_cast<std::ptrdiff_t>(index));
    m_lastListing.reset(); // a row gone: the folder is looked through again
    Q_EMIT tableChanged();
}

} // namespace kestrune
