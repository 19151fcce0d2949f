#include "app/buttontable.h"

#include "commands/readingsrecord.h"

#include <array>

namespace {

// How the two manual-power buttons are chosen in a row.
enum class Manual : quint8 {
    PendingRule, // Manual -> Auto while Auto -> Manual is pending, else Auto -> Manual
    AutoShown,   // Auto -> Manual
    ManualShown, // Manual -> Auto
    NoneShown,
};

constexpr Show V = Show::Visible;
constexpr Show H = Show::Hidden;
constexpr Show U = Show::Unchanged;

struct Row {
    qint16 from, to; // phase range, inclusive
    Show next, startMan, startLayer, stopLayer, start, abort;
    bool listEnabled;
    Manual manual;
    bool sliders;
};

// Tested in this order; the first row whose range holds the phase wins.
constexpr std::array<Row, 6> kRows{{
    // phase      Next Man  Layer Stop Start Abort list   manual buttons       sliders
    {0, 0, V, H, V, H, V, H, true, Manual::PendingRule, false},    // Stopped
    {3, 3, H, V, H, V, H, V, false, Manual::PendingRule, false},   // Man. Start Layer
    {5, 22, H, H, H, V, H, V, false, Manual::AutoShown, false},    // running
    {25, 25, V, H, V, H, H, V, false, Manual::PendingRule, false}, // Stop Layer
    {26, 26, H, H, H, V, H, V, false, Manual::ManualShown, true},  // Manual Power
    {24, 24, H, H, H, V, H, V, false, Manual::NoneShown, false},   // Crystal Fail
}};

// Every other phase (1, 2, 4, 23, -1, above 26).
constexpr Row kOther{0, 0, U, U, U, U, U, U, false, Manual::AutoShown, false};

} // namespace

ButtonLayout ButtonsForPhase(qint16 phase, qint16 pendingCode)
{
    const Row* row = &kOther;
    for (const Row& r : kRows) {
        if (phase >= r.from && phase <= r.to) {
            row = &r;
            break;
        }
    }
    ButtonLayout l;
    l.nextLayer = row->next;
    l.startManLayer = row->startMan;
    l.startLayer = row->startLayer;
    l.stopLayer = row->stopLayer;
    l.start = row->start;
    l.abort = row->abort;
    l.processListEnabled = row->listEnabled;
    l.sliders = row->sliders;
    const bool manualPending = pendingCode == OperateCode::AutoToManual;
    switch (row->manual) {
    case Manual::PendingRule:
        l.autoMan = !manualPending;
        l.manAuto = manualPending;
        break;
    case Manual::AutoShown:
        l.autoMan = true;
        l.manAuto = false;
        break;
    case Manual::ManualShown:
        l.autoMan = false;
        l.manAuto = true;
        break;
    case Manual::NoneShown:
        l.autoMan = false;
        l.manAuto = false;
        break;
    }
    return l;
}
