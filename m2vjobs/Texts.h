#pragma once

#include <QString>

// The texts of Pellavo that the user reads or that other programs rely on, exactly as
// the system has them.
namespace pellavo::text {

// The first settings file.
inline const QString SettingsFile = QStringLiteral("Pellavo_Data1.txt");

// The job-pattern table.
inline const QString PatternFile = QStringLiteral("Pellavo_Data2.txt");

// The folder of the job patterns, in the start folder.
inline const QString PatternFolder = QStringLiteral("Set Jobs");
inline const QString VirtualDubProgram = QStringLiteral("VirtualDub.exe");

// The event log in the start folder is LogName + ".log".
inline const QString LogName = QStringLiteral("pellavo");

// The job list VirtualDub runs.
inline const QString JobsFile = QStringLiteral("VirtualDub.jobs");

// The labels of the required entries.
inline const QString Others = QStringLiteral("others");
inline const QString OthersJapanese = QStringLiteral("その他");
inline const QString NoResize = QStringLiteral("NoResize");

// The patterns of the default table.
inline const QString DefaultOthersPattern = QStringLiteral("DivX 1280X720 (2,5) 4-8-8-4 same.jobs");
inline const QString DefaultNoResizePattern = QStringLiteral("DivX NoResize (3) 0-0-0-0 same.jobs");

// The message boxes of start-up and JobWrite.
inline const QString FatalTitle = QStringLiteral("データ損傷、致命的エラー");
inline const QString MissingBothText1 = QStringLiteral(
    "画像サイズ―登録で (NoResize)(others)が無くなっています。再度登録してから、開始して下さい。");
inline const QString MissingBothText2 = QStringLiteral(
    "(NoResize)(others)は、最低限必要です。削除したりしないで下さい。致命的エラーになります。");
inline const QString MissingNoResizeText =
    QStringLiteral("画像サイズ―登録で (NoResize)が無くなっています。再度登録してから、開始して下さい。");
inline const QString FileErrorTitle = QStringLiteral("ファイルエラー");
inline const QString FileErrorText = QStringLiteral(" のファイルが有りませんので、圧縮は出来ません。");

// The status line while VirtualDub runs: name + this.
inline const QString Compressing = QStringLiteral(" を圧縮中です。");

// The captions of Command7.
inline const QString Start = QStringLiteral("開始");
inline const QString Stop = QStringLiteral("中止");

// The messages of InputCheck.
inline const QString IntervalTitle = QStringLiteral("確認間隔時間入力エラー");
inline const QString IntervalText = QStringLiteral("確認間隔時間は 20～60秒 の範囲以内にしてください。");
inline const QString CharsTitle = QStringLiteral("ルートフォルダ指定エラー");
inline const QString CharsText =
    QStringLiteral("m2v格納フォルダとavi変換先フォルダは２バイト日本語文字は使わないで下さい。");
inline const QString DriveTitle = QStringLiteral("ドライブ指定確認");
inline const QString AviDriveText =
    QStringLiteral("avi変換先フォルダはm2v格納ドライブとは別のドライブを指定して下さい。");
inline const QString StorageDriveText =
    QStringLiteral("m2v変換後格納フォルダはm2v格納ドライブと同じドライブを指定して下さい。");
inline const QString ContinueQuestion = QStringLiteral("　　　　このままつづけますか？");
inline const QString FolderTitle = QStringLiteral("フォルダ指定確認");
inline const QString StorageFolderText =
    QStringLiteral("m2v変換後格納フォルダはm2v格納フォルダとは別のフォルダを指定して下さい。");

// The beginnings of the job pattern lines JobWrite rewrites, and what it writes.
inline const QString Signature = QStringLiteral("// $signature");
inline const QString SignatureLine = QStringLiteral("// $signature 0 1");
inline const QString NumJobs = QStringLiteral("// $numjobs");
inline const QString NumJobsLine = QStringLiteral("// $numjobs 1");
inline const QString JobLine = QStringLiteral("// $job ");
inline const QString JobName = QStringLiteral("Job 1");
inline const QString InputLine = QStringLiteral("// $input ");
inline const QString OutputLine = QStringLiteral("// $output ");
inline const QString OpenCall = QStringLiteral("VirtualDub.Open(");
inline const QString OpenCallEnd = QStringLiteral(",0);");
inline const QString AddRange = QStringLiteral("VirtualDub.subset.AddRange");
inline const QString SetRangeFrames = QStringLiteral("VirtualDub.video.SetRangeFrames");
inline const QString RangeStart = QStringLiteral("(0,");
inline const QString CallEnd = QStringLiteral(");");
inline const QString SaveAviCall = QStringLiteral("VirtualDub.SaveAVI(");
inline const QString Done = QStringLiteral("// $done");

// The extensions of the files of one job.
inline const QString M2vExtension = QStringLiteral(".m2v");
inline const QString WavExtension = QStringLiteral(".wav");
inline const QString AviExtension = QStringLiteral(".avi");

// The captions of the four folder boxes, which name the settings in reports.
inline const QString Label1 = QStringLiteral("m2v格納フォルダ");
inline const QString Label2 = QStringLiteral("avi変換先フォルダ");
inline const QString Label5 = QStringLiteral("m2v変換後格納フォルダ");
inline const QString Label3 = QStringLiteral("VirtualDubフォルダ");

// What follows the program in the command line that starts VirtualDub.
inline const QString VirtualDubSwitches = QStringLiteral(" /x /r");

// The captions of the main window Form1 (its folder captions are Label1, Label2, Label5
// and Label3 above; Command7 reads Start or Stop).
inline const QString Form1_Title = QStringLiteral("Pellavo");
inline const QString Form1_Command1 = QStringLiteral("Add");
inline const QString Form1_Command2 = QStringLiteral("Add");
inline const QString Form1_Command3 = QStringLiteral("Add");
inline const QString Form1_Command4 = QStringLiteral("Add");
inline const QString Form1_Check1 = QStringLiteral("削除");
inline const QString Form1_Label4 = QStringLiteral("確認間隔時間");
inline const QString Form1_Label8 = QStringLiteral("秒");
inline const QString Form1_Frame1 = QStringLiteral("画像サイズ");
inline const QString Form1_Option1 = QStringLiteral("Option");
inline const QString Form1_Option2 = QStringLiteral("NoResize");
inline const QString Form1_Command5 = QStringLiteral("登録");
inline const QString Form1_Frame2 = QStringLiteral("フレームレート");
inline const QString Form1_Option3 = QStringLiteral("29.97");
inline const QString Form1_Option4 = QStringLiteral("23.976");
inline const QString Form1_Label6 = QStringLiteral("m2v格納フォルダ内ファイル");
inline const QString Form1_Label7 = QStringLiteral("avi変換先フォルダ内ファイル");
inline const QString Form1_Command6 = QStringLiteral("記憶");
inline const QString Form1_Command8 = QStringLiteral("キャンセル");

// The titles of the folder choices of Command1 to Command4.
inline const QString Command1FolderTitle = QStringLiteral("m2vフォルダの指定");
inline const QString Command2FolderTitle = QStringLiteral("aviフォルダの指定");
inline const QString Command3FolderTitle = QStringLiteral("m2v変換後格納フォルダの指定");
inline const QString Command4FolderTitle = QStringLiteral("VirtualDubフォルダの指定");

// The close guard, while the engine runs.
inline const QString RunningTitle = QStringLiteral("稼働中エラー");
inline const QString RunningText = QStringLiteral("只今、稼働中です。中止してから閉じて下さい。");

// The notice Form2 after the store.
inline const QString Form2_Title = QStringLiteral("確認の通知");
inline const QString StoredNotice = QStringLiteral("Pellavo_Data1.txtに記録しました。");

// The job-pattern registry Form3; its duplicate message is the label followed by
// DuplicateText.
inline const QString Form3_Title = QStringLiteral("リサイズ・クロップCut　変更");
inline const QString Form3_Label1 = QStringLiteral("圧縮jobsパターンファイル");
inline const QString Form3_Command1 = QStringLiteral("追加");
inline const QString Form3_Command2 = QStringLiteral("変更");
inline const QString Form3_Command3 = QStringLiteral("削除");
inline const QString Form3_Command4 = QStringLiteral("上へ");
inline const QString Form3_Command5 = QStringLiteral("下へ");
inline const QString Form3_Command6 = QStringLiteral("ＯＫ");
inline const QString DuplicateTitle = QStringLiteral("文字入力エラー");
inline const QString DuplicateText = QStringLiteral("  この文字は、すでに登録されています。");

} // namespace pellavo::text
