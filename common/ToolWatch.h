#pragma once

#include "ProcessWatch.h"

#include <QString>
#include <functional>

namespace chain {

// The image names of the chain's outside tools.
inline const QString DemuxerImage = QStringLiteral("BonTsDemux.exe");
inline const QString VirtualDubModImage = QStringLiteral("VirtualDubMod.exe");
inline const QString VirtualDubImage = QStringLiteral("VirtualDub.exe");

// The busy check every engine of the chain makes before it starts a tool, and after it
// to see the tool's run end. Each check reads the process list once. A list that can't
// be read counts as busy ("unsure means busy"); that is reported once, until a list
// has been read again.
class ToolWatch {
  public:
    using Reporter = std::function<void(const QString&)>;
    ToolWatch(ProcessWatch& watch, Reporter report);

    // Is BonTsDemux.exe running? (Kestrune's BonAct)
    bool demuxerBusy();
    // Is VirtualDubMod.exe or VirtualDub.exe running? (Kestrune's VirtualAct)
    bool videoToolBusy();
    // Is any of the three running? (Pellavo's and Orvane's BonAct)
    bool anyToolBusy();

    // Kestrune's two checks of one auto tick (BonAct, then VirtualAct) from one read of
    // the process list.
    struct Busy {
        bool demuxer;
        bool videoTool;
    };
    Busy demuxerAndVideoToolBusy();

  private:
    bool anyRunning(const QStringList& names);
    // The names of `names` that run; nothing (reported) when the list can't be read.
    std::optional<QStringList> running(const QStringList& names);

    ProcessWatch& m_watch;
    Reporter m_report;
    bool m_failureReported = false;
};

} // namespace chain
