#include "runlog/phasetext.h"

#include "support/numbers.h"

#include <array>

namespace {

// Indexed by phase code 0..26; empty entries have no text.
constexpr std::array<const char*, 27> kPhaseTexts = {
    "Stopped",          // 0
    "Crystal Verify",   // 1
    "",                 // 2
    "Man. Start Layer", // 3
    "",                 // 4
    "Rotate Pocket",    // 5
    "PreCondition",     // 6
    "Rise 1",           // 7
    "Soak 1",           // 8
    "Rise 2",           // 9
    "Soak 2",           // 10
    "Soak Hold",        // 11
    "Shutter Delay",    // 12
    "Deposit",          // 13
    "Rate Ramp",        // 14
    "Ramp Deposit",     // 15
    "TP Recovery",      // 16
    "",                 // 17
    "",                 // 18
    "",                 // 19
    "Feed Ramp",        // 20
    "Feed Soak",        // 21
    "Idle Ramp",        // 22
    "Start Layer",      // 23
    "Crystal Fail",     // 24
    "Stop Layer",       // 25
    "Manual Power",     // 26
};

} // namespace

QString PhaseText(int code)
{
    if (code < 0 || code >= int(kPhaseTexts.size()))
        return {};
    return QString::fromLatin1(kPhaseTexts[size_t(code)]);
}

bool IsIdlePhase(int code)
{
    return (code >= 0 && code <= 5) || code == 25;
}

bool IsActivePhase(int code)
{
    return (code >= 6 && code <= 22) || code == 26;
}

bool IsRunStart(int storedPhase, int newPhase)
{
    return IsIdlePhase(storedPhase) && newPhase > 5;
}

QString FormatThickness(double angstrom)
{
    const double k = angstrom / 1000.0;
    if (k < 10.0)
        return FormatNumber(k, u"#0.000");
    if (k < 100.0)
        return FormatNumber(k, u"#0.00");
    if (k < 1000.0)
        return FormatNumber(k, u"#0.0");
    return {};
}
