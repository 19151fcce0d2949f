#include "process/designimport.h"
#include "tests/cli/clitestkit.h"
#include "tests/store/storefixture.h"

#include "store/moddatabase.h"
#include "store/model.h"

using namespace storetest;

namespace {

// Films 2 "TiO2", 3 " MgF2 ", 5 "SiO2"; films 7 and 9 free ("<Empty>").
const QByteArray kFilmsSql = "UPDATE Films SET Film_Name = 'TiO2' WHERE Film_Number = 2;"
                             "UPDATE Films SET Film_Name = ' MgF2 ' WHERE Film_Number = 3;"
                             "UPDATE Films SET Film_Name = 'SiO2' WHERE Film_Number = 5;"
                             "UPDATE Films SET Film_Name = '<Empty>' WHERE Film_Number IN (7, 9);";

class DesignImport : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        makeDb(QByteArray(kProcess1Sql) + kFilmsSql);
        ASSERT_TRUE(DBOpen());
    }

    QString csv(const QString& name, const QByteArray& text)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }

    // "slot:film:thickness" of each step of the process, and the counts.
    QStringList steps(int process) const
    {
        QStringList out;
        for (const WalkStep& s : WalkProcess(Model(), process).steps) {
            const LayerRecord& l = Model().LayerTable[size_t(s.slot)];
            out << QStringLiteral("%1:%2:%3").arg(s.slot).arg(l.Film_Number).arg(l.Final_Thick);
        }
        const ProcessRecord& p = Model().ProcessTable[size_t(process)];
        out << QStringLiteral("%1/%2").arg(p.Number_Layers).arg(p.Number_Act_Layers);
        return out;
    }
};

} // namespace

TEST_F(DesignImport, ThreeLinesMatchFilmsIgnoringCaseAndBlanks)
{
    const QString file =
        csv("HighReflector.rev2.csv", "1,H,0.125,TiO2\r\n2,L, 0.25 ,  sio2 \r\n3,H,6E-1,tio2\r\n");
    const ImportOutcome out = ImportMacleod(Model(), file);
    EXPECT_EQ(out.end, ImportEnd::Imported);
    // Process 1 holds layers: the first empty one is 2; slots 1..3 are free.
    EXPECT_EQ(Model().ProcessTable[2].Process_Name.text(), "HighReflector   ");
    EXPECT_EQ(steps(2), QStringList({"1:2:0.125", "2:5:0.25", "3:2:0.6", "3/3"}));
    EXPECT_EQ(dlg.texts(),
              QStringList({"Process 'HighReflector' imported with 3 layers.\n"
                           "Edit each layer to set the desposition rate.  New Films also need editing."}));
}

TEST_F(DesignImport, UnknownMaterialsTakeEmptyFilms)
{
    // " mgf2" matches " MgF2 "; "Ta2O5" takes film 7 and then matches it; a
    // name longer than 16 characters never matches, so it takes film 9, and
    // its second line finds no free film.
    const QString file = csv("Design.csv", "1,a,1, mgf2\n2,a,2,Ta2O5\n3,a,3,TA2O5\n"
                                           "4,a,4,AluminiumOxide-Al2O3\n5,a,5,AluminiumOxide-Al2O3\n");
    const ImportOutcome out = ImportMacleod(Model(), file);
    EXPECT_EQ(out.end, ImportEnd::Truncated);
    EXPECT_EQ(Model().FilmTable[7].Film_Name.text(), "Ta2O5           ");
    EXPECT_EQ(Model().FilmTable[9].Film_Name.text(), "AluminiumOxide-A");
    EXPECT_EQ(steps(2), QStringList({"1:3:1", "2:7:2", "3:7:3", "4:9:4", "4/4"}));
    EXPECT_EQ(
        dlg.texts(),
        QStringList(
            {"No film matching Ta2O5 exists in database.\nUse Edit Films to setup the proper parameters.",
             "No film matching AluminiumOxide-A exists in database.\n"
             "Use Edit Films to setup the proper parameters.",
             "No available film.  Process truncated.\n"
             "Rename an existing film or open another database."}));
}

TEST_F(DesignImport, AnyLineEndAndAByteOrderMark)
{
    const QByteArray texts[] = {
        "1,a,0.5,TiO2\r2,a,0.25,SiO2\r", // lone CR (no line would split on LF)
        "\xEF\xBB\xBF"
        "1,a,0.5,TiO2\r\n2,a,0.25,SiO2", // UTF-8 mark, no end after the last line
    };
    for (const QByteArray& text : texts) {
        SCOPED_TRACE(text.toStdString());
        SetDefaultParameters();
        ASSERT_TRUE(DBOpen());
        EXPECT_EQ(ImportMacleod(Model(), csv("Ends.csv", text)).end, ImportEnd::Imported);
        EXPECT_EQ(steps(2), QStringList({"1:2:0.5", "2:5:0.25", "2/2"}));
    }
}

TEST_F(DesignImport, StopsKeepWhatCameBefore)
{
    // Every stop here is a bad line.
    struct Case {
        const char* name;
        QByteArray text;
        QStringList steps;
    };
    const QStringList one = {"1:2:0.5", "1/1"};
    const Case cases[] = {
        {"a thickness that is not a number", "1,a,0.5,TiO2\n2,a,thick,TiO2\n3,a,1,TiO2\n", one},
        {"a header line", "Layer,Mat,Thickness,Material\n1,a,0.5,TiO2\n", {"0/0"}},
        {"a blank line", "1,a,0.5,TiO2\n\n", one},
        {"binary bytes", QByteArray("1,a,0.5,TiO2\n\x01\xff\x00,\x80,\x02,x\n", 22), one},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDefaultParameters();
        ASSERT_TRUE(DBOpen());
        dlg.messages.clear();
        const ImportOutcome out = ImportMacleod(Model(), csv("Bad.csv", c.text));
        EXPECT_EQ(out.end, ImportEnd::BadLine);
        EXPECT_EQ(steps(2), c.steps);
        // The bad line's slot is neither linked nor taken: the next free slot
        // is the one right after the imported layers.
        EXPECT_EQ(FindFreeLayer(Model()), int(c.steps.size()));
        ASSERT_EQ(dlg.messages.size(), 1);
        EXPECT_TRUE(dlg.messages[0].text.contains(QStringLiteral("line %1").arg(out.line)));
        EXPECT_EQ(ErrHandler().ErrorProcedure(), "frmProcess_ImportMacleod");
    }
    EXPECT_EQ(ImportMacleod(Model(), path("missing.csv")).end, ImportEnd::FileError);
}

TEST_F(DesignImport, NothingToImportChangesNothing)
{
    struct Case {
        const char* name;
        QByteArray text;
        bool full; // every process holds layers
        ImportEnd end;
        QString message;
    };
    const QString noLayers = QStringLiteral("The design A.csv has no layers.\nNothing was imported.");
    const Case cases[] = {
        {"no bytes", "", false, ImportEnd::NoLayers, noLayers},
        {"one line break", "\r\n", false, ImportEnd::NoLayers, noLayers},
        {"no empty process", "1,a,1,TiO2\n", true, ImportEnd::NoProcess,
         "No available processes.\nDelete all layers in an existing process or open another database."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int p = 1; p <= MaxProcesses && c.full; ++p)
            Model().ProcessTable[size_t(p)].First_Layer = 10;
        const ParameterModel before = Model();
        dlg.messages.clear();
        EXPECT_EQ(ImportMacleod(Model(), csv("A.csv", c.text)).end, c.end);
        EXPECT_EQ(dlg.texts(), QStringList{c.message});
        EXPECT_TRUE(Model() == before);
    }
}

TEST_F(DesignImport, CommandLineSavesTheDesignOrNothing)
{
    const QString db = path("DCX700.mdb");
    const QString good = csv("HighReflector.rev2.csv", "1,H,0.125,TiO2\n2,L,0.25,Ta2O5\n");
    const clitest::CtlRun run = clitest::runCtl(dir.path(), {"import-design", good, "--db", db});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out, "Process 'HighReflector' imported with 2 layers.\n"
                       "Edit each layer to set the desposition rate.  New Films also need editing.\n");
    EXPECT_EQ(query(db, "SELECT rtrim(Process_Name), First_Layer, Number_Layers, Number_Act_Layers "
                        "FROM Processes WHERE Process_Number = 2;"),
              "HighReflector|1|2|2");
    EXPECT_EQ(query(db, "SELECT Layer_Number, Film_Number, Next_Layer, CoDep_Layer, Final_Thick, Max_Power1, "
                        "Slew_Rate1 FROM Layers WHERE Layer_Number IN (1, 2) ORDER BY 1;"),
              "1|2|2|-1|0.125|99.9|99.9\n2|7|-1|-1|0.25|99.9|99.9");
    EXPECT_EQ(query(db, "SELECT trim(Film_Name) FROM Films WHERE Film_Number = 7;"), "Ta2O5");
    // Process 1 is untouched.
    EXPECT_EQ(query(db, "SELECT rtrim(Process_Name), First_Layer FROM Processes WHERE Process_Number = 1;"),
              "Optic|10");

    // A bad line or an unreadable file exits 3, a design this file cannot
    // take exits 6; the file stays as it was.
    const QString full = makeDb("UPDATE Processes SET First_Layer = 10;", QStringLiteral("Full.mdb"));
    struct Case {
        QString csv, db;
        int exitCode;
    };
    const Case cases[] = {
        {csv("Bad.csv", "1,a,0.1,TiO2\n2,a,x,TiO2\n"), db, 3},
        {path("missing.csv"), db, 3},
        {csv("Empty.csv", "\n"), db, 6},
        {good, full, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv.toStdString());
        const QByteArray saved = readFile(c.db);
        const clitest::CtlRun r = clitest::runCtl(dir.path(), {"import-design", c.csv, "--db", c.db});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(readFile(c.db), saved);
    }
}
