// A full, non-default parameter set downloaded to the simulated instrument
// and uploaded into a reset model comes back equal within the wire's resolution.
#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "commands/modcommmaterial.h"
#include "commands/modcommprocess.h"
#include "commands/modcommsystem.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/scripteddialogs.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

namespace {

// Processes 1..20 of three layers each: two single-layer groups, the second
// with one co-deposition partner (slots 3p-2, 3p-1, 3p).
ParameterModel buildParameterSet()
{
    ParameterModel m;
    for (int p = 1; p <= MaxProcesses; ++p) {
        ProcessRecord& pr = m.ProcessTable[p];
        pr.Process_Name = QStringLiteral("Run %1").arg(p);
        if (p > 20)
            continue;
        const int a = 3 * p - 2;
        pr.First_Layer = static_cast<qint16>(a);
        pr.Number_Layers = 2;
        pr.Number_Act_Layers = 3;
        for (int i = 0; i < 3; ++i) {
            LayerRecord& l = m.LayerTable[a + i];
            const int s = a + i;
            l.Rate = 0.1 * (s % 90 + 1);
            l.Final_Thick = 0.001 * (1000 + 37 * s);
            l.Time_Setpoint = static_cast<qint16>(10 * s);
            l.Thick_Limit = 0.001 * (500 + s);
            l.Start_Mode = static_cast<qint16>(s % 2);
            l.Output_Number = static_cast<qint16>(1 + s % 4);
            l.Max_Power1 = 0.1 * (200 + s);
            l.Slew_Rate1 = 0.1 * (100 + s);
            l.Sensor1 = 1;
            l.Sensor2 = static_cast<qint16>(s % 2);
            l.Sensor3 = static_cast<qint16>((s / 2) % 2);
            l.Sensor4 = 0;
            l.Ramp1_Enabled = (s % 3 == 0) ? 1.0 : 0.0;
            l.Ramp1_Start = 0.001 * (100 + s);
            l.Ramp1_Rate = 0.1 * (s % 50);
            l.Ramp1_Time = static_cast<qint16>(s);
            l.Ramp2_Enabled = (s % 3 == 1) ? 1.0 : 0.0;
            l.Ramp2_Start = 0.001 * (200 + s);
            l.Ramp2_Rate = 0.1 * (s % 70);
            l.Ramp2_Time = static_cast<qint16>(2 * s);
            l.Film_Number = static_cast<qint16>(1 + s % 50);
            l.Layer_Free = 0;
        }
        m.LayerTable[a].Next_Layer = static_cast<qint16>(a + 1);
        m.LayerTable[a + 1].CoDep_Layer = static_cast<qint16>(a + 2);
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        FilmRecord& r = m.FilmTable[f];
        r.Film_Name = QStringLiteral("Film-%1").arg(f);
        r.Pterm = 100 + f;
        r.Iterm = 0.1 * (f + 3);
        r.Dterm = 0.1 * (2 * f);
        r.Material_Index = static_cast<qint16>(1 + f % 100);
        r.Pocket = static_cast<qint16>(f % 9);
        r.Tooling = static_cast<qint16>(50 + f);
        r.Crystal_Quality = static_cast<qint16>(f % 10);
        r.Crystal_Stability = static_cast<qint16>((f + 3) % 10);
        r.Crystal_Fail = static_cast<qint16>(f % 2);
        r.Ramp1_Power = 0.1 * (f + 10);
        r.Ramp1_Time = static_cast<qint16>(f + 1);
        r.Soak1_Time = f + 2;
        r.Ramp2_Power = 0.1 * (f + 20);
        r.Ramp2_Time = static_cast<qint16>(f + 3);
        r.Soak2_Time = f + 4;
        r.Idle_Power = 0.1 * (f + 5);
        r.Idle_Ramp_Time = static_cast<qint16>(f + 6);
        r.Feed_Power = 0.1 * (f + 7);
        r.Feed_Ramp = f + 8;
        r.Feed_Time = static_cast<qint16>(f + 9);
        r.Shutter_Delay = static_cast<qint16>(f + 10);
        r.Capture = 0.1 * (f + 11);
        r.Control_Error = static_cast<qint16>(f % 3);
        r.Control_Error_Percent = 0.1 * (f + 12);
        r.Sampling = static_cast<qint16>((f + 1) % 3);
        r.Sample_Accuracy = 0.1 * (f + 13);
        r.Sample_Hold = static_cast<qint16>(f + 14);
        r.Sample_Time = static_cast<qint16>(f + 15);
    }
    for (int i = 1; i <= MaxMaterials; ++i) {
        MaterialRecord& r = m.MaterialTable[i];
        r.Material = QStringLiteral("Mat%1").arg(i);
        r.Density = 0.01 * (100 + 17 * i);
        r.ZFactor = 0.001 * (200 + 31 * i);
    }
    SystemRecord& s = m.SystemParams;
    s.Period = 0.5;
    s.System_Tooling = 90;
    s.Xtool1 = 91;
    s.Xtool2 = 92;
    s.Xtool3 = 93;
    s.Xtool4 = 94;
    s.Simulate_Mode = 1;
    s.Min_Freq = 4.5;
    s.Max_Freq = 6.3;
    s.Power_Scale_1 = 2.5;
    s.Power_Scale_2 = -5.0;
    s.Power_Scale_3 = 7.5;
    s.Power_Scale_4 = 10.0;
    for (int n = 0; n < 16; ++n) {
        m.InputTable[n].Input_Type = static_cast<qint16>(2 + n);
        m.OutputTable[n].Output_Type = static_cast<qint16>(30 + n);
    }
    return m;
}

void expectNear(double a, double b, double resolution, const char* what, int record)
{
    EXPECT_NEAR(a, b, resolution / 2) << what << " of record " << record;
}

TEST(SimRoundTrip, EveryFamilyComesBackEqual)
{
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
    SimPeer peer;
    Comm_ResetLink();
    Comm_UseInProcessPeer(&peer);
    ScriptedDialogs dlg; // materials prompt here when something is off
    ScopedDialogs scoped(dlg);

    const ParameterModel original = buildParameterSet();
    Model() = original;

    ASSERT_EQ(Process_SendE(), 0);
    for (int p = 1; p <= MaxProcesses; ++p) {
        ASSERT_EQ(Process_Set(p, 0), 0) << "process " << p;
        const WalkResult walk = WalkProcess(Model(), p);
        ASSERT_TRUE(walk.ok());
        for (const WalkStep& step : walk.steps)
            ASSERT_EQ(Layer_Set(step.slot, 0), 0) << "layer " << step.slot;
    }
    for (int f = 1; f <= MaxFilms; ++f)
        ASSERT_EQ(Film_Set(f), 0) << "film " << f;
    for (int i = 1; i <= MaxMaterials; ++i)
        ASSERT_EQ(Material_Set(i, 0), 0) << "material " << i;
    ASSERT_EQ(System_Set(0), 0);
    ASSERT_EQ(Inputs_Set(), 0);
    ASSERT_EQ(Relays_Set(), 0);

    Model() = ParameterModel{};
    ASSERT_NE(Model().FilmTable[7], original.FilmTable[7]);
    ASSERT_NE(Model().LayerTable[7], original.LayerTable[7]);
    for (int p = 1; p <= MaxProcesses; ++p) {
        ASSERT_EQ(Process_Get(p, 0), 0) << "process " << p;
        // Follow the links as they arrive: partners first, then the next group.
        int guard = 0;
        for (int l = Model().ProcessTable[p].First_Layer; l > 0 && ++guard <= 10;) {
            ASSERT_EQ(Layer_Get(l, 0), 0) << "layer " << l;
            const LayerRecord& got = Model().LayerTable[l];
            l = got.CoDep_Layer > 0 ? got.CoDep_Layer : got.Next_Layer;
        }
    }
    for (int f = 1; f <= MaxFilms; ++f)
        ASSERT_EQ(Film_Get(f, 0), 0) << "film " << f;
    for (int i = 1; i <= MaxMaterials; ++i)
        ASSERT_EQ(Material_Get(i, 0), 0) << "material " << i;
    ASSERT_EQ(System_Get(0), 0);
    ASSERT_EQ(Inputs_Get(), 0);
    ASSERT_EQ(Relays_Get(), 0);
    EXPECT_TRUE(dlg.messages.isEmpty()) << dlg.texts().join(QLatin1Char('\n')).toStdString();

    const ParameterModel& back = Model();
    for (int p = 1; p <= MaxProcesses; ++p)
        EXPECT_EQ(back.ProcessTable[p], original.ProcessTable[p]) << "process " << p;
    for (int l = 1; l <= 60; ++l) {
        const LayerRecord& a = back.LayerTable[l];
        const LayerRecord& b = original.LayerTable[l];
        // Scaled items within half a wire unit, the integer items exactly.
        for (const auto& row : LayerItems()) {
            if (const auto d = std::get_if<double LayerRecord::*>(&row.field))
                expectNear(a.*(*d), b.*(*d), 1.0 / row.scale, "layer item", l);
            else
                EXPECT_EQ(a.*std::get<qint16 LayerRecord::*>(row.field),
                          b.*std::get<qint16 LayerRecord::*>(row.field)) << "layer " << l << " item " << row.item;
        }
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        const FilmRecord& a = back.FilmTable[f];
        const FilmRecord& b = original.FilmTable[f];
        EXPECT_EQ(a.Film_Name, b.Film_Name);
        for (const auto& row : FilmItems()) {
            if (const auto d = std::get_if<double FilmRecord::*>(&row.field))
                expectNear(a.*(*d), b.*(*d), 1.0 / row.scale, "film item", f);
            else
                EXPECT_EQ(a.*std::get<qint16 FilmRecord::*>(row.field),
                          b.*std::get<qint16 FilmRecord::*>(row.field)) << "film " << f << " item " << row.item;
        }
    }
    for (int i = 1; i <= MaxMaterials; ++i) {
        EXPECT_EQ(back.MaterialTable[i].Material, original.MaterialTable[i].Material);
        expectNear(back.MaterialTable[i].Density, original.MaterialTable[i].Density, 0.01, "density", i);
        expectNear(back.MaterialTable[i].ZFactor, original.MaterialTable[i].ZFactor, 0.001, "Z-factor", i);
    }
    for (const auto& row : SystemItems()) {
        if (const auto d = std::get_if<double SystemRecord::*>(&row.field))
            expectNear(back.SystemParams.*(*d), original.SystemParams.*(*d), 1.0 / row.scale, "system item", row.item);
        else
            EXPECT_EQ(back.SystemParams.*std::get<qint16 SystemRecord::*>(row.field),
                      original.SystemParams.*std::get<qint16 SystemRecord::*>(row.field)) << "system item " << row.item;
    }
    EXPECT_EQ(back.InputTable, original.InputTable);
    EXPECT_EQ(back.OutputTable, original.OutputTable);

    Comm_ResetLink();
}

} // namespace
