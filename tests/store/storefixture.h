#ifndef DCX_TESTS_STORE_STOREFIXTURE_H
#define DCX_TESTS_STORE_STOREFIXTURE_H

// Shared set-up of the database tests: a scratch folder, scripted dialogs, an
// error file of its own, and database files built with the sqlite3 program
// from SQL text, independently of the code under test.

#include "store/model.h"
#include "support/config.h"
#include "support/errhandler.h"
#include "support/scripteddialogs.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace storetest {

// The layout as the file format defines it, written out by hand.
inline const char* kSchemaSql = R"SQL(
CREATE TABLE Processes (Process_Number INTEGER PRIMARY KEY, Process_Name TEXT, First_Layer INTEGER,
  Number_Layers INTEGER, Number_Act_Layers INTEGER);
CREATE TABLE Layers (Layer_Number INTEGER PRIMARY KEY, Rate REAL, Time_Setpoint INTEGER, Final_Thick REAL,
  Thick_Limit REAL, Film_Number INTEGER, Start_Mode INTEGER, Next_Layer INTEGER, CoDep_Layer INTEGER,
  Sensor1 INTEGER, Sensor2 INTEGER, Sensor3 INTEGER, Sensor4 INTEGER, Output_Number INTEGER,
  Max_Power1 REAL, Slew_Rate1 REAL, Ramp1_Enabled INTEGER, Ramp1_Start REAL, Ramp1_Rate REAL,
  Ramp1_Time INTEGER, Ramp2_Enabled INTEGER, Ramp2_Start REAL, Ramp2_Rate REAL, Ramp2_Time INTEGER);
CREATE TABLE Films (Film_Number INTEGER PRIMARY KEY, Film_Name TEXT, Pterm REAL, Iterm REAL, Dterm REAL,
  Material_Index INTEGER, Ramp1_Power REAL, Ramp1_Time INTEGER, Soak1_Time REAL, Ramp2_Power REAL,
  Ramp2_Time INTEGER, Soak2_Time REAL, Feed_Power REAL, Feed_Ramp REAL, Feed_Time INTEGER,
  Idle_Power REAL, Idle_Ramp_Time INTEGER, Pocket INTEGER, Tooling INTEGER, Crystal_Fail INTEGER,
  Crystal_Quality INTEGER, Crystal_Stability INTEGER, Shutter_Delay INTEGER, Capture REAL,
  Control_Error INTEGER, Control_Error_Percent REAL, Sampling INTEGER, Sample_Accuracy REAL,
  Sample_Time INTEGER, Sample_Hold INTEGER);
CREATE TABLE Materials (MatNum INTEGER PRIMARY KEY, Material TEXT, Density REAL, ZFactor REAL);
CREATE TABLE System (Period REAL, "System Tooling" INTEGER, Xtool1 INTEGER, Xtool2 INTEGER, Xtool3 INTEGER,
  Xtool4 INTEGER, "Simulate Mode" INTEGER, "Min Freq" REAL, "Max Freq" REAL, "Power Scale 1" REAL,
  "Power Scale 2" REAL, "Power Scale 3" REAL, "Power Scale 4" REAL);
CREATE TABLE Inputs (InputNum INTEGER PRIMARY KEY, "Input Type" INTEGER);
CREATE TABLE Outputs (OutputNum INTEGER PRIMARY KEY, "Output Type" INTEGER);
CREATE TABLE DBProperties (Name TEXT PRIMARY KEY, Value TEXT);
)SQL";

// Full row sets: processes "P<n>" without layers, layer keys only, films
// "F<n>" with small distinct numbers, materials "M<n>", one system row in
// hertz, inputs 3, outputs 4.
inline const char* kRowsSql = R"SQL(
INSERT INTO DBProperties VALUES ('Version', '1.10');
CREATE TEMP TABLE seq AS WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 1000) SELECT n FROM c;
INSERT INTO Layers (Layer_Number) SELECT n FROM seq;
INSERT INTO Processes SELECT n, 'P' || n, -1, 0, 0 FROM seq WHERE n <= 100;
INSERT INTO Films SELECT n, 'F' || n, n, 0.5, 0.3, 2, 10.5, 3, 4.0, 20.0, 5, 6.0, 30.0, 7.0, 8,
  40.0, 9, 1, 95, 1, 50, 60, 11, 1.5, 2, 3.5, 1, 2.5, 12, 13 FROM seq WHERE n <= 50;
INSERT INTO Materials SELECT n, 'M' || n, 2.5, 1.25 FROM seq WHERE n <= 100;
INSERT INTO System VALUES (0.5, 90, 80, 81, 82, 83, 0, 5000000, 6000000, 10, 9, 8, 7);
INSERT INTO Inputs SELECT n, 3 FROM seq WHERE n <= 16;
INSERT INTO Outputs SELECT n, 4 FROM seq WHERE n <= 16;
)SQL";

// Process 1: group (10 + partner 11) then layer 12.
inline const char* kProcess1Sql = R"SQL(
UPDATE Processes SET Process_Name = 'Optic', First_Layer = 10, Number_Layers = 2, Number_Act_Layers = 3
  WHERE Process_Number = 1;
-- Layer_Number, Rate, Time_Setpoint, Final_Thick, Thick_Limit, Film_Number, Start_Mode, Next_Layer,
-- CoDep_Layer, Sensor1-4, Output_Number, Max_Power1, Slew_Rate1, Ramp1_Enabled/Start/Rate/Time, Ramp2_...
INSERT OR REPLACE INTO Layers VALUES
  (10, 2.5, 40, 1.234, 0.5, 3, 0, -1, 11, 1, 1, 0, 0, 2, 50, 10, 1, 0.1, 3.0, 5, 0, 0, 0, 0),
  (11, 1.0, 0, 2.0, 0, 4, 1, 12, -1, 0, 0, 1, 0, 3, 30, 20, 0, 0, 0, 0, -1, 0.3, 1.5, 7),
  (12, 0.8, 3, 0.75, 0, 5, 1, -1, -1, 1, 0, 0, 1, 1, 25, 25, 0, 0, 0, 0, 0, 0, 0, 0);
)SQL";

// Runs the sqlite3 program on file with the SQL text on its input.
inline bool runSqlite(const QString& file, const QByteArray& sql, QByteArray* output = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), file});
    if (!p.waitForStarted())
        return false;
    p.write(sql);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    if (output)
        *output = p.readAllStandardOutput();
    if (const QByteArray err = p.readAllStandardError(); !err.isEmpty())
        ADD_FAILURE() << "sqlite3: " << err.constData();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline QByteArray query(const QString& file, const QByteArray& sql)
{
    QByteArray out;
    runSqlite(file, sql, &out);
    return out.trimmed();
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ErrHandler().setDestination(path(QStringLiteral("errors.txt")));
        Model() = ParameterModel();
        Config() = AppConfig();
        Config().DBFileName = path(QStringLiteral("DCX700.mdb"));
    }

    void TearDown() override { Model() = ParameterModel(); }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A complete, valid file plus any extra SQL, written by sqlite3.
    QString makeDb(const QByteArray& extra = {}, const QString& name = QStringLiteral("DCX700.mdb"))
    {
        const QString file = path(name);
        QFile::remove(file);
        EXPECT_TRUE(runSqlite(file, QByteArray(kSchemaSql) + kRowsSql + extra));
        return file;
    }

    // Messages shown that start with prefix.
    QStringList shown(const QString& prefix) const
    {
        QStringList out;
        for (const auto& m : dlg.messages)
            if (m.text.startsWith(prefix))
                out << m.text;
        return out;
    }

    // The files of the scratch folder apart from the error file.
    QStringList files() const
    {
        QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        all.removeAll(QStringLiteral("errors.txt"));
        return all;
    }

    QTemporaryDir dir;
    ScriptedDialogs dlg;
    ScopedDialogs scoped{dlg};
};

} // namespace storetest

#endif
