#pragma once

#include <QString>

namespace kestrune {

// The text the individual interval box keeps after an edit: "60" for a leading number
// above 60, "1" for one below 1 (an empty or non-numeric text included), otherwise the
// text itself, fractions and all.
QString keptIndividualInterval(const QString& text);

// The individual-mode interval in whole seconds that a slot-5 text gives: the text
// kept within 1-60 as above, then its whole number; always 1 to 60. Start-up (window and
// headless alike) and the engine read slot 5 through this one rule.
int individualIntervalSeconds(const QString& text);

// The verdict on the auto-mode check interval typed into the demux mode window.
struct CheckInterval {
    int seconds = 0;      // the whole number of the text, or the nearest bound when out of range
    bool inRange = false; // 20 to 300 seconds
};
CheckInterval checkInterval(const QString& text);

} // namespace kestrune
