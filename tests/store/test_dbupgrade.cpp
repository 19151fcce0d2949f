#include "storefixture.h"

#include "link/commframe.h"
#include "link/inprocesspeer.h"
#include "link/modcomm.h"
#include "store/dbupgrade.h"
#include "store/moddatabase.h"
#include "support/modutil.h"

using namespace storetest;

namespace {

class DbUpgrade : public StoreTest {
protected:
    void TearDown() override
    {
        Comm_ResetLink();
        StoreTest::TearDown();
    }
};

// Answers every command with the identification text.
class IdPeer : public InProcessPeer {
public:
    explicit IdPeer(QByteArray id) : m_id(std::move(id)) {}
    void receiveFromHost(const QByteArray&) override { emit sendToHost(*BuildReplyFrame('A', m_id)); }

private:
    QByteArray m_id;
};

} // namespace

TEST_F(DbUpgrade, SameVersionIsLeftUntouched)
{
    const QString file = makeDb(kProcess1Sql);
    const QByteArray before = fileBytes(file);
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QStringLiteral("1.10"));
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("version")), QStringLiteral("1.10"));
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Owner")), QString());
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Current);
    EXPECT_EQ(fileBytes(file), before);
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
    const QString file = makeDb(QByteArray(kProcess1Sql)
                                + "DROP TABLE DBProperties;"
                                  "DELETE FROM Materials WHERE MatNum > 10;"
                                  "DELETE FROM Layers WHERE Layer_Number > 20;"
                                  "DELETE FROM Outputs;"
                                  "ALTER TABLE Films ADD COLUMN Obsolete INTEGER;"
                                  "ALTER TABLE Layers DROP COLUMN Thick_Limit;");
    const QByteArray before = fileBytes(file);
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QString());

    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    const QString backup = path(QStringLiteral("DCX700_100.mdb"));
    EXPECT_EQ(DBBackupName(file, QStringLiteral("1.00")), backup);
    EXPECT_EQ(fileBytes(backup), before);
    EXPECT_EQ(files(), (QStringList{QStringLiteral("DCX700.mdb"), QStringLiteral("DCX700_100.mdb")}));

    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QStringLiteral("1.10"));
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM Layers;"), "1000");
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM Materials;"), "100");
    EXPECT_EQ(query(file, "SELECT Material FROM Materials WHERE MatNum IN (10, 11) ORDER BY MatNum;"), "M10\nMaterial 11");
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM Outputs;"), "16");
    EXPECT_EQ(query(file, "SELECT Rate, Final_Thick, Thick_Limit IS NULL FROM Layers WHERE Layer_Number = 10;"),
              "2.5|1.234|1");
    EXPECT_EQ(query(file, "SELECT Process_Name FROM Processes WHERE Process_Number = 1;"), "Optic");
    EXPECT_EQ(query(file, "SELECT COUNT(*) FROM pragma_table_info('Films') WHERE name = 'Obsolete';"), "0");
    EXPECT_EQ(query(file, "SELECT \"Min Freq\" FROM System;"), "5000000.0");
    EXPECT_TRUE(dlg.messages.isEmpty());

    // Once current, nothing more happens.
    const QByteArray upgraded = fileBytes(file);
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Current);
    EXPECT_EQ(fileBytes(file), upgraded);
}

TEST_F(DbUpgrade, AnExistingBackupIsNeverOverwritten)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '1.08';");
    const QString backup = path(QStringLiteral("DCX700_108.mdb"));
    QFile keep(backup);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("an older backup");
    keep.close();
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded);
    EXPECT_EQ(fileBytes(backup), QByteArray("an older backup"));
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QStringLiteral("1.10"));
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
        {"1.05", "DCX-700 V4.13", "46"},
        {"1.01", "DCX-700 V5.00", "46"},
        {"1.08", "DCX-700 V4.12", "3"},
        {"1.09", "DCX-700 V4.13", "3"},
        {"1.00", "DCX-700 V4.13", "3"},
        {"1.05", "4.2", "3"},
    };
    for (const Case& c : cases) {
        IdPeer peer(c.id);
        Comm_UseInProcessPeer(&peer);
        Comm_SendCommand(QStringLiteral("@"));
        ASSERT_EQ(Comm_InstrumentID().trimmed(), QLatin1String(c.id));
        const QString file = makeDb(QByteArray("UPDATE DBProperties SET Value = '") + c.version + "';");
        QFile::remove(DBBackupName(file, QLatin1String(c.version)));
        EXPECT_EQ(UpgradeDB(file), UpgradeResult::Upgraded) << c.version << c.id;
        EXPECT_EQ(query(file, "SELECT DISTINCT \"Input Type\" FROM Inputs;"), QByteArray(c.inputType))
            << c.version << " " << c.id;
        Comm_ResetLink();
    }
}

TEST_F(DbUpgrade, NewerFileEndsTheProgram)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '2.00';");
    const QByteArray before = fileBytes(file);
    int exits = 0;
    ScopedCriticalExit exit([&] { ++exits; });
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Newer);
    EXPECT_EQ(exits, 1);
    ASSERT_EQ(dlg.messages.size(), 1);
    EXPECT_EQ(dlg.messages[0].text,
              QStringLiteral("Critical Error: Database ") + file
                  + QStringLiteral(" is version 2.00\nYour DCX-700 program is only version 1.10\n"
                                   "Contact Corvane Instruments (+1 555 0142) for upgrade information.\n"
                                   "Application must close!"));
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});

    // Through the load: nothing is read, nothing changes.
    dlg.messages.clear();
    Model().ProcessTable[3].Process_Name = "edited";
    EXPECT_FALSE(DBOpen());
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(Model(), ParameterModel());
    EXPECT_EQ(fileBytes(file), before);
}

TEST_F(DbUpgrade, FailedUpgradeLeavesTheFileAsItWas)
{
    const QString file = makeDb("UPDATE DBProperties SET Value = '1.02';");
    const QByteArray before = fileBytes(file);
    // Something in the way of the backup copy.
    QDir(dir.path()).mkdir(QStringLiteral("DCX700_102.mdb"));
    EXPECT_EQ(UpgradeDB(file), UpgradeResult::Failed);
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(files(), QStringList{QStringLiteral("DCX700.mdb")});
    EXPECT_FALSE(fileBytes(path(QStringLiteral("errors.txt"))).isEmpty());
    // The load goes on with the file as it is.
    dlg.messages.clear();
    EXPECT_TRUE(DBOpen());
    EXPECT_EQ(Model().MaterialTable[1].Material.trimmed(), QStringLiteral("M1"));
}

TEST_F(DbUpgrade, LoadUpgradesOlderFilesFirst)
{
    const QString file = makeDb(QByteArray(kProcess1Sql) + "DELETE FROM DBProperties;");
    ASSERT_TRUE(DBOpen());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("DCX700_100.mdb"))));
    EXPECT_EQ(GetDBProperty(file, QStringLiteral("Version")), QStringLiteral("1.10"));
    EXPECT_EQ(Model().LayerTable[11].Next_Layer, 12);
    EXPECT_EQ(Model().ProcessTable[1].Process_Name.trimmed(), QStringLiteral("Optic"));
}
