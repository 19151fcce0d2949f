// The process report: its CSV for a hand-built co-deposition process in two
// locales, the PDF, the report of the simulator's demo set, and dcx700ctl report.
#include "process/processreport.h"
#include "process/processreportpdf.h"
#include "tests/cli/clitestkit.h"
#include "tests/process/processfixture.h"

#include "store/model.h"
#include "store/moddatabase.h"
#include "support/config.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
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
    m.LayerTable[12].Rate = 10;
    m.LayerTable[12].Final_Thick = 2;
    FilmRecord& f = m.FilmTable[3];
    f.Film_Name = "Gold, pure";
    f.Material_Index = 3;
    f.Tooling = 104;
    f.Pterm = 35;
    f.Iterm = 2.0;
    f.Ramp1_Power = 6;
    f.Ramp1_Time = 90;
    f.Soak1_Time = 3600;
    f.Capture = 2.5;
    f.Control_Error = 1;
    f.Control_Error_Percent = 10;
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
const QString kLayerHeadings = "Step,Layer,Role,Film,Material,Output,Sensors,Rate (Å/s),Final Thickness (kÅ),"
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

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPages(const QByteArray& pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
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
        "1,10,Primary,\"3. Gold, pure\",Gold,2,\"1, 3\",2.5,1.235,0.500,120,Manual,45.6,2.0,"
        "\"1.5 Å/s from 0.800 kÅ, time 30\",Off",
        "1,11,Co-dep partner,4. Film4,Material 1,3,2,0.3,0.400,0.000,0,Auto,25.0,25.0,Off,Off",
        "2,12,Primary,5. Film5,Material 1,1,1,10.0,2.000,0.000,0,Auto,25.0,25.0,Off,Off",
        "",
        kFilmHeadings,
        "3,\"Gold, pure\",Gold,19.30,0.38,None,104,35,2.0,0.0,6.0,0:01:30,1:00:00,0.0,0:00:00,0:00:00,0.0,"
        "0:00:00,0:00:00,0.0,0:00:00,0:00:00,2.5,Stop,10,Time Based,0.0,0:00:00,0:00:00,Disable,3,Timed Power",
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

TEST(ProcessReport, EmptyAndMissingProcessesSaySo)
{
    const ParameterModel m = reportModel();
    EXPECT_EQ(csvLines(ProcessReportCsv(BuildProcessReport(m, 2))),
              QStringList({"Process,2,Empty", "Steps,0", "Layers,0", "Note,The process has no layers.", "",
                           kLayerHeadings, "", kFilmHeadings}));
    EXPECT_EQ(BuildProcessReport(m, 101).notes,
              QStringList({"There is no process 101: processes are numbered 1 to 100."}));
}

TEST(ProcessReport, PdfPagesAndUnwritableFiles)
{
    QTemporaryDir dir;
    ParameterModel m = reportModel();
    // Process 5: 90 single-layer steps, more than one page holds.
    link(m, 5, "Long", 100, 90, 90, {});
    for (int s = 100; s < 190; ++s) {
        m.LayerTable[size_t(s)] = LayerRecord{};
        m.LayerTable[size_t(s)].Layer_Free = 0;
        m.LayerTable[size_t(s)].Film_Number = 1;
        m.LayerTable[size_t(s)].Next_Layer = qint16(s == 189 ? -1 : s + 1);
    }
    struct Case {
        int process;
        bool manyPages;
    };
    for (const Case c : {Case{1, false}, Case{2, false}, Case{5, true}}) {
        SCOPED_TRACE(c.process);
        const QString out = dir.filePath(QStringLiteral("p%1.pdf").arg(c.process));
        int pages = 0;
        QString why;
        ASSERT_TRUE(WriteProcessReportPdf(BuildProcessReport(m, c.process), out, &why, &pages)) << why.toStdString();
        const QByteArray pdf = fileBytes(out);
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_EQ(pdfPages(pdf), pages);
        if (c.manyPages)
            EXPECT_GE(pages, 2);
        else
            EXPECT_EQ(pages, 1);
    }
    const QString bad = dir.filePath(QStringLiteral("no/such/folder/r"));
    QString why;
    EXPECT_FALSE(WriteProcessReportPdf(BuildProcessReport(m, 1), bad + ".pdf", &why));
    EXPECT_FALSE(WriteProcessReportCsv(BuildProcessReport(m, 1), bad + ".csv", &why));
    EXPECT_FALSE(why.isEmpty());
}

// A co-deposition process like the simulator's demo "NiCr CoDep": nickel
// with a chromium partner, then gold. DCX_REPORT_SAMPLE names a file to keep
// the PDF in, to look at.
TEST(ProcessReport, DemoCoDepositionProcess)
{
    ParameterModel m;
    m.MaterialTable[2] = {"Chromium", 7.20, 0.305};
    m.MaterialTable[3] = {"Gold", 19.30, 0.381};
    m.MaterialTable[7] = {"Nickel", 8.91, 0.331};
    struct Film {
        int number, material, tooling, pterm;
        const char* name;
        double iterm, r1Power, r2Power, idle, capture, errorPercent;
        int r1Time, soak1, r2Time, soak2, shutter;
    };
    for (const Film& d : {Film{2, 2, 98, 25, "Chromium", 1.0, 10.0, 13.0, 0.0, 8.0, 25.0, 25, 15, 15, 10, 10},
                          Film{3, 3, 104, 35, "Gold", 2.0, 6.0, 12.0, 4.0, 5.0, 20.0, 20, 15, 20, 15, 12},
                          Film{7, 7, 100, 30, "Nickel", 1.5, 12.0, 16.0, 0.0, 8.0, 20.0, 30, 15, 20, 10, 10}}) {
        FilmRecord& f = m.FilmTable[size_t(d.number)];
        f.Film_Name = d.name;
        f.Material_Index = qint16(d.material);
        f.Pocket = qint16(d.material);
        f.Tooling = qint16(d.tooling);
        f.Pterm = d.pterm;
        f.Iterm = d.iterm;
        f.Ramp1_Power = d.r1Power;
        f.Ramp1_Time = qint16(d.r1Time);
        f.Soak1_Time = d.soak1;
        f.Ramp2_Power = d.r2Power;
        f.Ramp2_Time = qint16(d.r2Time);
        f.Soak2_Time = d.soak2;
        f.Idle_Power = d.idle;
        f.Idle_Ramp_Time = d.idle > 0 ? 10 : 0;
        f.Shutter_Delay = qint16(d.shutter);
        f.Capture = d.capture;
        f.Control_Error = 1;
        f.Control_Error_Percent = d.errorPercent;
        f.Crystal_Quality = 5;
        f.Crystal_Stability = 3;
    }
    link(m, 4, "NiCr CoDep", 9, 2, 3, {{9, 7, -1, 10, 1}, {10, 2, 11, -1, 2}, {11, 3, -1, -1, 3}});
    const double rates[] = {3.0, 1.0, 5.0}, thick[] = {0.4, 0.13, 0.3}, power[] = {50, 40, 50};
    for (int i = 0; i < 3; ++i) {
        LayerRecord& l = m.LayerTable[size_t(9 + i)];
        l.Rate = rates[i];
        l.Final_Thick = thick[i];
        l.Thick_Limit = thick[i] * 0.9;
        l.Max_Power1 = power[i];
        l.Slew_Rate1 = 10;
        l.Sensor1 = i == 0;
        l.Sensor2 = i == 1;
        l.Sensor3 = i == 2;
    }

    ProcessReport r = BuildProcessReport(m, 4);
    r.source = QStringLiteral("/data/DCX700.mdb");
    r.printed = QStringLiteral("2026-12-05 14:03");
    ASSERT_EQ(r.layers.rows.size(), 3u);
    EXPECT_EQ(r.layers.rows[1].mid(0, 5), QStringList({"1", "10", "Co-dep partner", "2. Chromium", "Chromium"}));
    EXPECT_EQ(r.films.rows.size(), 3u);
    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("DCX_REPORT_SAMPLE");
    int pages = 0;
    EXPECT_TRUE(WriteProcessReportPdf(r, keep.isEmpty() ? dir.filePath("demo.pdf") : keep, nullptr, &pages));
    EXPECT_EQ(pages, 1);
}

// dcx700ctl report on a saved parameter file gives what the window gives.
TEST(ProcessReport, CommandLineReport)
{
    QTemporaryDir dir;
    Model() = reportModel();
    Config().DBFileName = dir.filePath("DCX700.mdb");
    ASSERT_TRUE(DBSave());
    const QByteArray expected = ProcessReportCsv(BuildProcessReport(Model(), 1));
    Model() = ParameterModel();

    const QString csv = dir.filePath("r.csv");
    const QString db = Config().DBFileName;
    clitest::CtlRun run = clitest::runCtl(dir.path(), {"report", "--db", db, "--process", "1", "--csv", csv});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(fileBytes(csv), expected);

    run = clitest::runCtl(dir.path(), {"report", "--db", db, "--process", "2", "--pdf", dir.filePath("r.pdf")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(fileBytes(dir.filePath("r.pdf")).startsWith("%PDF-"));

    run = clitest::runCtl(dir.path(), {"report", "--db", db, "--process", "1", "--csv", dir.filePath("x/r.csv")});
    EXPECT_EQ(run.exitCode, 3);
}
