#pragma once

#include <QString>

namespace chain {

// The file of the tray's own setting, beside a program's settings files (which keep their
// lines): "<program>-tray.txt" in `folder`, `program` as in "kestrune".
QString noticeSettingPath(const QString& folder, const QString& program);

// Whether run notices are shown on the desktop: yes, unless the file holds the line
// "通知=オフ" (or "notify=off"); a missing or unreadable file leaves them on.
bool noticesOn(const QString& path);

} // namespace chain
