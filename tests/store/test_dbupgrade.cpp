#include "storefixture.h"

#include "store/dbupgrade.h"
#include "store/moddatabase.h"
#include "support/modutil.h"

using namespace storetest;

using DbUpgrade = StoreTest;

TEST_F(DbUpgrade, SameVersionIsLeftUntouched)
{
    const QString file = makeDb(kProcess1Sql);
    const QByteArray before = readFile(file);
    const auto property = [&file](const char* name) { return GetDBProperty(file, QLatin1String(name)); };
    EXPECT_EQ(property("Version"), "1.10");
    EXPECT_EQ(property("version"), "1.10") << "another letter case";
    EXPECT_EQ(property("Owner"), "") << "a property not there";
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Current);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});
    // "1.1" reads as the same number.
    runSqlite(file, "UPDATE DBProperties SET Value = '1.1';");
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Current);
    EXPECT_TRUE(dlg.messages.isEmpty());
}

TEST_F(DbUpgrade, FileWithoutVersionIsBackedUpCopiedAndPadded)
{
    // An old layout: no property table, short tables, a column since dropped,
    // a column not yet there.
    const QString file = makeDb(QByteArray(kProcess1Sql) + "DROP TABLE DBProperties;"
                                                           "DELETE FROM Materials WHERE MatNum > 10;"
                                                           "DELETE FROM Layers WHERE Layer_Number > 20;"
                                                           "DELETE FROM Outputs;"
                                                           "ALTER TABLE Films ADD COLUMN Obsolete INTEGER;"
                                                           "ALTER TABLE Layers DROP COLUMN Thick_Limit;");
    const QByteArray before = readFile(file);
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QString());

    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    const QString backup = path(QStringLiteral("DCX700_100.mdb"));
    EXPECT_EQ(DBBackupName(file, QStringLiteral("1.00")), backup);
    EXPECT_EQ(readFile(backup), before);
    EXPECT_EQ(files(), (QStringList{QStringLiteral("DCX700.mdb"), QStringLiteral("DCX700_100.mdb")}));

    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QStringLiteral("1.10"));
    EXPECT_EQ(query(file, "SELECT (SELECT COUNT(*) FROM Layers), (SELECT COUNT(*) FROM Materials),"
                          " (SELECT COUNT(*) FROM Outputs);"),
              "1000|100|16");
    EXPECT_EQ(query(file, "SELECT Material FROM Materials WHERE MatNum IN (10, 11) ORDER BY MatNum;"),
              "M10\nMaterial 11");
    // A column the old file lacks takes its default, so the file loads.
    EXPECT_EQ(query(file, "SELECT Rate, Final_Thick, Thick_Limit FROM Layers WHERE Layer_Number = 10;"),
              "2.5|1.234|0.0");
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM pragma_table_info('Films') WHERE name = 'Obsolete';"), "0");
    EXPECT_EQ(query(file, "SELECT \"Min Freq\" FROM System;"), "5000000.0");
    EXPECT_TRUE(dlg.messages.isEmpty());

    // Once current, nothing more happens.
    const QByteArray upgraded = readFile(file);
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Current);
    EXPECT_EQ(readFile(file), upgraded);
}

TEST_F(DbUpgrade, AnExistingBackupIsNeverOverwritten)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '1.08';");
    const QString backup = path(QStringLiteral("DCX700_108.mdb"));
    ASSERT_TRUE(writeFile(backup, "an older backup"));
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    EXPECT_EQ(readFile(backup), QByteArray("an older backup"));
    // No instrument has answered: input codes stay.
    EXPECT_EQ(query(file, "SELECT DISTINCT \"Input Type\" FROM Inputs;"), "3");
}

TEST_F(DbUpgrade, InputCodesOfNewerInstruments)
{
    struct Case {
        const char* version;
        const char* id;
        const char* inputType;
    } cases[] = {
        {"1.05", "DCX-700 V4.13", "46"}, {"1.01", "DCX-700 V5.00", "46"}, {"1.08", "DCX-700 V4.12", "3"},
        {"1.09", "DCX-700 V4.13", "3"},  {"1.00", "DCX-700 V4.13", "3"},  {"1.05", "4.2", "3"},
    };
    for (const Case& c : cases) {
        const QString file = makeDb(QByteArray("UPDATE DBProperties SET Value = '") + c.version + "';");
        QFile::remove(DBBackupName(file, QLatin1String(c.version)));
        EXPECT_EQ(UpgradeDB(file, QLatin1String(c.id)), UpgradeResult::Upgraded) << c.version << c.id;
        EXPECT_EQ(query(file, "SELECT DISTINCT \"Input Type\" FROM Inputs;"), QByteArray(c.inputType))
            << c.version << " " << c.id;
    }
}

TEST_F(DbUpgrade, NewerFileEndsTheProgram)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '2.00';");
    const QByteArray before = readFile(file);
    int exits = 0;
    ScopedCriticalExit exit([&] { ++exits; });
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Newer);
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text,
              QStringLiteral("Critical Error: Database ") + file +
                  QStringLiteral(" is version 2.00\nYour DCX-700 program is only version 1.10\n"
                                 "Contact Corvane Instruments (+1 555 0142) for upgrade information.\n"
                                 "Application must close!"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});

    // Through the load: nothing is read, nothing changes.
    dlg.messages.clear();
    Model().ProcessTable[3].Process_Name = "edited";
    EXPECT_FALSE(DBOpen());
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(Model(), ParameterModel());
    EXPECT_EQ(readFile(file), before);
}

TEST_F(DbUpgrade, FailedUpgradeLeavesTheFileAsItWas)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '1.02';");
    const QByteArray before = readFile(file);
    // Something in the way of the backup copy.
    QDir(dir.path()).mkdir(QStringLiteral("DCX700_102.mdb"));
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Failed);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});
    EXPECT_FALSE(readFile(path(QStringLiteral("errors.txt"))).isEmpty());
    // The load goes on with the file as it is.
    dlg.messages.clear();
    EXPECT_TRUE(DBOpen());
    EXPECT_EQ(Model().MaterialTable[1].Material.trimmed(), QStringLiteral("M1"));
}

TEST_F(DbUpgrade, OnlyTheFirstLayoutIsPaddedAndEveryOlderFileLoads)
{
    // "1.05": short Outputs and Layers tables, Films without two columns.
    // Not padded: the load creates the missing rows with their creation values.
    makeDb(QByteArray(kProcess1Sql) + "UPDATE DBProperties SET Value = '1.05';"
                                      "DELETE FROM Outputs WHERE OutputNum > 8;"
                                      "DELETE FROM Inputs WHERE InputNum > 12;"
                                      "DELETE FROM Layers WHERE Layer_Number > 20;"
                                      "ALTER TABLE Films DROP COLUMN Sample_Hold;"
                                      "ALTER TABLE Films DROP COLUMN Tooling;");
    const QString file = Config().DBFileName;
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    EXPECT_EQ(query(file, "SELECT (SELECT COUNT(*) FROM Outputs), (SELECT COUNT(*) FROM Layers);"), "8|20");
    ASSERT_TRUE(DBOpen());
    EXPECT_TRUE(dlg.messages.isEmpty());
    const ParameterModel& m = Model();
    EXPECT_EQ(m.OutputTable[7].Output_Type, 4) << "output 8 as stored";
    EXPECT_EQ(m.OutputTable[8].Output_Type, 69) << "output 9 created";
    EXPECT_EQ(m.InputTable[12].Input_Type, 46) << "input 13 created";
    EXPECT_EQ(m.FilmTable[1].Sample_Hold, 0) << "Sample_Hold added";
    EXPECT_EQ(m.FilmTable[1].Tooling, 100) << "Tooling added";
    EXPECT_EQ(m.LayerTable[12].Film_Number, 5) << "Film_Number of 12";
    EXPECT_EQ(query(file, "SELECT COUNT(*), MIN(\"Output Type\") FROM Outputs WHERE OutputNum > 8;"), "8|69");

    // "1.00" (no property): padded, and the padded rows load too.
    makeDb(QByteArray(kProcess1Sql) + "DROP TABLE DBProperties;"
                                      "DELETE FROM Outputs WHERE OutputNum > 8;"
                                      "DELETE FROM Inputs WHERE InputNum > 12;"
                                      "DELETE FROM Processes WHERE Process_Number > 50;"
                                      "DELETE FROM Films WHERE Film_Number > 40;"
                                      "DELETE FROM System;");
    Model() = ParameterModel();
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM Outputs;"), "16");
    ASSERT_TRUE(DBOpen());
    EXPECT_TRUE(dlg.messages.isEmpty());
    EXPECT_EQ(m.OutputTable[8].Output_Type, 69) << "padded output 9";
    EXPECT_EQ(m.InputTable[12].Input_Type, 46) << "padded input 13";
    EXPECT_EQ(m.ProcessTable[51].First_Layer, -1) << "First_Layer of padded process 51";
    EXPECT_EQ(m.FilmTable[41].Material_Index, 1) << "Material_Index of padded film 41";
    EXPECT_EQ(Model().SystemParams, SystemRecord{});
    EXPECT_EQ(Model().ProcessTable[1].Process_Name.trimmed(), QStringLiteral("Optic"));
}
