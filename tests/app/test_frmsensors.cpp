// The sensor readings window: the reading formats, "Fail" at 0 Hz, and the
// last values kept while the sensor query fails.
#include "app/frmsensors.h"
#include "commands/modcommdata.h"
#include "commands/readingsrecord.h"
#include "tests/commands/scriptedpeer.h"

#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

QString cell(const frmSensors& w, int row, int column)
{
    const auto* grid = w.findChild<QTableWidget*>(QStringLiteral("grdReading"));
    const QTableWidgetItem* item = grid ? grid->item(row, column) : nullptr;
    return item ? item->text() : QStringLiteral("<none>");
}

TEST(SensorWindow, ShowsTheReadingsAndKeepsThemWhenAQueryFails)
{
    Readings() = ReadingsRecord{};
    ScriptedPeer peer;
    PeerLink link(peer);
    // The lead value, then rate, thickness and frequency of sensors 1 to 4.
    peer.accept("0 0.26 1.2345 5987654.321 12.34 0 0 0.04 12 6000000 100 0.0005 5.005");
    ASSERT_EQ(Data_GetSensors(), 0);
    frmSensors w;
    w.Timer1_Timer();

    struct Case {
        const char* name;
        int row;
        int column;
        const char* text;
    };
    const Case cases[] = {
        {"rate below 1: no leading zero", 1, 1, ".3"},
        {"rate: one decimal", 2, 1, "12.3"},
        {"rate 0.04", 3, 1, ".0"},
        {"thickness", 1, 2, "1.235"},
        {"thickness beside a failed crystal", 2, 2, "0.000"},
        {"thickness 0.0005", 4, 2, "0.001"},
        {"frequency", 1, 3, "5987654.32"},
        {"frequency 0 Hz", 2, 3, "Fail"},
        {"frequency 5.005", 4, 3, "5.01"},
        {"header", 0, 3, "Freq. (Hz) "},
    };
    for (const char* when : {"after the reading", "after a failed query"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(cell(w, c.row, c.column), QString::fromLatin1(c.text)) << when;
        }
        peer.refuse('B');
        EXPECT_EQ(Data_GetSensors(), -1) << "refused sensor query";
        w.Timer1_Timer();
    }
    Readings() = ReadingsRecord{};
}

} // namespace
