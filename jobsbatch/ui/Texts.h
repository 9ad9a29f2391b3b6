#pragma once

#include "Slots.h"

#include <QString>

// Every caption, title and message text of Orvane's window, exactly as the user sees them.
namespace orvane::text {

inline const QString MainTitle = QStringLiteral("Orvane");
inline const QString Form1_Label1 = VirtualDubFolderLabel;
inline const QString Form1_Command1 = QStringLiteral("Add");
inline const QString Form1_Label2 = JobsFolderLabel;
inline const QString Form1_Command2 = QStringLiteral("Add");
inline const QString Form1_Label3 = JobsMoveFolderLabel;
inline const QString Form1_Command8 = QStringLiteral("Add");
inline const QString Form1_Check2 = QStringLiteral("jobs終わったら削除");
inline const QString Form1_Check1 = QStringLiteral("終わったら閉じる");
inline const QString Form1_Command7 = QStringLiteral("取得");
inline const QString Form1_Command6 = QStringLiteral("解除");
inline const QString Form1_Command3 = QStringLiteral("開始");
inline const QString Form1_Command3_Running = QStringLiteral("中止");
inline const QString Form1_Command4 = QStringLiteral("キャンセル");
inline const QString Form1_Command5 = QStringLiteral("記憶");
inline const QString Form1_Label6 = QStringLiteral("圧縮中");
inline const QString Form1_Label5 = QStringLiteral("Label5");

// The folder choices: their dialog titles, and the filter of the jobs folder's.
inline const QString Command1_Title = QStringLiteral("VirtualDubフォルダの指定");
inline const QString Command2_Title = QStringLiteral("(jobs)フォルダの指定");
inline const QString Command8_Title = QStringLiteral("jobs移動フォルダの指定");
inline const QString JobsFilter = QStringLiteral("(.jobs)ファイル (*.jobs)|*.jobs");

} // namespace orvane::text
