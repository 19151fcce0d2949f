#include "storefixture.h"

#include "store/dbdump.h"
#include "store/moddatabase.h"
#include "tests/common/programfolder_env.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

using namespace storetest;

namespace {

class DbDump : public StoreTest {};

// The lines expected for the file of kProcess1Sql, worked out by hand from
// the SQL: wire integers are tenths for rates and powers, thousandths (Å) for
// thicknesses.
const char* kLayer10 = "Layer 10, , 25, 1234, 40, 500, 0, 2, 500, 100, 1, 1, 0, 0, 1, 100, 30, 5, 0, 0, 0, 0, 3, -1, 11, 0";
const char* kLayer12 = "Layer 12, , 8, 750, 3, 0, 1, 1, 250, 250, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 5, -1, -1, 0";
const char* kFreeLayer = "Layer 1, , 0, 0, 0, 0, 1, 1, 250, 250, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1, 1";
const char* kFilm3 = "Film 3, F3              , 3, 5, 3, 2, 1, 95, 50, 60, 1, 105, 3, 4, 200, 5, 6, 400, 9, 300, 7, 8, "
                     "11, 15, 2, 35, 1, 25, 13, 12";

// The program folder: DCX_BIN_DIR, else <build>/bin beside <build>/tests.
QString binary()
{
    QString bin = qEnvironmentVariable("DCX_BIN_DIR");
    if (bin.isEmpty())
        bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    return bin + QStringLiteral("/dcx700ctl");
}

} // namespace

TEST_F(DbDump, LinesOfALoadedFile)
{
    makeDb(kProcess1Sql);
    ASSERT_TRUE(DBOpen());
    const QStringList lines = DumpLines(Model());
    ASSERT_EQ(lines.size(), 350);
    EXPECT_EQ(lines[0], QStringLiteral("Process 1, Optic           ,10,2,3"));
    EXPECT_EQ(lines[99], QStringLiteral("Process 100, P100            ,-1,0,0"));
    EXPECT_EQ(lines[100], QLatin1String(kFreeLayer));
    EXPECT_EQ(lines[109], QLatin1String(kLayer10));
    EXPECT_EQ(lines[111], QLatin1String(kLayer12));
    EXPECT_EQ(lines[199].left(10), QStringLiteral("Layer 100,"));
    EXPECT_EQ(lines[202], QLatin1String(kFilm3));
    EXPECT_EQ(lines[250], QStringLiteral("Material 1, M1              ,2.50,1.250"));
    EXPECT_EQ(lines[349], QStringLiteral("Material 100, M100            ,2.50,1.250"));

    // Names are written as they are, "%" sequences included.
    Model().ProcessTable[2].Process_Name = "A%3";
    Model().FilmTable[2].Film_Name = "F%1";
    const QStringList named = DumpLines(Model());
    EXPECT_EQ(named[1], QStringLiteral("Process 2, A%3") + QString(13, QLatin1Char(' ')) + QStringLiteral(",-1,0,0"));
    EXPECT_EQ(named[201].left(26), QStringLiteral("Film 2, F%1") + QString(13, QLatin1Char(' ')) + QStringLiteral(", "));
}

TEST_F(DbDump, DumpFileReplacesTheOldOne)
{
    const QString f = path(QStringLiteral("Upload.txt"));
    QFile old(f);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    Model().MaterialTable[4].Density = 2.675;
    Model().MaterialTable[4].ZFactor = 0.5;
    DumpParameters(f);
    const QList<QByteArray> lines = fileBytes(f).split('\n');
    ASSERT_EQ(lines.size(), 351); // 350 lines, each ending in CR LF
    EXPECT_EQ(lines[0], QByteArray("Process 1, Process 1       ,-1,0,0\r"));
    EXPECT_EQ(lines[253], QByteArray("Material 4, Material 4      ,2.68,0.500\r"));
    EXPECT_TRUE(lines[350].isEmpty());
}

TEST_F(DbDump, CommandLineToolPrintsTheDump)
{
    ASSERT_TRUE(QFile::exists(binary())) << "dcx700ctl not built";
    const QString file = makeDb(QByteArray(kProcess1Sql) + "UPDATE Layers SET Film_Number = 0 WHERE Layer_Number = 12;");
    QFile ini(path(QStringLiteral("empty.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.close();
    const auto dump = [&](const QString& db) {
        return QStringList{QStringLiteral("--home"), dcxTestProgramFolder(), QStringLiteral("--ini"), ini.fileName(),
                           QStringLiteral("dump"), QStringLiteral("--db"), db};
    };
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(binary(), dump(file));
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray stdoutText = p.readAllStandardOutput();
    const QByteArray stderrText = p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 0) << stderrText.constData();
    const QList<QByteArray> lines = stdoutText.split('\n');
    ASSERT_EQ(lines.size(), 351);
    EXPECT_EQ(lines[0], QByteArray("Process 1, Optic           ,10,2,3"));
    EXPECT_EQ(lines[109], QByteArray(kLayer10));
    // Film number 0 was repaired to 1 and said so on stderr, as one line.
    EXPECT_EQ(lines[111], QByteArray(kLayer12).replace(", 5, -1, -1, 0", ", 1, -1, -1, 0"));
    EXPECT_TRUE(stderrText.contains("Film number error in process Optic, Layer 3. Layer set to Film 1."))
        << stderrText.constData();
    EXPECT_EQ(lines[202], QByteArray(kFilm3));

    // A file that is not a database: the message on stderr, exit 3.
    const QString text = path(QStringLiteral("notes.mdb"));
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("just some notes\n");
    t.close();
    p.start(binary(), dump(text));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().contains("Error reading")) ;
    // The error report goes to this test's own program folder.
    EXPECT_TRUE(QFile::exists(dcxTestProgramFolder() + QStringLiteral("/ERRORS.TXT")));
    EXPECT_EQ(fileBytes(text), QByteArray("just some notes\n"));

    // A newer file: the critical message, exit 3, file untouched.
    runSqlite(file, "UPDATE DBProperties SET Value = '2.00';");
    const QByteArray newer = fileBytes(file);
    p.start(binary(), dump(file));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(p.readAllStandardError().contains("is version 2.00"));
    EXPECT_EQ(fileBytes(file), newer);

    // Usage errors.
    p.start(binary(), {QStringLiteral("--home"), dcxTestProgramFolder(), QStringLiteral("dump")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 64);
}
