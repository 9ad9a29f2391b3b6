#include "RunNotices.h"

namespace chain {

void RunNotices::runEnded(const QString& file, bool done, const QString& duration) {
    m_ranSinceEmpty = true;
    if (m_notifier)
        m_notifier->notify(done ? QStringLiteral("終わりました") : QStringLiteral("失敗しました"),
                           file + duration);
}

void RunNotices::queueEmpty(bool empty) {
    if (!empty || !m_ranSinceEmpty)
        return;
    m_ranSinceEmpty = false;
    if (m_notifier)
        m_notifier->notify(QStringLiteral("待ちがなくなりました"),
                           QStringLiteral("処理を待つファイルはもうありません"));
}

} // namespace chain
