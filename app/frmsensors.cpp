#include "app/frmsensors.h"

#include "app/sensorgrid.h"
#include "commands/readingsrecord.h"
#include "support/errhandler.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace {

// Twips at the 15 twips per pixel of a standard screen.
constexpr int twips(int t)
{
    return t / 15;
}

constexpr int kRefreshMs = 250;

} // namespace

frmSensors::frmSensors(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSensors"));
    setWindowTitle(QStringLiteral("Sensor Readings"));
    grdReading = new QTableWidget(this);
    grdReading->setObjectName(QStringLiteral("grdReading"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kRefreshMs);
    connect(Timer1, &QTimer::timeout, this, &frmSensors::Timer1_Timer);
    Form_Load();
    Timer1->start();
}

void frmSensors::Form_Load()
{
    const ProcedureScope scope(QStringLiteral("frmSensors_Form_Load"));
    InitGrid();
    // The window is 200 twips wider and 500 taller than the grid, the grid
    // centred in it.
    const QSize grid = grdReading->size();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdReading, 0, Qt::AlignCenter);
    setFixedSize(grid.width() + twips(200), grid.height() + twips(500));
}

void frmSensors::InitGrid()
{
    const ProcedureScope scope(QStringLiteral("frmSensors_InitGrid"));
    grdReading->setRowCount(kSensorGridRows);
    grdReading->setColumnCount(kSensorGridColumns);
    // Row 0 and column 0 are the grid's own fixed cells, not Qt's headers.
    grdReading->horizontalHeader()->hide();
    grdReading->verticalHeader()->hide();
    grdReading->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdReading->setSelectionMode(QAbstractItemView::NoSelection);
    grdReading->setFocusPolicy(Qt::NoFocus);
    grdReading->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdReading->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const SensorGridTexts headers = SensorGridHeaders();
    const QBrush fixed = palette().brush(QPalette::Button);
    for (int r = 0; r < kSensorGridRows; ++r) {
        for (int c = 0; c < kSensorGridColumns; ++c) {
            auto* item = new QTableWidgetItem(headers[size_t(r)][size_t(c)]);
            item->setFlags(Qt::ItemIsEnabled);
            if (r == 0 || c == 0)
                item->setBackground(fixed);
            else
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdReading->setItem(r, c, item);
        }
    }
    // The design sizes in twips, widened where this platform's font needs
    // more room: column 0 for "Sensor 4", the others for their header or a
    // seven-digit frequency, whichever is wider.
    const QFontMetrics fm(grdReading->font());
    const int pad = fm.horizontalAdvance(QLatin1Char('0')) * 2;
    grdReading->setWordWrap(false);
    grdReading->setRowHeight(0, qMax(twips(320), fm.height() + pad / 2));
    grdReading->setColumnWidth(0, qMax(twips(860), fm.horizontalAdvance(headers[4][0]) + pad));
    static constexpr std::array<const char*, kSensorGridColumns> kWidest = {"", "0000.0", "0000.000",
                                                                            "0000000.00"};
    for (int c = 1; c < kSensorGridColumns; ++c) {
        const int text = qMax(fm.horizontalAdvance(headers[0][size_t(c)]),
                              fm.horizontalAdvance(QLatin1String(kWidest[size_t(c)])));
        grdReading->setColumnWidth(c, text + pad);
    }

    int width = 2 * grdReading->frameWidth();
    for (int c = 0; c < kSensorGridColumns; ++c)
        width += grdReading->columnWidth(c);
    int height = 2 * grdReading->frameWidth();
    for (int r = 0; r < kSensorGridRows; ++r)
        height += grdReading->rowHeight(r);
    grdReading->setFixedSize(width, height);
}

void frmSensors::Timer1_Timer()
{
    const ProcedureScope scope(QStringLiteral("frmSensors_ZRMReading"));
    const SensorGridTexts texts = SensorGridReadings(Readings());
    for (int r = 1; r < kSensorGridRows; ++r)
        for (int c = 1; c < kSensorGridColumns; ++c)
            grdReading->item(r, c)->setText(texts[size_t(r)][size_t(c)]);
}
