#pragma once

#include "SlotTable.h"

namespace pellavo {

// Pellavo's settings and engine state: 31 numbered slots shared by all windows.
using SettingTable = chain::SlotTable;
inline constexpr int SettingTableSize = 31;

// What each slot of `SettingTable` holds.
namespace slot {
inline constexpr int StartFolder = 0;      // the working folder at start-up; never changes
inline constexpr int M2vFolder = 1;        // where the .m2v and .wav files wait
inline constexpr int AviFolder = 2;        // where VirtualDub writes the .avi
inline constexpr int StorageFolder = 3;    // finished .m2v and .wav go here
inline constexpr int VirtualDubFolder = 4; // holds VirtualDub.exe and receives VirtualDub.jobs
inline constexpr int DeleteFlag = 5;       // "1" delete the .m2v after conversion, "0" store it
inline constexpr int Interval = 6;         // check interval in seconds, as text
inline constexpr int PictureSize = 7;      // "1" pattern by file name, "2" always NoResize
inline constexpr int FrameRate = 8;        // "1" 29.97, "2" 23.976
inline constexpr int Abort = 10;           // 1 after a failed input check
inline constexpr int NoticeTime = 19;      // how long the notice Form2 stays, in ms
inline constexpr int NoticeText = 20;      // what the notice Form2 says
inline constexpr int RunFlag = 26;         // 1 from VirtualDub's start until its file is finished off
inline constexpr int Frames = 29;          // frame count of the current file
inline constexpr int WavMilliseconds = 30; // length of the current .wav
} // namespace slot

} // namespace pellavo
