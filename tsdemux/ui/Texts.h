#pragma once

#include <QString>

// Every caption, tooltip, title and message text of Kestrune's windows, exactly as the
// user sees them.
namespace kestrune::text {

inline const QString MainTitle = QStringLiteral("Kestrune");
inline const QString Form1_Frame1 = QStringLiteral("Auto");
inline const QString Form1_Option1 = QStringLiteral("自動変換");
inline const QString Form1_Option2 = QStringLiteral("個別変換");
inline const QString Form1_Label1 = QStringLiteral("変換元フォルダ");
inline const QString Form1_Label1_Tip = QStringLiteral("(.ts)の入っているフォルダを指定");
inline const QString Form1_Command1 = QStringLiteral("Open");
inline const QString Form1_Check1 = QStringLiteral("文字認識");
inline const QString Form1_Check1_Tip =
    QStringLiteral("登録した文字が含まれるファイルだけを変換。自動変換のみ対応");
inline const QString Form1_Command12 = QStringLiteral("登録");
inline const QString Form1_Label2 = QStringLiteral("変換元ファイル名");
inline const QString Form1_Command2 = QStringLiteral("Open");
inline const QString Form1_Command3 = QStringLiteral("取得");
inline const QString Form1_Command4 = QStringLiteral("解除");
inline const QString Form1_Command10 = QStringLiteral("BonTsDemux_mod10　モード設定");
inline const QString Form1_Label8 = QStringLiteral("確認オート変換中");
inline const QString Form1_Label7 = QStringLiteral("変換後移動フォルダ");
inline const QString Form1_Label7_Tip = QStringLiteral("変換元フォルダと同じドライブを指定");
inline const QString Form1_Command9 = QStringLiteral("Open");
inline const QString Form1_Label3 = QStringLiteral("変換先フォルダ");
inline const QString Form1_Label3_Tip =
    QStringLiteral("(.m2v)(.wav)に変換フォルダ指定「変換元フォルダとは、別のドライブを指定」");
inline const QString Form1_Command5 = QStringLiteral("Open");
inline const QString Form1_Command6 = QStringLiteral("ファイル名変更");
inline const QString Form1_Label4 = QStringLiteral("変換後ファイル名");
inline const QString Form1_Label4_Tip = QStringLiteral("ファイル名変更ボタンで切り替わる。");
inline const QString Form1_Label5 = QStringLiteral("変換後");
inline const QString Form1_Label6 = QStringLiteral("ファイルリスト");
inline const QString Form1_Label9 = QStringLiteral("間隔時間");
inline const QString Form1_Label10 = QStringLiteral("秒");
inline const QString Form1_Text5 = QStringLiteral("5");
inline const QString Form1_Check2 = QStringLiteral("文字変換");
inline const QString Form1_Command13 = QStringLiteral("登録");
inline const QString Form1_Command11 = QStringLiteral("記憶");
inline const QString Form1_Command7 = QStringLiteral("変換開始");
inline const QString Form1_Command8 = QStringLiteral("キャンセル");
inline const QString Form1_Command7_Running = QStringLiteral("中止");
inline const QString FolderChoiceTitle = QStringLiteral("フォルダの指定");
inline const QString NoTsFilesText = QStringLiteral("該当する(.TS)ファイルが、ありません。");
inline const QString NoTsFilesTitle = QStringLiteral("ファイル無し");
inline const QString EmptyNameText = QStringLiteral("ファイル名変更項目が入力されていません。");
inline const QString EmptyNameTitle = QStringLiteral("ファイル名変更項目エラー");
inline const QString ForbiddenTail = QStringLiteral(" などの文字は使わないで下さい。");
inline const QString InputErrorTitle = QStringLiteral("入力エラー");
inline const QString Form2_Title = QStringLiteral("BonTsDemux_mod10　モード設定");
inline const QString Form2_Frame1 = QStringLiteral("Demux");
inline const QString Form2_Option1 = QStringLiteral("Demux(m2v+wav)");
inline const QString Form2_Option2 = QStringLiteral("Demux(m2v)");
inline const QString Form2_Option3 = QStringLiteral("Demux(wav)");
inline const QString Form2_Frame2 = QStringLiteral("音声");
inline const QString Form2_Option4 = QStringLiteral("Stereo(主+副)");
inline const QString Form2_Option5 = QStringLiteral("主音声");
inline const QString Form2_Option6 = QStringLiteral("副音声");
inline const QString Form2_Option7 = QStringLiteral("強制5.1ch");
inline const QString Form2_Option8 = QStringLiteral("強制5.1ch(Split)");
inline const QString Form2_Frame3 = QStringLiteral("音声ES");
inline const QString Form2_Option9 = QStringLiteral("0");
inline const QString Form2_Option10 = QStringLiteral("1");
inline const QString Form2_Option11 = QStringLiteral("2");
inline const QString Form2_Check1 = QStringLiteral("RF64サポート");
inline const QString Form2_Check2 = QStringLiteral("Video Frame補完");
inline const QString Form2_Check3 = QStringLiteral("スクランブル解除");
inline const QString Form2_Label1 = QStringLiteral("tsファイル確認間隔時間");
inline const QString Form2_Label2 = QStringLiteral("秒");
inline const QString Form2_Command1 = QStringLiteral("OK");
inline const QString Form2_RangeText =
    QStringLiteral("tsファイル確認間隔時間の指定は、20秒～300秒にして下さい。");
inline const QString Form3_Title = QStringLiteral("ファイルの指定");
inline const QString Form3_Command1 = QStringLiteral("OK");
inline const QString Form3_Command2 = QStringLiteral("キャンセル");
inline const QString Form4_Title = QStringLiteral("自動変換用文字認識の登録");
inline const QString Form4_Command1 = QStringLiteral("追加");
inline const QString Form4_Command2 = QStringLiteral("変更");
inline const QString Form4_Command3 = QStringLiteral("削除");
inline const QString Form4_Command4 = QStringLiteral("上へ");
inline const QString Form4_Command5 = QStringLiteral("下へ");
inline const QString Form4_Command6 = QStringLiteral("OK");
inline const QString Form4_Command7 = QStringLiteral("キャンセル");
inline const QString DuplicateText = QStringLiteral("同じ文字がすでに、登録されています。");
inline const QString DuplicateTitle = QStringLiteral("登録済みエラー");
inline const QString DeleteKeywordsText = QStringLiteral("KestruneData2.txtのファイルを削除しますか？");
inline const QString DeleteKeywordsTitle = QStringLiteral("操作確認");
inline const QString Form5_Title = QStringLiteral("ファイル名文字変換");
inline const QString Form5_Label2 = QStringLiteral("変換前の文字");
inline const QString Form5_Label3 = QStringLiteral("変換後の文字");
inline const QString Form5_Label4 = QStringLiteral("前");
inline const QString Form5_Label5 = QStringLiteral("後");
inline const QString Form5_Command1 = QStringLiteral("追加");
inline const QString Form5_Label6 = QStringLiteral("\\=削除");
inline const QString Form5_Command2 = QStringLiteral("記憶");
inline const QString Form5_Command3 = QStringLiteral("キャンセル");
inline const QString EmptyCharText = QStringLiteral("文字はしっかり入力して下さい。");
inline const QString LengthDiffersText = QStringLiteral("入力した文字数が違います。正確に入力して下さい。");
inline const QString ErrorTitle = QStringLiteral("エラー");

} // namespace kestrune::text
