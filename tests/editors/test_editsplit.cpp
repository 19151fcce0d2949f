// The editors' split and store arithmetic and the field table, without a
// display. Expected values are worked by hand from the editors' rules.
#include "editors/filmsplit.h"
#include "editors/layersplit.h"
#include "editors/renamecheck.h"
#include "editors/systemsplit.h"
#include "store/modelfields.h"

#include <gtest/gtest.h>

namespace {

TEST(LayerSplit, LoadShowsAndStoresWhatTheSpinnersHold)
{
    struct Case {
        const char* name;
        double rate, thick, maxPower;
        int time, film, output, startMode;
        const char* rateText;
        const char* thickText;
        const char* powerText;
        double storedRate, storedThick, storedPower;
        int storedTime, storedFilm, storedOutput, storedStartMode; // no option selected keeps the old 3
    };
    const Case cases[] = {
        {"limits", 99.9, 99.999, 100.0, 5999, 7, 4, 1, "99.9", "99.999", "0.0", 99.9, 99.999, 0.0, 5999, 7, 4,
         1},
        {"above", 150, 123.4, 25.0, 7000, 0, 0, 2, "99.9", "99.999", "25.0", 99.9, 99.999, 25.0, 5999, 1, 3,
         1},
        // -0.5: the whole part -1 stays off its spinner, the tenths (5) fit theirs.
        {"below", -1.5, -2, -0.5, -4, 51, 5, -1, "0.0", "0.000", "0.5", 0, 0, 0.5, 0, 50, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LayerRecord l;
        l.Rate = c.rate;
        l.Final_Thick = c.thick;
        l.Max_Power1 = c.maxPower;
        l.Slew_Rate1 = c.maxPower;
        l.Start_Mode = qint16(c.startMode);
        l.Time_Setpoint = qint16(c.time);
        l.Film_Number = qint16(c.film);
        l.Output_Number = qint16(c.output);
        l.Ramp1_Enabled = 1.0; // the window test turns ramp 1 on from off
        l.Ramp2_Enabled = 1.0;
        const LayerEdit e = LoadLayerEdit(l);
        EXPECT_TRUE(e.rampOn[1]) << "ramp 1 enable";
        EXPECT_TRUE(e.rampOn[2]) << "ramp 2 enable";
        EXPECT_EQ(LayerRateText(e.rate[0]), c.rateText) << "rate text";
        EXPECT_EQ(ThousandthsText(e.thick[0]), c.thickText) << "thickness text";
        EXPECT_EQ(TenthsText(e.maxPower.whole, e.maxPower.tenths), c.powerText) << "max power text";
        LayerRecord out = l;
        out.Output_Number = 3;
        StoreLayerEdit(e, out);
        EXPECT_EQ(out.Rate, c.storedRate) << "Rate";
        EXPECT_EQ(out.Final_Thick, c.storedThick) << "Final_Thick";
        EXPECT_EQ(out.Max_Power1, c.storedPower) << "Max_Power1";
        EXPECT_EQ(out.Slew_Rate1, c.storedPower) << "Slew_Rate1";
        EXPECT_EQ(out.Start_Mode, c.storedStartMode) << "Start_Mode";
        EXPECT_EQ(out.Ramp1_Enabled, 1.0) << "Ramp1_Enabled";
        EXPECT_EQ(out.Ramp2_Enabled, 1.0) << "Ramp2_Enabled";
        EXPECT_EQ(out.Time_Setpoint, c.storedTime) << "Time_Setpoint";
        EXPECT_EQ(out.Film_Number, c.storedFilm) << "Film_Number";
        EXPECT_EQ(out.Output_Number, c.storedOutput) << "Output_Number";
    }
}

// Times, captures and words the film window test shows; here what it cannot reach.
TEST(FilmSplit, HourPairsAndOutOfRangeValues)
{
    const auto row = [](const char* display) {
        for (const FilmPairRow& r : FilmPairRows())
            if (QLatin1String(r.display) == QLatin1String(display))
                return size_t(&r - FilmPairRows().data());
        return size_t(0);
    };
    FilmRecord f;
    f.Shutter_Delay = 3600;
    EXPECT_EQ(LoadFilmEdit(f).pairs[row("txtShutterDelay")], (SpinPair{60, 0}));
    EXPECT_EQ(CapMinutes({59, 59}, kFilmTimeMax), (MinutesSeconds{59, 59}));

    // Out-of-range values leave the spinners as the previous film had them.
    FilmEdit previous;
    previous.tooling = 150;
    previous.xtalFail = 1;
    FilmRecord bad;
    bad.Tooling = 5;
    bad.Crystal_Fail = 4;
    const FilmEdit kept = LoadFilmEdit(bad, previous);
    EXPECT_EQ(kept.tooling, 150) << "tooling";
    EXPECT_EQ(kept.xtalFail, 1) << "crystal fail";
}

TEST(RenameCheck, CutTrimDuplicateStop)
{
    const QStringList names = {"Film 1", "Film 2", "Gold", "Film 4", "Film 5", "Film 6", "Silver"};
    struct Case {
        std::optional<QString> answer;
        int max;
        RenameOutcome::Kind kind;
        int dup;
        QString name;
    };
    const Case cases[] = {
        {QString("  "), 12, RenameOutcome::Stop, 0, ""},
        {QString("film 4"), 12, RenameOutcome::Stop, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.value_or("<cancel>").toStdString());
        const RenameOutcome r = CheckRename(c.answer, c.max, "Film 4          ", names);
        EXPECT_EQ(r.kind, c.kind) << "kind";
        EXPECT_EQ(r.duplicateOf, c.dup) << "duplicate of";
        EXPECT_EQ(r.name, c.name) << "name";
    }
}

TEST(SystemSplit, PeriodFrequencyAndEvents)
{
    struct Period {
        double v;
        int index;
    };
    for (const Period p : {Period{0.25, 3}, {0.26, 4}, {0.12, 1}, {0.1, 0}, {1.0, 8}, {5.0, 8}})
        EXPECT_EQ(PeriodIndexAtLeast(p.v), p.index) << p.v;
    // The typed values and the out-of-range record are the system window test's.
    EXPECT_EQ(TypedSysParam(5, "2.5"), 25) << "scale 2.5";
    EXPECT_EQ(TypedSysParam(1, "abc"), 10) << "Min Freq abc";
    ParameterModel m;
    m.SystemParams.Min_Freq = 0.2; // below the spinner: clamps to 1.0
    ParameterModel out = m;
    StoreSystemEdit(LoadSystemEdit(m), out);
    EXPECT_EQ(out.SystemParams.Min_Freq, 1.0) << "Min Freq";
    EXPECT_EQ(out.SystemParams.Max_Freq, 6.0) << "Max Freq";
    EXPECT_EQ(out.OutputTable[1].Output_Type, 1) << "relay 2";

    // Equal or inverted stored frequencies come apart as the spinners load one by one.
    m.SystemParams.Min_Freq = 6.0;
    m.SystemParams.Max_Freq = 5.0;
    EXPECT_EQ(LoadSystemEdit(m).sysParam[1], 49) << "Min Freq below a lower Max";

    const QStringList& in = InputEventNames();
    const QStringList& rel = RelayEventNames();
    ASSERT_EQ(in.size(), 46);
    ASSERT_EQ(rel.size(), 69);
    EXPECT_EQ(in.mid(30, 4).join(u','), "Start Process 25,Soak Hold,Zero Thickness,Zero Time");
    EXPECT_EQ(in.mid(44).join(u','), "Interlock,None");
    EXPECT_EQ(rel.mid(12, 15).join(u','),
              "All Crystal Good,All Crystal Fail,Process Hold,Deposit Phase,"
              "PreCond Phase,SoakHold Phase,Process Active,Manual Mode,Max Power,"
              "Stopped,Time Setpoint,Thick. Limit,Final Thickness,Dual Xtal Shtr 1,"
              "Dual Xtal Shtr 3");
    // Pocket codes are 31 + 8 x (o - 1) + p.
    EXPECT_EQ((QStringList{rel.at(31), rel.at(31 + 8 * 2 + 5 - 1), rel.at(62), rel.at(63)}),
              (QStringList{"Out 1 Pocket 1", "Out 3 Pocket 5", "Out 4 Pocket 8", "Not Used"}));
}

// The editors and the process report show a field the same way.
TEST(FieldTable, ValuesAndTextsAsTheEditorsHoldThem)
{
    using L = LayerRecord;
    EXPECT_EQ(FieldSpecOf(&L::Rate).text(12.25), "12.2") << "rate tenths half to even";
    EXPECT_EQ(FieldSpecOf(&MaterialRecord::Density).text(2.675), "2.67") << "density";
    EXPECT_EQ(FieldSpecOf(&FilmRecord::Pterm).text(12.5), "12.5") << "typed P term";
    const auto& period = FieldSpecOf(&SystemRecord::Period);
    EXPECT_EQ(period.text(double(0.15f)), "0.15") << "period";
    struct Admits {
        const char* name;
        bool admitted;
        bool want;
    };
    for (const Admits a : {Admits{"period 0.75", period.admits(double(0.75f)), true},
                           {"period 0.35", period.admits(0.35), false},
                           {"free film slot", FieldSpecOf(&L::Film_Number).admits(-1), true},
                           {"film 0", FieldSpecOf(&L::Film_Number).admits(0), false},
                           {"no link", FieldSpecOf(&L::Next_Layer).admits(-1), true},
                           {"link 0", FieldSpecOf(&L::CoDep_Layer).admits(0), false},
                           {"link 1000", FieldSpecOf(&L::Next_Layer).admits(1000), true},
                           {"rate 12.25", FieldSpecOf(&L::Rate).admits(12.25), false}})
        EXPECT_EQ(a.admitted, a.want) << a.name;
}

} // namespace
