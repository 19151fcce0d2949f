#include "storefixture.h"
#include "tests/common/fillfields.h"

#include "store/dbfaults.h"
#include "store/moddatabase.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

#include <algorithm>
#include <csignal>
#include <sys/file.h>
#include <unistd.h>

using namespace storetest;

namespace {

class DbSave : public StoreTest {};

// A model that differs from the defaults in every field the file stores:
// process 1 = group (10 + partners 11, 12) then 13; process 2 = 500 then 999.
void fillModel(ParameterModel& m)
{
    m.ProcessTable[1] = {QStringLiteral("Mirror"), 2, 10, 4};
    m.ProcessTable[2] = {QStringLiteral("A name longer than sixteen"), 2, 500, 2};
    for (int s : {10, 11, 12, 13, 500, 999}) {
        LayerRecord& l = m.LayerTable[s];
        fillFields(l, s);
        l.Next_Layer = -1;
        l.CoDep_Layer = -1;
        l.Layer_Free = 0;
    }
    m.LayerTable[10].CoDep_Layer = 11;
    m.LayerTable[11].CoDep_Layer = 12;
    m.LayerTable[12].Next_Layer = 13;
    m.LayerTable[500].Next_Layer = 999;
    for (int f = 1; f <= MaxFilms; ++f) {
        fillFields(m.FilmTable[f], f);
        m.FilmTable[f].Film_Name = QStringLiteral("Coat %1").arg(f);
    }
    for (int n = 1; n <= MaxMaterials; ++n) {
        fillFields(m.MaterialTable[n], n);
        m.MaterialTable[n].Material = QStringLiteral("Oxide %1").arg(n);
    }
    fillFields(m.SystemParams, 3);
    for (int i = 0; i < 16; ++i) {
        fillFields(m.InputTable[i], i);
        fillFields(m.OutputTable[i], i);
    }
}

} // namespace

TEST_F(DbSave, FileContents)
{
    ParameterModel& m = Model();
    m.ProcessTable[1] = {m.ProcessTable[1].Process_Name, 3, 7, 3};
    for (auto [s, next] : {std::pair(7, 3), std::pair(3, 5), std::pair(5, -1)}) {
        m.LayerTable[s].Film_Number = 2;
        m.LayerTable[s].Layer_Free = 0;
        m.LayerTable[s].Next_Layer = qint16(next);
    }
    m.LayerTable[3].Ramp1_Enabled = 0.5;
    m.LayerTable[5].Ramp2_Enabled = -2.0;
    // Held outside every process: not written.
    m.LayerTable[800].Rate = 9.0;
    m.LayerTable[800].Film_Number = 4;
    m.SystemParams.Min_Freq = 5.0;
    m.SystemParams.Max_Freq = 6.0;
    ASSERT_TRUE(DBSave());

    const QString f = Config().DBFileName;
    EXPECT_EQ(query(f, "SELECT COUNT(*) FROM Layers;"), "1000");
    EXPECT_EQ(query(f, "SELECT group_concat(Layer_Number) FROM (SELECT Layer_Number FROM Layers"
                       " WHERE Film_Number <> -1 ORDER BY 1);"),
              "3,5,7");
    // Free slots hold their key and the column defaults, nothing of the model.
    EXPECT_EQ(query(f, "SELECT Rate, Film_Number, Next_Layer, Max_Power1, Sensor1 FROM Layers WHERE "
                       "Layer_Number = 800;"),
              "0.0|-1|-1|25.0|1");
    EXPECT_EQ(query(f, "SELECT Ramp1_Enabled, Ramp2_Enabled, Next_Layer, CoDep_Layer FROM Layers WHERE "
                       "Layer_Number = 3;"),
              "1|0|5|-1");
    EXPECT_EQ(query(f, "SELECT Ramp2_Enabled FROM Layers WHERE Layer_Number = 5;"), "1");
    EXPECT_EQ(query(f, "SELECT \"Min Freq\", \"Max Freq\" FROM System;"), "5000000.0|6000000.0");
    EXPECT_EQ(query(f, "SELECT COUNT(*) FROM System;"), "1");
    EXPECT_EQ(query(f, "SELECT '[' || Process_Name || ']' FROM Processes WHERE Process_Number = 9;"),
              "[Process 9       ]");
    EXPECT_EQ(query(f, "SELECT COUNT(*) FROM Processes;") + query(f, "SELECT COUNT(*) FROM Films;") +
                  query(f, "SELECT COUNT(*) FROM Materials;") + query(f, "SELECT COUNT(*) FROM Inputs;") +
                  query(f, "SELECT COUNT(*) FROM Outputs;"),
              "1005010016"
              "16");
    EXPECT_EQ(query(f, "SELECT Value FROM DBProperties WHERE Name = 'Version';"), "1.10");
    EXPECT_EQ(query(f, "SELECT typeof(Rate), typeof(Time_Setpoint), typeof(Ramp1_Enabled) FROM Layers WHERE "
                       "Layer_Number = 7;"),
              "real|integer|integer");
}

TEST_F(DbSave, FailureAtAnyStageKeepsTheOldFile)
{
    const QString file = makeDb(kProcess1Sql);
    const QByteArray before = readFile(file);
    fillModel(Model());
    const ParameterModel original = Model();

    // A record's failure names its key; the file's own steps name none.
    struct Case {
        SaveStage stage;
        const char* atKey;
    } cases[] = {
        {SaveStage::CreateFile, ""},
        {SaveStage::Schema, ""},
        {SaveStage::PadTables, ""},
        {SaveStage::Record, "Process 1"},
        {SaveStage::Record, "Process 1 Layer 12"},
        {SaveStage::Record, "Film 7"},
        {SaveStage::Record, "System"},
        {SaveStage::Commit, ""},
        {SaveStage::Close, ""},
        {SaveStage::Sync, ""},
        {SaveStage::Rename, ""},
    };
    for (const Case& c : cases) {
        dlg.messages.clear();
        ScopedSaveFault fault(
            [&](SaveStage s, const QString& key) { return s == c.stage && key == QLatin1String(c.atKey); });
        EXPECT_FALSE(DBSave()) << c.atKey;
        EXPECT_EQ(shown(QStringLiteral("Error saving")),
                  QStringList{QStringLiteral("Error saving ") + QLatin1String(c.atKey)})
            << int(c.stage) << c.atKey;
        EXPECT_EQ(readFile(file), before) << int(c.stage) << c.atKey;
        EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")}) << int(c.stage) << c.atKey;
        EXPECT_EQ(Model(), original);
        EXPECT_EQ(Config().DBFileName, file);
    }
    // Without a fault the same save goes through, and leaves the model as it was.
    dlg.messages.clear();
    EXPECT_TRUE(DBSave());
    EXPECT_NE(readFile(file), before);
    EXPECT_TRUE(dlg.messages.isEmpty()) << "messages";
    EXPECT_EQ(Model(), original);
}

TEST_F(DbSave, ProtectedTargetsAndBrokenModels)
{
    const QString file = makeDb();
    const QByteArray before = readFile(file);

    // A write-protected file is not replaced.
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(DBSave());
    EXPECT_EQ(shown(QStringLiteral("Error saving")), QStringList{QStringLiteral("Error saving ")});
    EXPECT_EQ(readFile(file), before);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A folder that cannot be written to (not testable as root, who writes anyway;
    // the injected failure of the same step is tested above).
    if (::geteuid() != 0) {
        dlg.messages.clear();
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(DBSave());
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(shown(QStringLiteral("Error saving")), QStringList{QStringLiteral("Error saving ")});
        EXPECT_EQ(readFile(file), before);
    }

    // A process whose links leave the pool is not written.
    dlg.messages.clear();
    Model().ProcessTable[4].First_Layer = 2;
    Model().ProcessTable[4].Number_Act_Layers = 2;
    Model().LayerTable[2].Film_Number = 1;
    Model().LayerTable[2].Next_Layer = 1200;
    EXPECT_FALSE(DBSave());
    EXPECT_EQ(shown(QStringLiteral("Error saving")),
              QStringList{QStringLiteral("Error saving Process 4 Layer 1200")});
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});
}

// Runs in a child process only (see KilledSaveLeavesOldOrNewFile): saves and
// kills itself at the stage named in the environment.
TEST(DbSaveChild, SaveAndDie)
{
    const QByteArray file = qgetenv("DCX_STORE_KILL_FILE");
    if (file.isEmpty())
        GTEST_SKIP() << "helper for the killed-save test";
    const int stage = qEnvironmentVariableIntValue("DCX_STORE_KILL_STAGE");
    const QString key = qEnvironmentVariable("DCX_STORE_KILL_KEY");
    fillModel(Model());
    Config().DBFileName = QString::fromLocal8Bit(file);
    setSaveFaultHook([&](SaveStage s, const QString& k) {
        if (int(s) == stage && k == key)
            ::kill(::getpid(), SIGKILL);
        return false;
    });
    DBSave();
    setSaveFaultHook({});
}

TEST_F(DbSave, KilledSaveLeavesOldOrNewFile)
{
    const QString file = makeDb(kProcess1Sql);

    // Neighbours the clean-up of leftovers must not touch: other hidden
    // files, near misses of the partial-file name, another database's
    // partial file, a folder and a link of the right name, and the partial
    // file of a save still running (held locked, as a live save holds it).
    const QStringList neighbours = {
        QStringLiteral(".hidden"),
        QStringLiteral(".DCX700.mdb.abc12"),
        QStringLiteral(".DCX700.mdb.abc1234"),
        QStringLiteral(".DCX700.mdb.ab-d12"),
        QStringLiteral("DCX700.mdb.abcdef"),
        QStringLiteral(".DCX700.mdbXabcdef"),
        QStringLiteral(".Other.mdb.Q1w2E3"),
        QStringLiteral(".DCX700.mdb.Live01"),
    };
    for (const QString& n : neighbours)
        ASSERT_TRUE(writeFile(path(n), n.toUtf8()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral(".DCX700.mdb.dir001")));
    ASSERT_TRUE(QFile::link(path(QStringLiteral(".hidden")), path(QStringLiteral(".DCX700.mdb.lnk001"))));
    QFile live(path(QStringLiteral(".DCX700.mdb.Live01")));
    ASSERT_TRUE(live.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(live.handle(), LOCK_EX | LOCK_NB), 0);
    const auto sorted = [](QStringList l) {
        std::sort(l.begin(), l.end());
        return l;
    };
    const QStringList expected = sorted(neighbours + QStringList{"DCX700.mdb", ".DCX700.mdb.lnk001"});
    struct Case {
        SaveStage stage;
        const char* key;
    } cases[] = {
        {SaveStage::Schema, ""}, {SaveStage::Record, "Material 50"},
        {SaveStage::Commit, ""}, {SaveStage::Sync, ""},
        {SaveStage::Rename, ""}, {SaveStage(-1), ""}, // the last runs to the end
    };
    for (const Case& c : cases) {
        const QByteArray before = readFile(file);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        using Var = std::pair<const char*, QString>;
        for (auto [k, v] :
             {Var{"FILE", file}, Var{"STAGE", QString::number(int(c.stage))}, Var{"KEY", c.key}})
            env.insert(QStringLiteral("DCX_STORE_KILL_") + k, v);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=DbSaveChild.SaveAndDie")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const bool killed = child.exitStatus() == QProcess::CrashExit;
        EXPECT_EQ(killed, int(c.stage) >= 0) << int(c.stage);

        // Either the old file, byte for byte, or a complete new one.
        if (killed) {
            EXPECT_EQ(readFile(file), before) << int(c.stage);
            // The dead save left its partial file behind...
            QStringList left = files();
            for (const QString& n : expected)
                left.removeAll(n);
            ASSERT_EQ(left.size(), 1) << int(c.stage) << qPrintable(left.join(' '));
            EXPECT_TRUE(left[0].startsWith(QLatin1String(".DCX700.mdb.")) && left[0].size() == 18)
                << qPrintable(left[0]);
            // ...which the next save of the same file removes, and only that.
            dlg.messages.clear();
            Model() = ParameterModel();
            ASSERT_TRUE(DBSave()) << int(c.stage);
        } else {
            Model() = ParameterModel();
            Config().DBFileName = file;
            ASSERT_TRUE(DBOpen());
            ParameterModel expectedModel;
            fillModel(expectedModel);
            EXPECT_EQ(Model(), expectedModel);
        }
        EXPECT_EQ(sorted(files()), expected) << int(c.stage);
        for (const QString& n : neighbours)
            EXPECT_EQ(readFile(path(n)), n.toUtf8()) << qPrintable(n);
        EXPECT_TRUE(QFileInfo(path(QStringLiteral(".DCX700.mdb.dir001"))).isDir());
        EXPECT_TRUE(QFileInfo(path(QStringLiteral(".DCX700.mdb.lnk001"))).isSymLink());
    }
}
