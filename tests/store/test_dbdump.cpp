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
