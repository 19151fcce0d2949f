// The editors' split and store arithmetic and the field table, without a
// display. Expected values are worked by hand from the editors' rules.
#include "editors/filmsplit.h"
#include "editors/layersplit.h"
#include "editors/materialsplit.h"
#include "editors/renamecheck.h"
#include "editors/systemsplit.h"
#include "store/modelfields.h"

#include <gtest/gtest.h>

namespace {

TEST(LayerSplit, LoadShowsAndStoresWhatTheSpinnersHold)
{
    struct Case {
        double rate, thick, maxPower;
        int time, film, output;
        QString rateText, thickText, powerText;
        double storedRate, storedThick, storedPower;
        int storedTime, storedFilm, storedOutput;
    };
    const Case cases[] = {
        {0, 0, 99.95, 0, 50, 4, "0.0", "0.000", "99.0", 0, 0, 99.0, 0, 50, 4},
        {99.9, 99.999, 100.0, 5999, 7, 1, "99.9", "99.999", "0.0", 99.9, 99.999, 0.0, 5999, 7, 1},
        // Out of the spinners' ranges: clamped, and stored as shown.
        {150, 123.4, 25.0, 7000, 0, 0, "99.9", "99.999", "25.0", 99.9, 99.999, 25.0, 5999, 1, 3},
        // -0.5: the whole part -1 stays off its spinner, the tenths (5) fit theirs.
        {-1.5, -2, -0.5, -4, 51, 5, "0.0", "0.000", "0.5", 0, 0, 0.5, 0, 50, 3},
    };
    for (const Case& c : cases) {
        LayerRecord l;
        std::tie(l.Rate, l.Final_Thick, l.Max_Power1, l.Time_Setpoint, l.Film_Number, l.Output_Number) =
            std::tuple(c.rate, c.thick, c.maxPower, c.time, c.film, c.output);
        const LayerEdit e = LoadLayerEdit(l);
        EXPECT_EQ((QStringList{LayerRateText(e.rate[0]), ThousandthsText(e.thick[0]),
                               TenthsText(e.maxPower.whole, e.maxPower.tenths)}),
                  (QStringList{c.rateText, c.thickText, c.powerText}))
            << c.rate;
        LayerRecord out = l;
        out.Output_Number = 3;
        StoreLayerEdit(e, out);
        // No option selected keeps the old output.
        EXPECT_EQ(std::tuple(out.Rate, out.Final_Thick, out.Max_Power1, out.Time_Setpoint, out.Film_Number,
                             out.Output_Number),
                  std::tuple(c.storedRate, c.storedThick, c.storedPower, c.storedTime, c.storedFilm,
                             c.storedOutput))
            << c.rate;
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
    std::tie(previous.tooling, previous.xtalFail) = std::tuple(150, 1);
    FilmRecord bad;
    std::tie(bad.Tooling, bad.Crystal_Fail) = std::tuple(5, 4);
    const FilmEdit kept = LoadFilmEdit(bad, previous);
    EXPECT_EQ(std::tuple(kept.tooling, kept.xtalFail), std::tuple(150, 1));
}

// 2.7, 0.39 and the Z-factor's range are the material window test's.
TEST(MaterialSplit, TypedEntries)
{
    struct Case {
        QString text;
        int lo, hi;
        bool ok;
        int spin;
        QString message;
    };
    const Case cases[] = {
        {"2.705", 40, 9999, true, 270, ""},
        {"abc", 40, 9999, false, 0, "Valid values are 0.40 to 99.99."},
        {"9.99", 10, 999, true, 999, ""},
    };
    for (const Case& c : cases) {
        const EntryCheck r = CheckHundredthsEntry(c.text, c.lo, c.hi);
        EXPECT_EQ(std::tuple(r.ok, c.ok ? r.spin : 0, r.message), std::tuple(c.ok, c.spin, c.message))
            << c.text.toStdString();
    }
    EXPECT_EQ(HundredthsSpin(0.1, 40, 9999), 40);
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
        {QString("ABCDEFGHIJKLMNO"), 12, RenameOutcome::Store, 0, "ABCDEFGHIJKL"},
        {QString("   Titanium "), 12, RenameOutcome::Store, 0, "Titanium"},
        {QString("SILVER"), 12, RenameOutcome::Duplicate, 7, ""},
        {std::nullopt, 12, RenameOutcome::Stop, 0, ""},
        {QString("  "), 12, RenameOutcome::Stop, 0, ""},
        {QString("film 4"), 12, RenameOutcome::Stop, 0, ""},
        {QString("Material name xyzw"), 17, RenameOutcome::Store, 0, "Material name xyz"},
    };
    for (const Case& c : cases) {
        const RenameOutcome r = CheckRename(c.answer, c.max, "Film 4          ", names);
        EXPECT_EQ(std::tuple(r.kind, r.duplicateOf, r.name), std::tuple(c.kind, c.dup, c.name))
            << c.answer.value_or("<cancel>").toStdString();
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
    EXPECT_EQ(std::tuple(TypedSysParam(5, "2.5"), TypedSysParam(1, "abc")), std::tuple(25, 10));
    std::array<int, kSysParams> p{3, 50, 50, 50, 50, 50, 50};
    OrderFrequencies(2, p); // Max lowered to Min's 5.0 pushes Min down
    EXPECT_EQ(p[1], 49);
    ParameterModel m;
    m.SystemParams.Min_Freq = 0.2; // below the spinner: clamps to 1.0
    ParameterModel out = m;
    StoreSystemEdit(LoadSystemEdit(m), out);
    EXPECT_EQ(
        std::tuple(out.SystemParams.Min_Freq, out.SystemParams.Max_Freq, out.OutputTable[1].Output_Type),
        std::tuple(1.0, 6.0, 1));

    // Equal stored frequencies come apart as the spinners load one by one.
    std::tie(m.SystemParams.Min_Freq, m.SystemParams.Max_Freq) = std::tuple(5.0, 5.0);
    EXPECT_EQ(LoadSystemEdit(m).sysParam[1], 49);

    const QStringList& in = InputEventNames();
    const QStringList& rel = RelayEventNames();
    ASSERT_EQ(in.size(), 46);
    ASSERT_EQ(rel.size(), 69);
    EXPECT_EQ((QStringList{in.at(30), in.at(44)}), (QStringList{"Start Process 25", "Interlock"}));
    // Pocket codes are 31 + 8 x (o - 1) + p.
    EXPECT_EQ((QStringList{rel.at(31), rel.at(31 + 8 * 2 + 5 - 1), rel.at(62), rel.at(63)}),
              (QStringList{"Out 1 Pocket 1", "Out 3 Pocket 5", "Out 4 Pocket 8", "Not Used"}));
}

} // namespace
