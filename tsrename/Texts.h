#pragma once

#include <QString>

// The fixed Japanese texts of Tassik: captions, message titles and messages.
namespace tassik::text {

inline QString windowCaption() {
    return QStringLiteral("Tassik");
}
inline QString settingsFileName() {
    return QStringLiteral("Tassik_Data1.txt");
}

inline QString folderLabel() {
    return QStringLiteral("ファイル名変更フォルダ");
}
inline QString folderButton() {
    return QStringLiteral("Add");
}
inline QString beforeLabel() {
    return QStringLiteral("変換前の文字");
}
inline QString afterLabel() {
    return QStringLiteral("変換後の文字");
}
inline QString newBeforeLabel() {
    return QStringLiteral("前");
}
inline QString newAfterLabel() {
    return QStringLiteral("後");
}
inline QString deleteHint() {
    return QStringLiteral("\\=削除");
}
inline QString addButton() {
    return QStringLiteral("追加");
}
inline QString saveButton() {
    return QStringLiteral("記憶");
}
inline QString startButton() {
    return QStringLiteral("開始");
}
inline QString cancelButton() {
    return QStringLiteral("キャンセル");
}
inline QString folderDialogTitle() {
    return QStringLiteral("フォルダの指定");
}

inline QString inputErrorTitle() {
    return QStringLiteral("入力エラー");
}
inline QString emptyCharacterMessage() {
    return QStringLiteral("文字はしっかり入力して下さい。");
}
inline QString lengthMessage() {
    return QStringLiteral("入力した文字数が違います。正確に入力して下さい。");
}

// Texts of our own, for cases the original program left without a message.
inline QString folderErrorTitle() {
    return QStringLiteral("フォルダエラー");
}
inline QString saveErrorTitle() {
    return QStringLiteral("保存エラー");
}
inline QString renameErrorTitle() {
    return QStringLiteral("ファイル名変更エラー");
}

} // namespace tassik::text
