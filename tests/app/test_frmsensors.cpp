// The sensor readings window: its grid headers, the reading formats and
// "Fail", and the refresh from the shared readings.
#include "app/frmsensors.h"
#include "commands/readingsrecord.h"
#include "support/errhandler.h"

#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString cell(const QTableWidget* g, int r, int c)
{
    const QTableWidgetItem* item = g->item(r, c);
    return item ? item->text() : QStringLiteral("<none>");
}

class SensorWindow : public ::testing::Test {
protected:
    void SetUp() override { Readings() = ReadingsRecord{}; }
    void TearDown() override { Readings() = ReadingsRecord{}; }
};

TEST_F(SensorWindow, TheGridHasItsHeadersAndRefreshesFourTimesASecond)
{
    frmSensors w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Sensor Readings"));
    auto* grid = w.findChild<QTableWidget*>(QStringLiteral("grdReading"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 5);
    ASSERT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(cell(grid, 0, 0), QString());
    EXPECT_EQ(cell(grid, 0, 1), QStringLiteral("Rate (A/s) "));
    EXPECT_EQ(cell(grid, 0, 2), QStringLiteral("Thick (kA) "));
    EXPECT_EQ(cell(grid, 0, 3), QStringLiteral("Freq. (Hz) "));
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(cell(grid, r, 0), QStringLiteral("Sensor %1").arg(r));
    // The window fits the grid with room around it.
    EXPECT_GT(w.width(), grid->width());
    EXPECT_GT(w.height(), grid->height());

    auto* timer = w.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 250);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(SensorWindow, ReadingsAreFormattedAndAZeroFrequencyFails)
{
    ReadingsRecord& r = Readings();
    r.SensorRate = {0.26, 12.34, 0.04, 100.0};
    r.SensorThickness = {1.2345, 0.0, 12.0, 0.0005};
    r.SensorFrequency = {5987654.321, 0.0, 6000000.0, 5.005};
    frmSensors w;
    auto* grid = w.findChild<QTableWidget*>(QStringLiteral("grdReading"));
    ASSERT_NE(grid, nullptr);
    w.Timer1_Timer();
    EXPECT_EQ(cell(grid, 1, 1), QStringLiteral(".3"));
    EXPECT_EQ(cell(grid, 2, 1), QStringLiteral("12.3"));
    EXPECT_EQ(cell(grid, 3, 1), QStringLiteral(".0"));
    EXPECT_EQ(cell(grid, 4, 1), QStringLiteral("100.0"));
    EXPECT_EQ(cell(grid, 1, 2), QStringLiteral("1.235"));
    EXPECT_EQ(cell(grid, 2, 2), QStringLiteral("0.000"));
    EXPECT_EQ(cell(grid, 4, 2), QStringLiteral("0.001"));
    EXPECT_EQ(cell(grid, 1, 3), QStringLiteral("5987654.32"));
    // A failed crystal: its rate and thickness still shown.
    EXPECT_EQ(cell(grid, 2, 3), QStringLiteral("Fail"));
    EXPECT_EQ(cell(grid, 2, 1), QStringLiteral("12.3"));
    EXPECT_EQ(cell(grid, 3, 3), QStringLiteral("6000000.00"));
    EXPECT_EQ(cell(grid, 4, 3), QStringLiteral("5.01"));
    EXPECT_EQ(ErrHandler().StackIndex(), 0);

    // The next refresh shows the next values; with nothing new the last stay.
    r.SensorFrequency[1] = 5000000.0;
    w.Timer1_Timer();
    EXPECT_EQ(cell(grid, 2, 3), QStringLiteral("5000000.00"));
    w.Timer1_Timer();
    EXPECT_EQ(cell(grid, 2, 3), QStringLiteral("5000000.00"));
    EXPECT_EQ(cell(grid, 0, 3), QStringLiteral("Freq. (Hz) "));
}

} // namespace
