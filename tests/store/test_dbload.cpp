#include "storefixture.h"

#include "store/dbreader.h"
#include "store/moddatabase.h"
#include "support/progress.h"

#include <QDir>

using namespace storetest;

namespace {

class DbLoad : public StoreTest {};

// Reset to the defaults. The reset leaves layer rates, thicknesses,
// setpoints and ramps as they were, so layers read before the failure keep
// those.
bool isDefaultModel()
{
    ParameterModel reset = Model();
    SetDefaultParameters(reset);
    return Model() == reset && Model().ProcessTable[5].Process_Name.trimmed() == QLatin1String("Process 5");
}

} // namespace

TEST_F(DbLoad, ReadsEveryTableOfAFileWrittenByAnotherTool)
{
    makeDb(QByteArray(kProcess1Sql) +
           "UPDATE Layers SET Time_Setpoint = 2.5, Ramp1_Time = 3.5 WHERE Layer_Number = 12;");
    ASSERT_TRUE(DBOpen());
    EXPECT_TRUE(dlg.messages.isEmpty());
    const ParameterModel& m = Model();

    const LayerRecord& a = m.LayerTable[10];
    EXPECT_EQ(a.Final_Thick, 1.234) << "Final_Thick";
    EXPECT_EQ(a.Ramp1_Enabled, 1.0) << "Ramp1_Enabled";
    EXPECT_EQ(a.Ramp1_Start, 0.1) << "Ramp1_Start";
    EXPECT_EQ(a.Time_Setpoint, 40) << "Time_Setpoint";
    EXPECT_EQ(a.Start_Mode, 0) << "Start_Mode";
    EXPECT_EQ(a.Output_Number, 2) << "Output_Number";
    EXPECT_EQ(a.Sensor2, 1) << "Sensor2";
    EXPECT_EQ(a.Layer_Free, 0) << "Layer_Free";
    // A Boolean written as -1 by another program is true.
    const LayerRecord& b = m.LayerTable[11];
    EXPECT_EQ(b.Ramp2_Enabled, 1.0) << "Ramp2_Enabled of 11";
    // Integers round halves to even.
    const LayerRecord& c = m.LayerTable[12];
    EXPECT_EQ(c.Time_Setpoint, 2) << "Time_Setpoint 2.5 of 12";
    EXPECT_EQ(c.Ramp1_Time, 4) << "Ramp1_Time 3.5 of 12";
    // Slots outside every process keep the reset values.
    EXPECT_EQ(m.LayerTable[13], ParameterModel().LayerTable[13]);

    const FilmRecord& f = m.FilmTable[7];
    EXPECT_EQ(f.Pterm, 7.0) << "Pterm";
    EXPECT_EQ(f.Iterm, 0.5) << "Iterm";
    EXPECT_EQ(f.Ramp1_Power, 10.5) << "Ramp1_Power";
    EXPECT_EQ(f.Control_Error_Percent, 3.5) << "Control_Error_Percent";
    EXPECT_EQ(f.Material_Index, 2) << "Material_Index";
    EXPECT_EQ(f.Idle_Ramp_Time, 9) << "Idle_Ramp_Time";
    EXPECT_EQ(f.Tooling, 95) << "Tooling";
    EXPECT_EQ(f.Crystal_Stability, 60) << "Crystal_Stability";
    EXPECT_EQ(f.Sample_Time, 12) << "Sample_Time";
    EXPECT_EQ(f.Sample_Hold, 13) << "Sample_Hold";

    const MaterialRecord& mat = m.MaterialTable[42];
    EXPECT_EQ(mat.Density, 2.5) << "Density";

    const SystemRecord& s = m.SystemParams;
    EXPECT_EQ(s.Period, 0.5) << "Period";
    EXPECT_EQ(s.Power_Scale_1, 10.0) << "Power Scale 1";
    EXPECT_EQ(s.Power_Scale_4, 7.0) << "Power Scale 4";
    EXPECT_EQ(s.System_Tooling, 90) << "System Tooling";
    EXPECT_EQ(s.Xtool1, 80) << "Xtool1";
    EXPECT_EQ(s.Xtool4, 83) << "Xtool4";
}

TEST_F(DbLoad, TheLayerCountDrivesTheWalk)
{
    // Number_Act_Layers 0 reads nothing, whatever First_Layer holds.
    makeDb("UPDATE Processes SET First_Layer = 5000, Number_Layers = 3, Number_Act_Layers = 0"
           " WHERE Process_Number = 2;"
           "UPDATE Processes SET First_Layer = 20, Number_Act_Layers = 0 WHERE Process_Number = 3;");
    ASSERT_TRUE(DBOpen());
    EXPECT_EQ(Model().ProcessTable[2].First_Layer, 5000) << "First_Layer of process 2";
    EXPECT_EQ(Model().LayerTable[20].Layer_Free, 1) << "Layer_Free of 20";
    EXPECT_TRUE(dlg.messages.isEmpty()) << "messages";
}

TEST_F(DbLoad, LayerRepairs)
{
    // The name holds "%2": it must reach the message as it is.
    makeDb(QByteArray(kProcess1Sql) +
           "UPDATE Processes SET Process_Name = 'Run%2' WHERE Process_Number = 1;"
           "UPDATE Layers SET Film_Number = 0, Output_Number = 0, Max_Power1 = 0, Slew_Rate1 = 0"
           " WHERE Layer_Number = 11;"
           "UPDATE Layers SET Output_Number = -3 WHERE Layer_Number = 12;");
    const QByteArray before = readFile(Config().DBFileName);
    ASSERT_TRUE(DBOpen());
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text, "Film number error in process Run%2, Layer 2.\nLayer set to Film 1.");
    EXPECT_EQ(dlg.messages[0].buttons, MsgButtons::Ok) << "buttons";
    const LayerRecord& l = Model().LayerTable[11];
    EXPECT_EQ(l.Film_Number, 1) << "Film_Number";
    EXPECT_EQ(l.Max_Power1, 25.0) << "Max_Power1";
    EXPECT_EQ(l.Slew_Rate1, 25.0) << "Slew_Rate1";
    EXPECT_EQ(Model().LayerTable[12].Output_Number, 1) << "Output_Number -3 of 12";
    // Repairs change the model, not the file.
    EXPECT_EQ(readFile(Config().DBFileName), before);
}

TEST_F(DbLoad, ALoopingProcessLoadsWithEveryOtherProcess)
{
    // Process 1's last layer links back to its first; the count of 5 reads
    // 10, 11, 12, 10, 11: slot 10 is read again and the load goes on.
    makeDb(QByteArray(kProcess1Sql) + "UPDATE Layers SET Next_Layer = 10 WHERE Layer_Number = 12;"
                                      "UPDATE Processes SET Number_Act_Layers = 5 WHERE Process_Number = 1;"
                                      "UPDATE Layers SET Film_Number = 0 WHERE Layer_Number = 10;");
    const QString file = Config().DBFileName;
    ASSERT_TRUE(DBOpen());
    EXPECT_EQ(Config().DBFileName, file);
    // The repair message comes with each reading of the slot: positions 1 and 4.
    EXPECT_EQ(
        shown(QStringLiteral("Film number error")),
        (QStringList{QStringLiteral("Film number error in process Optic, Layer 1.\nLayer set to Film 1."),
                     QStringLiteral("Film number error in process Optic, Layer 4.\nLayer set to Film 1.")}));
    const ParameterModel& m = Model();
    EXPECT_EQ(m.ProcessTable[1].Number_Act_Layers, 5) << "Number_Act_Layers";
    EXPECT_EQ(m.LayerTable[12].Next_Layer, 10) << "Next_Layer of 12";
    EXPECT_EQ(m.LayerTable[11].Rate, 1.0) << "Rate of 11";
    EXPECT_EQ(m.ProcessTable[100].Process_Name.trimmed(), "P100") << "a process after the loop";
    EXPECT_TRUE(WalkProcess(m, 1).loops()) << "loops";

    // Saved and loaded again, the loop and the rest come back unchanged.
    const ParameterModel loaded = Model();
    ASSERT_TRUE(DBSave());
    Model() = ParameterModel();
    dlg.messages.clear();
    ASSERT_TRUE(DBOpen());
    EXPECT_TRUE(dlg.messages.isEmpty());
    EXPECT_EQ(Model(), loaded);
}

TEST_F(DbLoad, KeysBeyondTheIntegerRangeAreNoKeys)
{
    // Layer row 999 and input row 7 carry keys far outside int: they are no
    // rows of their tables, so the load creates rows 999 and 7 afresh.
    makeDb("UPDATE Layers SET Layer_Number = 3000000000 WHERE Layer_Number = 999;"
           "UPDATE Inputs SET InputNum = -5e9 WHERE InputNum = 7;");
    ASSERT_TRUE(DBOpen());
    EXPECT_EQ(
        query(Config().DBFileName, "SELECT COUNT(*) FROM Layers WHERE Layer_Number IN (999, 3000000000);"),
        "2");
    EXPECT_EQ(Model().InputTable[6].Input_Type, 46) << "input 7 created afresh";
    EXPECT_EQ(Model().InputTable[7].Input_Type, 3) << "input 8";
}

TEST_F(DbLoad, FrequenciesInHertzOrMegahertz)
{
    struct Case {
        const char* sql;
        double min, max;
    } cases[] = {
        {"UPDATE System SET \"Min Freq\" = 5, \"Max Freq\" = 6;", 5.0, 6.0},
        {"UPDATE System SET \"Min Freq\" = 5500000, \"Max Freq\" = 6500000;", 5.5, 6.5},
        {"UPDATE System SET \"Min Freq\" = 9.9, \"Max Freq\" = 6000000;", 9.9, 6000000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        makeDb(c.sql);
        Config().DBFileName = path(QStringLiteral("DCX700.mdb"));
        ASSERT_TRUE(DBOpen());
        EXPECT_EQ(Model().SystemParams.Min_Freq, c.min) << "Min Freq";
        EXPECT_EQ(Model().SystemParams.Max_Freq, c.max) << "Max Freq";
    }
}

TEST_F(DbLoad, NamesMatchIgnoringCaseAndAreCutToSixteen)
{
    makeDb("ALTER TABLE Materials RENAME COLUMN ZFactor TO zfactor;"
           "ALTER TABLE Films RENAME COLUMN Film_Name TO FILM_NAME;"
           "ALTER TABLE System RENAME TO s2; ALTER TABLE s2 RENAME TO SYSTEM;"
           "UPDATE Materials SET Material = 'A very long material name' WHERE MatNum = 2;");
    ASSERT_TRUE(DBOpen());
    EXPECT_EQ(Model().MaterialTable[2].Material.text(), "A very long mate") << "Material";
    EXPECT_EQ(Model().MaterialTable[2].ZFactor, 1.25) << "zfactor";
    EXPECT_EQ(Model().FilmTable[2].Film_Name.trimmed(), "F2") << "FILM_NAME";
}

TEST_F(DbLoad, DamagedContentFailsWithTheRecordKey)
{
    struct Case {
        const char* sql;
        const char* key;
    } cases[] = {
        {"DROP TABLE Films;", "Film 1"},
        {"ALTER TABLE Layers DROP COLUMN Ramp2_Time;", "Process 1 Layer 10"},
        {"UPDATE Films SET Tooling = NULL WHERE Film_Number = 7;", "Film 7"},
        {"UPDATE Processes SET Process_Name = NULL WHERE Process_Number = 4;", "Process 4"},
        {"UPDATE Materials SET Density = 'heavy' WHERE MatNum = 9;", "Material 9"},
        {"UPDATE Layers SET Time_Setpoint = 40000 WHERE Layer_Number = 11;", "Process 1 Layer 11"},
        {"UPDATE Inputs SET \"Input Type\" = -32769 WHERE InputNum = 3;", "Input 3"},
        {"UPDATE Outputs SET \"Output Type\" = 32767.5 WHERE OutputNum = 2;", "Output 2"},
        {"UPDATE System SET Xtool3 = NULL;", "System"},
        // The walk runs off the end before the count is reached.
        {"UPDATE Layers SET Next_Layer = 1001 WHERE Layer_Number = 11;", "Process 1 Layer 1001"},
        {"UPDATE Processes SET First_Layer = 0 WHERE Process_Number = 1;", "Process 1 Layer 0"},
    };
    for (const Case& c : cases) {
        dlg.messages.clear();
        const QString file = makeDb(QByteArray(kProcess1Sql) + c.sql);
        Config().DBFileName = file;
        Model().ProcessTable[5].Process_Name = "edited";
        const QByteArray before = readFile(file);

        EXPECT_FALSE(DBOpen()) << c.sql;
        const QStringList errs = shown(QStringLiteral("Error reading"));
        ASSERT_EQ(errs.size(), 1) << c.sql;
        EXPECT_EQ(errs[0], QStringLiteral("Error reading ") + QLatin1String(c.key)) << c.sql;
        EXPECT_TRUE(isDefaultModel()) << c.sql;
        EXPECT_EQ(Config().DBFileName, QStringLiteral("Default.mdb"));
        EXPECT_EQ(readFile(file), before) << c.sql;
        EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")}) << c.sql;
    }
    // The error handler got the report.
    const QByteArray report = readFile(path(QStringLiteral("errors.txt")));
    EXPECT_TRUE(report.contains("Table 'Films' not found")) << report.constData();
}

TEST_F(DbLoad, FilesThatAreNotDatabasesAreLeftAlone)
{
    const QString full = makeDb(kProcess1Sql, QStringLiteral("full.mdb"));
    const QByteArray good = readFile(full);
    ASSERT_GT(good.size(), 8192);

    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    const QList<QPair<QString, QByteArray>> damaged = {
        {QStringLiteral("truncated.mdb"), good.left(good.size() / 2)},
        {QStringLiteral("text.mdb"), QByteArray("Process 1, Optic\r\nLayer 1,,25\r\n")},
        {QStringLiteral("other.mdb"), jet},
        {QStringLiteral("empty.mdb"), QByteArray()},
    };
    for (const auto& [name, bytes] : damaged) {
        dlg.messages.clear();
        const QString file = path(name);
        ASSERT_TRUE(writeFile(file, bytes));
        const QStringList filesBefore = files();
        Config().DBFileName = file;
        EXPECT_FALSE(DBOpen()) << name.toStdString();
        EXPECT_EQ(shown(QStringLiteral("Error reading")), QStringList{QStringLiteral("Error reading ")})
            << name.toStdString();
        EXPECT_TRUE(isDefaultModel());
        EXPECT_EQ(readFile(file), bytes) << name.toStdString();
        EXPECT_EQ(files(), filesBefore) << name.toStdString(); // no backup, no journal
    }

    // A file that does not exist is not created.
    dlg.messages.clear();
    Config().DBFileName = path(QStringLiteral("missing.mdb"));
    EXPECT_FALSE(DBOpen());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.mdb"))));
    EXPECT_EQ(shown(QStringLiteral("Error reading")).size(), 1);
}

TEST_F(DbLoad, WriteProtectedFileIsOpenedAndDebugDumpWritten)
{
    const QString file = makeDb(kProcess1Sql);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    Config().DebugDump = 1;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const bool ok = DBOpen();
    QDir::setCurrent(old);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(QFileInfo(file).isWritable());
    const QByteArray dump = readFile(path(QStringLiteral("DBOpen.txt")));
    EXPECT_TRUE(
        dump.startsWith("Process 1, Optic           ,10,2,3\r\nProcess 2, P2              ,-1,0,0\r\n"));
    EXPECT_EQ(dump.count("\r\n"), 100 + 100 + 50 + 100);
}

namespace {

// Records what the progress window is told.
class RecordingProgress : public ProgressSink {
public:
    void show(const QString& caption) override { log << "show " + caption; }
    void setLabel1(const QString& text) override
    {
        label1 = text;
        labels1 << text;
    }
    void setLabel2(const QString& text) override { labels2 << text; }
    void setRange(int, int) override {}
    void setValue(int v) override
    {
        values << v;
        log << QStringLiteral("%1 %2").arg(label1).arg(v);
    }
    void hide() override { log << QStringLiteral("hide"); }

    QString label1;
    QStringList log, labels1, labels2;
    QList<int> values;
};

} // namespace

TEST_F(DbLoad, ProgressWindowTexts)
{
    makeDb(kProcess1Sql);
    // The opening texts, a text of the second label, some steps, and the last step before the window goes.
    const auto check = [](bool (*run)(), const QStringList& first, const char* label2,
                          std::initializer_list<const char*> steps, const char* last) {
        RecordingProgress rec;
        {
            ScopedProgress scoped(rec);
            ASSERT_TRUE(run());
        }
        EXPECT_EQ(rec.log.first(), first.value(0)) << "caption";
        EXPECT_EQ(rec.labels1.first(), first.value(1)) << "first label";
        EXPECT_EQ(rec.labels2.first(), first.value(2)) << "second label";
        EXPECT_TRUE(rec.labels2.contains(QLatin1String(label2))) << label2;
        for (const char* t : steps)
            EXPECT_TRUE(rec.log.contains(QLatin1String(t))) << t;
        EXPECT_EQ(rec.log.mid(rec.log.size() - 2),
                  (QStringList{QLatin1String(last), QStringLiteral("hide")}));
    };
    check([] { return DBOpen(); }, {"show Open Database", "Opening database:", "DCX700.mdb"},
          "Optic           ",
          {"Reading Process 1: 0", "Reading Process 100: 40", "Reading Film 25: 50", "Reading Film 50: 60",
           "Reading Material 100: 80"},
          "Reading System Params: 95");
    check(&DBSave, {"show Save To Database", "Saving Database:", "Create file DCX700.mdb"}, "Save Data",
          {"Saving Process 3: 1", "Saving Film 50: 60", "Saving Material 1: 60"}, "Saving System Params: 96");
}

// What a read returns: the error number and text, and whether the rows the
// load added are kept (a damaged table) or rolled back (a damaged file). Layer
// 1 is missing, so a load that gets past the processes adds it; no row outside
// the tables' ranges (a material 0) is ever added.
TEST_F(DbLoad, ReadFailuresCarryNumberTextAndKeepOrDropAddedRows)
{
    struct Case {
        const char* sql;
        qint32 number;
        const char* text;
        const char* layers;
    };
    const Case cases[] = {
        {"", 0, "", "1000"},
        {"DROP TABLE Films;", dberr::NoTable, "Table 'Films' not found", "1000"},
        {"UPDATE Films SET Tooling = NULL WHERE Film_Number = 7;", dberr::InvalidNull,
         "Invalid use of Null (Tooling)", "1000"},
        {"ALTER TABLE Materials RENAME COLUMN MatNum TO Num;", dberr::NoColumn, "Column 'MatNum' not found",
         "1000"},
        // The column is missing when the row that lacks it is added.
        {"ALTER TABLE Outputs DROP COLUMN \"Output Type\"; DELETE FROM Outputs WHERE OutputNum = 1;",
         dberr::NoColumn, "Column 'Output Type' not found", "1000"},
        // The engine fails on the second row: the file is damaged, nothing kept.
        {"DROP TABLE Films; CREATE VIEW Films AS SELECT 1 AS Film_Number"
         " UNION ALL SELECT abs(-9223372036854775807 - 1);",
         -1, "integer overflow", "999"},
    };
    for (const Case& c : cases) {
        const QString file = makeDb(QByteArray("DELETE FROM Layers WHERE Layer_Number = 1;") + c.sql);
        ParameterModel m;
        const auto err = ReadDatabase(file, m);
        EXPECT_EQ(err.has_value(), c.number != 0) << c.sql;
        if (err) {
            EXPECT_TRUE(c.number < 0 ? err->number != dberr::NoTable && err->number != dberr::NoColumn
                                     : err->number == c.number)
                << c.sql << " " << err->number;
            EXPECT_TRUE(err->description.contains(QLatin1String(c.text)))
                << c.sql << qPrintable(err->description);
        }
        EXPECT_EQ(query(file, "SELECT COUNT(*) FROM Layers;"), c.layers) << c.sql;
        EXPECT_TRUE(c.number || query(file, "SELECT COUNT(*) FROM Materials WHERE MatNum < 1;") == "0")
            << c.sql;
    }
    // A row added to a table with column defaults reads those back.
    const QString defaults =
        makeDb("CREATE TABLE P2 (Process_Number INTEGER PRIMARY KEY, Process_Name TEXT"
               " DEFAULT 'New', First_Layer INTEGER, Number_Layers INTEGER DEFAULT 0,"
               " Number_Act_Layers INTEGER DEFAULT 0); INSERT INTO P2 SELECT * FROM Processes"
               " WHERE Process_Number <> 60; DROP TABLE Processes; ALTER TABLE P2 RENAME TO"
               " Processes;");
    ParameterModel m;
    EXPECT_FALSE(ReadDatabase(defaults, m).has_value());
    EXPECT_EQ(m.ProcessTable[60].Process_Name.trimmed(), "New");
    // Missing or unreadable is a file access error; anything else no database.
    EXPECT_EQ(ReadDatabase(path(QStringLiteral("missing.mdb")), m)->number, dberr::FileAccess);
    QFile text(path(QStringLiteral("text.mdb")));
    ASSERT_TRUE(writeFile(text.fileName(), QByteArray(600, 'x')));
    EXPECT_EQ(ReadDatabase(text.fileName(), m)->number, dberr::BadFormat);
    text.setPermissions(QFileDevice::WriteOwner);
    if (!text.open(QIODevice::ReadOnly)) { // not when run as root
        EXPECT_EQ(ReadDatabase(text.fileName(), m)->number, dberr::FileAccess);
    }
}
