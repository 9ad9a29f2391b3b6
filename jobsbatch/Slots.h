#pragma once

#include "SlotTable.h"

namespace orvane {

// Orvane's settings and the batch's working state: 51 numbered slots, owned by the main
// window for the life of the program.
using StateTable = chain::SlotTable;
inline constexpr int StateTableSize = 51;

// What each used slot of `StateTable` holds.
namespace slot {
inline constexpr int StartFolder = 0;      // the working directory when the program started
inline constexpr int VirtualDubFolder = 1; // holds VirtualDub.exe; VirtualDub.jobs is written here
inline constexpr int JobsFolder = 2;       // where the .jobs files wait
inline constexpr int JobsMoveFolder = 3;   // where each finished jobs file is moved
inline constexpr int DeleteOption = 4;     // "1": finished jobs files are deleted instead
inline constexpr int CloseOption = 5;      // "1": the program ends when no jobs file is left
inline constexpr int CurrentJobPath = 10;  // the jobs file handed to VirtualDub, not yet filed away
inline constexpr int CurrentJobName = 11;  // its file name
inline constexpr int ListEditFlag = 12;    // "1" while "解除" takes an entry off the job list
} // namespace slot

// The window's label of each folder slot; start-up messages name a folder by it too.
inline const QString VirtualDubFolderLabel = QStringLiteral("VirtualDubフォルダ");
inline const QString JobsFolderLabel = QStringLiteral("(.jobs)フォルダ");
inline const QString JobsMoveFolderLabel = QStringLiteral("jobs移動フォルダ");

inline const QString SettingsFileName = QStringLiteral("Orvane_Data.txt");
inline const QString LogFileName = QStringLiteral("orvane.log"); // the events, in the start folder
inline const QString JobsPattern = QStringLiteral("*.jobs");
inline const QString VirtualDubJobsName = QStringLiteral("VirtualDub.jobs");
inline const QString VirtualDubName = QStringLiteral("VirtualDub.exe");
inline const QString VirtualDubOptions = QStringLiteral(" /x /r");

// An option slot is on when it holds "1".
inline bool isOn(const StateTable& state, int optionSlot) {
    return state.text(optionSlot) == u"1";
}

} // namespace orvane
