// The process report: its CSV for a hand-built co-deposition process in two
// locales, and its PDF.
#include "process/processreport.h"
#include "process/processreportpdf.h"
#include "tests/process/processfixture.h"

#include "store/model.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace proctest;

namespace {

// Process 1 "Optic": step 1 = layer 10 with partner 11, step 2 = layer 12.
ParameterModel reportModel()
{
    ParameterModel m = sampleModel();
    LayerRecord& a = m.LayerTable[10];
    a.Rate = 2.5;
    a.Final_Thick = 1.2345;
    a.Thick_Limit = 0.5;
    a.Time_Setpoint = 120;
    a.Start_Mode = 0;
    a.Max_Power1 = 45.6;
    a.Slew_Rate1 = 2.0;
    a.Sensor3 = 1;
    a.Ramp1_Enabled = 1.0;
    a.Ramp1_Start = 0.8;
    a.Ramp1_Rate = 1.5;
    a.Ramp1_Time = 30;
    LayerRecord& b = m.LayerTable[11];
    b.Rate = 0.25;
    b.Final_Thick = 0.4;
    b.Sensor1 = 0;
    b.Sensor2 = 1;
    m.LayerTable[12].Rate = 10.0;
    m.LayerTable[12].Final_Thick = 2.0;
    FilmRecord& f = m.FilmTable[3];
    f.Film_Name = "Gold, pure";
    f.Material_Index = 3;
    f.Tooling = 104;
    f.Pterm = 35.0;
    f.Iterm = 2.0;
    f.Ramp1_Power = 6.0;
    f.Ramp1_Time = 90;
    f.Soak1_Time = 3600.0;
    f.Capture = 2.5;
    f.Control_Error = 1;
    f.Control_Error_Percent = 10.0;
    f.Sampling = 2;
    f.Crystal_Stability = 3;
    f.Crystal_Fail = 1;
    m.MaterialTable[3] = {"Gold", 19.3, 0.381};
    return m;
}

const QString kFilmHeadings =
    "Film,Name,Material,Density (g/cm³),Z-Factor,Pocket,Tooling (%),P,I,D,Ramp 1 Power (%),Ramp 1 Time,"
    "Soak 1 Time,Ramp 2 Power (%),Ramp 2 Time,Soak 2 Time,Feed Power (%),Feed Ramp,Feed Time,Idle Power (%),"
    "Idle Ramp,Shutter Delay,Capture (%),Control Error,Control Error (%),Rate Sampling,Sample Accuracy (%),"
    "Sample Hold,Sample Time,Crystal Quality (%),Crystal Stability (Hz),Crystal Fail";
const QString kLayerHeadings =
    "Step,Layer,Role,Film,Material,Output,Sensors,Rate (Å/s),Final Thickness (kÅ),"
    "Thickness Setpoint (kÅ),Time Setpoint,Start Mode,Max Power (%),Slew Rate (%/s),"
    "Ramp 1,Ramp 2";
QString defaultFilm(int n)
{
    return QStringLiteral("%1,Film%1,Material 1,1.00,1.00,None,100,0,0.0,0.0,0.0,0:00:00,0:00:00,0.0,0:00:00,"
                          "0:00:00,0.0,0:00:00,0:00:00,0.0,0:00:00,0:00:00,0,Ignore,0,Continuous,0.0,0:00:00,"
                          "0:00:00,Disable,Disable,Halt")
        .arg(n);
}

QStringList csvLines(const QByteArray& csv)
{
    EXPECT_TRUE(csv.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(csv).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

} // namespace

TEST(ProcessReport, CsvOfACoDepositionProcessInAnyLocale)
{
    const QStringList expected{
        "Process,1,Optic",
        "Steps,2",
        "Layers,3",
        "",
        kLayerHeadings,
        "1,10,Primary,\"3. Gold, pure\",Gold,2,\"1, 3\",2.5,1.234,0.500,120,Manual,45.6,2.0,"
        "\"1.5 Å/s from 0.800 kÅ, time 30\",Off",
        "1,11,Co-dep partner,4. Film4,Material 1,3,2,0.2,0.400,0.000,0,Auto,25.0,25.0,Off,Off",
        "2,12,Primary,5. Film5,Material 1,1,1,10.0,2.000,0.000,0,Auto,25.0,25.0,Off,Off",
        "",
        kFilmHeadings,
        "3,\"Gold, pure\",Gold,19.30,0.38,None,104,35,2.0,0.0,6.0,0:01:30,1:00:00,0.0,0:00:00,0:00:00,0.0,"
        "0:00:00,0:00:00,0.0,0:00:00,0:00:00,2.5,Stop,10,Time Based,0.0,0:00:00,0:00:00,Disable,3,Timed "
        "Power",
        defaultFilm(4),
        defaultFilm(5),
    };
    const ParameterModel m = reportModel();
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        EXPECT_EQ(csvLines(ProcessReportCsv(BuildProcessReport(m, 1))), expected);
    }
    QLocale::setDefault(QLocale::c());
}

// The PDF: one page for a short process; a folder that does not exist fails.
// DCX_REPORT_SAMPLE names a file to keep the PDF in, to look at.
TEST(ProcessReport, Pdf)
{
    ProcessReport r = BuildProcessReport(reportModel(), 1);
    r.source = QStringLiteral("/data/DCX700.mdb");
    r.printed = QStringLiteral("2026-12-05 14:03");
    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("DCX_REPORT_SAMPLE");
    int pages = 0;
    EXPECT_TRUE(WriteProcessReportPdf(r, keep.isEmpty() ? dir.filePath("r.pdf") : keep, nullptr, &pages));
    EXPECT_EQ(pages, 1);
    QString error;
    EXPECT_FALSE(WriteProcessReportPdf(r, dir.filePath("no/such/folder/r.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}
