#include "ConversionEngine.h"

#include "CommandLine.h"
#include "ConvertName.h"

#include "FileOps.h"
#include "WholeNumber.h"

#include <QFileInfo>

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
} // namespace

ConversionEngine::ConversionEngine(Settings& settings, const Keywords& keywords, chain::ProcessWatch& watch,
                                   chain::Launcher& launcher, QObject* parent)
    : QObject(parent), m_settings(settings), m_keywords(keywords),
      m_tools(watch, [this](const QString& text) { Q_EMIT report(text); }), m_launcher(launcher) {}

bool ConversionEngine::isAutoMode() const {
    return m_settings.text(slot::Mode) == u"0";
}

bool ConversionEngine::isIdle() const {
    return m_running && m_table.empty() && m_settings.text(slot::Pending) != u"1";
}

std::optional<int> ConversionEngine::start(const QString& sourceFolder, const QStringList& names,
                                           const QStringList& outputNames) {
    if (m_running)
        return std::nullopt;
    const bool autoMode = isAutoMode();
    if (!autoMode && names.isEmpty())
        return std::nullopt;

    m_running = true;
    m_passedOver.clear();
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
    Q_EMIT tableChanged();
    return rearm();
}

void ConversionEngine::stop() {
    if (!m_running)
        return;
    m_running = false;
    Q_EMIT report(QStringLiteral("変換を中止しました"));
    Q_EMIT runningChanged(false);
}

std::optional<int> ConversionEngine::step() {
    if (!m_running)
        return std::nullopt;

    // Auto mode counts the check interval down in steps of at most 60 s.
    if (isAutoMode()) {
        const int remaining = static_cast<int>(std::lround(m_waitSeconds - m_intervalMs / 1000.0));
        if (remaining > 0) {
            m_waitSeconds = remaining;
            return armAfter(std::min(remaining, 60));
        }
    }

    if (BonAct())
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
        if (!chain::fileExists(row.path)) {
            passOver(0, QStringLiteral("変換元ファイルが見つかりません: %1").arg(row.path));
            return rearm();
        }
        if (prepare(0))
            launch(0);
        return rearm();
    }

    if (VirtualAct())
        return rearm();
    ScanFolder();
    Q_EMIT tableChanged();
    if (m_table.empty())
        return rearm();
    checkSizes();

    for (std::size_t r = 0; r < m_table.size(); ++r) {
        if (m_table[r].state != FileRow::Ready)
            continue;
        if (prepare(r))
            launch(r);
        break;
    }
    return rearm();
}

std::optional<int> ConversionEngine::rearm() {
    if (isAutoMode()) {
        m_waitSeconds = chain::wholeNumber(m_settings.text(slot::CheckInterval));
        return armAfter(std::min(m_waitSeconds, 60));
    }
    m_waitSeconds = chain::wholeNumber(m_settings.text(slot::IndividualInterval));
    return armAfter(m_waitSeconds);
}

std::optional<int> ConversionEngine::armAfter(int seconds) {
    // A hand-edited interval of 0 or less would make the timer spin and could take a
    // demuxer that has not shown up yet for one that has ended, so one second is the least.
    m_intervalMs = std::max(seconds, 1) * 1000;
    return m_intervalMs;
}

void ConversionEngine::finishRun() {
    FileTable kept;
    for (FileRow& row : m_table) {
        if (row.state != FileRow::Launched) {
            kept.push_back(row);
            continue;
        }
        Q_EMIT report(QStringLiteral("変換が終わりました: %1").arg(row.name));
        const QString outputBase = chain::joinPath(m_settings.text(slot::OutputFolder), row.outputName);
        const QString kind = m_settings.text(slot::DemuxKind);
        QStringList outputs;
        if (kind != DemuxAudio)
            outputs << outputBase + QStringLiteral(".m2v");
        if (kind != DemuxVideo)
            outputs << outputBase + QStringLiteral(".wav");
        bool produced = false;
        for (const QString& output : outputs)
            produced = produced || chain::fileSize(output).value_or(0) > 0;
        if (!produced) {
            Q_EMIT report(QStringLiteral("出力ファイル (%1) ができていないため、%2 は移動しません")
                              .arg(outputs.join(QStringLiteral(", ")), row.path));
            m_passedOver.insert(row.name);
            continue;
        }
        const QString target = chain::joinPath(m_settings.text(slot::AfterFolder), row.name);
        const QString error = chain::moveNoReplace(row.path, target);
        if (!error.isEmpty()) {
            Q_EMIT report(QStringLiteral("%1 を %2 へ移動できません: %3").arg(row.path, target, error));
            m_passedOver.insert(row.name);
            continue;
        }
        Q_EMIT report(QStringLiteral("移動しました: %1 → %2").arg(row.path, target));
    }
    m_table = kept;
    m_settings.set(slot::Pending, QStringLiteral("0"));
    Q_EMIT tableChanged();
}

void ConversionEngine::ScanFolder() {
    const QString folder = m_settings.text(slot::SourceFolder);
    QString error;
    const auto files = chain::listFiles(folder, &error);
    if (!files) {
        if (!m_scanFailureReported)
            Q_EMIT report(QStringLiteral("変換元フォルダ %1 を読めません: %2").arg(folder, error));
        m_scanFailureReported = true;
        return;
    }
    m_scanFailureReported = false;
    const bool filter = m_settings.text(slot::KeywordFilter) == u"1";
    for (const QString& name : chain::withExtension(*files, QStringLiteral(".ts"))) {
        if (m_passedOver.contains(name))
            continue;
        const bool listed =
            std::any_of(m_table.begin(), m_table.end(), [&](const FileRow& row) { return row.name == name; });
        if (listed || (filter && !KeywordMatch(m_keywords, name)))
            continue;
        FileRow row;
        row.path = chain::joinPath(folder, name);
        row.name = name;
        row.outputName = name.left(name.size() - 3);
        m_table.push_back(row);
    }
}

void ConversionEngine::checkSizes() {
    for (std::size_t r = 0; r < m_table.size();) {
        FileRow& row = m_table[r];
        if (row.state >= FileRow::Ready) {
            ++r;
            continue;
        }
        chain::setNormalAttributes(row.path);
        const std::optional<qint64> size = chain::fileSize(row.path);
        if (!size) {
            Q_EMIT report(QStringLiteral("変換元ファイルが見つかりません: %1").arg(row.path));
            m_table.erase(m_table.begin() + static_cast<std::ptrdiff_t>(r));
            Q_EMIT tableChanged();
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
    if (!FiKakunin(row)) {
        passOver(index, QString()); // FiKakunin has told why
        return false;
    }
    return true;
}

bool ConversionEngine::FiKakunin(FileRow& row) {
    if (m_settings.text(slot::CharConversion) != u"1")
        return true;
    const ConvertedName converted =
        ConvertName(row.outputName, m_settings.text(slot::BeforeString), m_settings.text(slot::AfterString));
    if (converted.count == 0)
        return true;
    if (!isUsableFileName(converted.name)) {
        Q_EMIT report(QStringLiteral("文字変換後の名前「%1」はファイル名に使えないため、%2 は変換しません")
                          .arg(converted.name, row.path));
        return false;
    }
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
    const QString error = m_launcher.start(commandLine, chain::Launcher::Window::Normal);
    if (!error.isEmpty()) {
        const QString why = QStringLiteral("BonTsDemux.exe を起動できません (%1): %2").arg(row.path, error);
        undoRename(row);
        passOver(index, why);
        return false;
    }
    row.state = FileRow::Launched;
    m_settings.set(slot::Pending, QStringLiteral("1"));
    Q_EMIT report(QStringLiteral("変換を開始しました: %1").arg(commandLine));
    return true;
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
    Q_EMIT tableChanged();
}

} // namespace kestrune
