#include "WidgetDialogs.h"

#include "QuitWhenShown.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace chain {

namespace {
QMessageBox::Icon toBoxIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Qt's form of a "description|pattern" filter: the description, followed by the pattern
// in parentheses unless the description already ends with it.
QString qtNameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar);
    const QString patterns = u'(' + filter.mid(bar + 1).replace(u';', u' ') + u')';
    return description.endsWith(patterns) ? description : description + u' ' + patterns;
}
} // namespace

void WidgetDialogs::message(const QString& title, const QString& text, Icon icon, const QString& details) {
    QMessageBox box(toBoxIcon(icon), title, text, QMessageBox::Ok, m_owner);
    if (!details.isEmpty())
        box.setDetailedText(details); // behind a "詳細を表示..." button
    closeWhenShownIfAsked(box, title, text);
    box.exec();
}

bool WidgetDialogs::question(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, m_owner);
    closeWhenShownIfAsked(box, title, text);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetDialogs::pickFolder(const QString& title, const QString& startFolder,
                                                 const QString& filter) {
    QFileDialog dialog(m_owner, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    if (filter.isEmpty())
        dialog.setOption(QFileDialog::ShowDirsOnly);
    else
        dialog.setNameFilter(qtNameFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return std::nullopt;
    QString folder = QDir::toNativeSeparators(chosen);
    // A root comes back as "E:" or "/": no trailing separator except the POSIX root.
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

} // namespace chain
