#pragma once

#include "SlotTable.h"

#include <QStringList>

namespace kestrune {

// Kestrune's settings and engine state: 31 numbered slots shared by all windows.
using Settings = chain::SlotTable;
inline constexpr int SettingsSize = 31;

// What each slot of `Settings` holds.
namespace slot {
inline constexpr int ProgramFolder = 0;
inline constexpr int Mode = 1; // "0" auto, "1" individual
inline constexpr int SourceFolder = 2;
inline constexpr int AfterFolder = 3;  // converted recordings are moved here
inline constexpr int OutputFolder = 4; // .m2v/.wav go here
inline constexpr int IndividualInterval = 5;
inline constexpr int DemuxKind = 6;
inline constexpr int AudioMode = 7;
inline constexpr int AudioEs = 8;
inline constexpr int Rf64 = 9;
inline constexpr int FrameCompletion = 10;
inline constexpr int Descramble = 11;
inline constexpr int CheckInterval = 12;
inline constexpr int KeywordFilter = 13;
inline constexpr int CharConversion = 14;
inline constexpr int BeforeString = 15;
inline constexpr int AfterString = 16;
inline constexpr int FolderChoiceName = 20; // the folder choice's remembered initial name
inline constexpr int Pending = 21;          // 1 while a started demuxer run is unfinished
} // namespace slot

// The three captions the demux kind slot holds.
inline const QString DemuxBoth = QStringLiteral("Demux(m2v+wav)");
inline const QString DemuxVideo = QStringLiteral("Demux(m2v)");
inline const QString DemuxAudio = QStringLiteral("Demux(wav)");
inline const QStringList DemuxKinds{DemuxBoth, DemuxVideo, DemuxAudio};

inline const QString DemuxerName = QStringLiteral("BonTsDemux.exe");

// The run record in the program folder: the demuxer run in progress, kept across a kill
// or a close until the run is finished off.
inline const QString RunRecordFile = QStringLiteral("kestrune.run");
// Recordings converted but not yet filed away (the after-conversion folder was missing,
// or is the source folder), kept so that a later start files them and none is converted
// again.
inline const QString UnfiledFile = QStringLiteral("kestrune.unfiled");

// The folder settings as the main window's labels name them, for messages.
inline const QString SourceFolderName = QStringLiteral("変換元フォルダ");
inline const QString AfterFolderName = QStringLiteral("変換後移動フォルダ");
inline const QString OutputFolderName = QStringLiteral("変換先フォルダ");

} // namespace kestrune
