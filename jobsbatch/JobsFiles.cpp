#include "JobsFiles.h"

#include "FileIdentity.h"

#include "FileOps.h"
#include "NativeName.h"
#include "SystemReason.h"

#include "platform/Files.h"

#include <QRandomGenerator>

namespace orvane {

namespace {
QString tooLargeText(qint64 size) {
    return QStringLiteral("大きすぎます (%1 バイト。ジョブファイルは %2 バイトまでです)")
        .arg(size)
        .arg(MaxJobsFileBytes);
}

// A name beside `to` for the copy while it is written and checked: `to`, the temporary
// suffix of saves and six random letters, so that it is never taken for a jobs file.
QString temporaryNameFor(const QString& to) {
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += letters[QRandomGenerator::global()->bounded(static_cast<int>(letters.size()))];
    return to +
           QString::fromLatin1(chain::platform::TemporarySuffix.data(),
                               static_cast<qsizetype>(chain::platform::TemporarySuffix.size())) +
           tag;
}

// Copies `from` to `to` on another volume, then deletes `from`; see moveJobsFile.
QString copyThenDelete(const QString& from, const QString& to) {
    QString reason;
    const std::optional<QByteArray> bytes = readJobsBytes(from, &reason);
    if (!bytes)
        return reason;
    if (chain::nameTaken(to))
        return chain::reasonText({chain::platform::OpResult::Kind::Exists, 0, {}});
    const QString temporary = temporaryNameFor(to);
    const std::string_view data(bytes->constData(), static_cast<std::size_t>(bytes->size()));
    if (const QString error =
            chain::reasonText(chain::platform::replaceFileContents(chain::toNative(temporary), data));
        !error.isEmpty())
        return error;
    QString problem;
    if (readJobsBytes(temporary, &problem) != bytes && problem.isEmpty())
        problem = QStringLiteral("写した内容が元のファイルと一致しません");
    if (problem.isEmpty())
        problem = chain::moveNoReplace(temporary, to);
    if (!problem.isEmpty()) {
        chain::deleteFile(temporary);
        return problem;
    }
    // Only a checked copy under its name lets the original go; when it can't go, the copy
    // goes instead, so the jobs file is in one place only.
    if (const QString error = chain::deleteFile(from); !error.isEmpty()) {
        chain::deleteFile(to);
        return error;
    }
    return {};
}
} // namespace

std::optional<QByteArray> readJobsBytes(const QString& path, QString* reason, bool* tooLarge) {
    const auto fail = [&](const QString& why, bool large = false) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        if (tooLarge)
            *tooLarge = large;
        return std::nullopt;
    };
    const std::optional<qint64> size = chain::fileSize(path);
    if (size && *size > MaxJobsFileBytes)
        return fail(tooLargeText(*size), true);
    // One byte more than its size: a file that grew since tells so by filling it.
    QString error;
    std::optional<QByteArray> bytes = chain::readFileRange(path, 0, size.value_or(0) + 1, &error);
    if (!bytes)
        return fail(error);
    if (bytes->size() > size.value_or(0))
        return fail(QStringLiteral("読んでいる間に書き換えられました"));
    if (tooLarge)
        *tooLarge = false;
    return bytes;
}

chain::TextRead readJobsFile(const QString& path, bool* tooLarge) {
    QString reason;
    const std::optional<QByteArray> bytes = readJobsBytes(path, &reason, tooLarge);
    if (bytes)
        return chain::decodeText(
            std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    if (!chain::nameTaken(path))
        return {chain::TextRead::State::Missing, {}, {}};
    return {chain::TextRead::State::Unreadable, {}, reason};
}

QString moveJobsFile(const QString& from, const QString& to) {
    for (const QString& path : {from, to}) {
        if (const QString problem = chain::pathProblem(path); !problem.isEmpty())
            return problem;
    }
    const chain::platform::OpResult moved =
        chain::platform::moveNoReplace(chain::toNative(from), chain::toNative(to));
    if (moved.kind != chain::platform::OpResult::Kind::CrossVolume)
        return chain::reasonText(moved);
    return copyThenDelete(from, to);
}

bool sameFolder(const QString& a, const QString& b) {
    return a == b || chain::sameFolder(a, b);
}

} // namespace orvane
