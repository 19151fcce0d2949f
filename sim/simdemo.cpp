#include "sim/simdemo.h"

#include "sim/simmemory.h"

#include <cmath>
#include <vector>

namespace {

struct DemoMaterial {
    const char* name;
    double density; // g/cm³
    double zfactor;
};

// Densities and Z-factors of common evaporation materials.
const std::vector<DemoMaterial> kMaterials{
    {"Aluminum", 2.70, 1.080}, {"Chromium", 7.20, 0.305}, {"Gold", 19.30, 0.381},  {"Silver", 10.50, 0.529},
    {"Titanium", 4.50, 0.628}, {"Copper", 8.93, 0.437},   {"Nickel", 8.91, 0.331}, {"SiO2", 2.20, 1.000},
    {"TiO2", 4.26, 0.400},     {"MgF2", 3.18, 0.637},     {"Ta2O5", 8.20, 0.300},  {"ZnS", 4.09, 0.775},
};

struct DemoFilm {
    const char* name;
    int material, pocket, tooling, pterm;
    double iterm;
    double rise1Power;
    int rise1Time, soak1Time;
    double rise2Power;
    int rise2Time, soak2Time;
    double idlePower;
    int shutterDelay;
    double capture, controlErrorPercent;
};

const std::vector<DemoFilm> kFilms{
    {"Aluminum", 1, 1, 100, 30, 1.5, 12.0, 30, 20, 18.0, 20, 15, 5.0, 15, 5.0, 20.0},
    {"Chromium", 2, 2, 98, 25, 1.0, 10.0, 25, 15, 13.0, 15, 10, 0.0, 10, 8.0, 25.0},
    {"Gold", 3, 3, 104, 35, 2.0, 6.0, 20, 15, 12.0, 20, 15, 4.0, 12, 5.0, 20.0},
    {"Titanium", 5, 4, 100, 25, 1.0, 12.0, 25, 15, 15.0, 15, 10, 0.0, 10, 8.0, 25.0},
    {"SiO2", 8, 5, 95, 20, 1.2, 8.0, 30, 20, 12.0, 20, 15, 0.0, 15, 5.0, 15.0},
    {"TiO2", 9, 6, 97, 20, 1.2, 10.0, 40, 20, 14.0, 30, 20, 0.0, 20, 5.0, 15.0},
    {"Nickel", 7, 7, 100, 30, 1.5, 12.0, 30, 15, 16.0, 20, 10, 0.0, 10, 8.0, 20.0},
    {"Copper", 6, 8, 102, 30, 1.5, 10.0, 25, 15, 15.0, 20, 10, 0.0, 10, 5.0, 20.0},
};
enum DemoFilmNo { kAl = 1, kCr, kAu, kTi, kSiO2, kTiO2, kNi, kCu };

struct DemoLayer {
    int film;
    double rate;       // Å/s
    double finalThick; // kÅ
    int output;
    double maxPower; // %
    bool manualStart = false;
    double rampStart = -1, rampRate = 0; // kÅ, Å/s; no ramp when rampStart < 0
    int rampTime = 0;
};
using DemoGroup = std::vector<DemoLayer>;

struct DemoProcess {
    const char* name;
    std::vector<DemoGroup> groups;
};

const std::vector<DemoProcess> kProcesses{
    {"Al Mirror", {{{kCr, 1.0, 0.050, 2, 40.0}}, {{kAl, 10.0, 1.000, 1, 60.0, false, 0.300, 15.0, 20}}}},
    {"AR 4-Layer",
     {{{kTiO2, 2.0, 0.125, 3, 45.0}},
      {{kSiO2, 5.0, 0.250, 4, 55.0}},
      {{kTiO2, 2.0, 0.600, 3, 45.0}},
      {{kSiO2, 5.0, 0.950, 4, 55.0}}}},
    {"Au Contact", {{{kTi, 1.0, 0.100, 2, 40.0}}, {{kAu, 5.0, 1.500, 3, 50.0, true}}}},
    {"NiCr CoDep", {{{kNi, 3.0, 0.400, 1, 50.0}, {kCr, 1.0, 0.130, 2, 40.0}}, {{kAu, 5.0, 0.300, 3, 50.0}}}},
    {"Cu Seed", {{{kTi, 1.0, 0.200, 2, 40.0}}, {{kCu, 8.0, 3.000, 1, 60.0}}}},
};

qint32 tenths(double v)
{
    return qint32(std::lround(v * 10));
}
qint32 angstrom(double kA)
{
    return qint32(std::lround(kA * 1000));
}

} // namespace

void LoadDemoSet(SimMemory& memory)
{
    memory.reset();

    // material names travel as one word, so the unused ones get one-word names too
    for (int m = int(kMaterials.size()) + 1; m <= kSimMaterials; ++m)
        memory.material(m).name = SimMemory::name16("Material" + QByteArray::number(m));
    for (size_t i = 0; i < kMaterials.size(); ++i) {
        SimMaterial& m = memory.material(int(i) + 1);
        m.name = SimMemory::name16(kMaterials[i].name);
        m.item[kMaterialDensity] = qint32(std::lround(kMaterials[i].density * 100));
        m.item[kMaterialZFactor] = qint32(std::lround(kMaterials[i].zfactor * 1000));
    }

    for (size_t i = 0; i < kFilms.size(); ++i) {
        const DemoFilm& d = kFilms[i];
        SimFilm& f = memory.film(int(i) + 1);
        f.name = SimMemory::name16(d.name);
        auto& g2 = f.group[0];
        g2[kFilmPterm] = d.pterm;
        g2[kFilmIterm] = tenths(d.iterm);
        g2[kFilmMaterial] = d.material;
        g2[kFilmPocket] = d.pocket;
        g2[kFilmTooling] = d.tooling;
        g2[kFilmCrystalQuality] = 5;
        g2[kFilmCrystalStability] = 3;
        auto& g3 = f.group[1];
        g3[kFilmRamp1Power] = tenths(d.rise1Power);
        g3[kFilmRamp1Time] = d.rise1Time;
        g3[kFilmSoak1Time] = d.soak1Time;
        g3[kFilmRamp2Power] = tenths(d.rise2Power);
        g3[kFilmRamp2Time] = d.rise2Time;
        g3[kFilmSoak2Time] = d.soak2Time;
        g3[kFilmIdlePower] = tenths(d.idlePower);
        g3[kFilmIdleRampTime] = d.idlePower > 0 ? 10 : 0;
        auto& g4 = f.group[2];
        g4[kFilmShutterDelay] = d.shutterDelay;
        g4[kFilmCapture] = tenths(d.capture);
        g4[kFilmControlError] = 1;
        g4[kFilmControlErrorPercent] = tenths(d.controlErrorPercent);
    }

    int slot = 1;
    for (size_t p = 0; p < kProcesses.size(); ++p) {
        const DemoProcess& dp = kProcesses[p];
        SimProcess& proc = memory.process(int(p) + 1);
        proc.name = SimMemory::name16(dp.name);
        proc.item[kProcessFirst] = slot;
        proc.item[kProcessLayers] = int(dp.groups.size());
        int members = 0;
        SimLayer* last = nullptr;
        for (const DemoGroup& group : dp.groups) {
            if (last)
                last->item[kLayerNext] = slot; // the last member of a group links the next step
            SimLayer* previous = nullptr;
            for (const DemoLayer& d : group) {
                SimLayer& l = memory.layer(slot);
                if (previous)
                    previous->item[kLayerCoDep] = slot;
                l.item[kLayerRate] = tenths(d.rate);
                l.item[kLayerFinalThick] = angstrom(d.finalThick);
                l.item[kLayerTimeSetpoint] = 0;
                l.item[kLayerThickLimit] = angstrom(d.finalThick * 0.9);
                l.item[kLayerStartMode] = d.manualStart ? 0 : 1;
                l.item[kLayerOutput] = d.output;
                l.item[kLayerMaxPower] = tenths(d.maxPower);
                l.item[kLayerSlewRate] = 100;
                for (int s = 0; s < 4; ++s)
                    l.item[kLayerSensor1 + s] = (s + 1 == d.output) ? 1 : 0;
                if (d.rampStart >= 0) {
                    l.item[kLayerRamp1Enabled] = 1;
                    l.item[kLayerRamp1Start] = angstrom(d.rampStart);
                    l.item[kLayerRamp1Rate] = tenths(d.rampRate);
                    l.item[kLayerRamp1Time] = d.rampTime;
                }
                l.item[kLayerFilm] = d.film;
                l.item[kLayerFree] = 0;
                previous = &l;
                last = &l;
                ++slot;
                ++members;
            }
        }
        proc.item[kProcessActLayers] = members;
    }

    auto& sys = memory.system();
    sys[kSysSimulate] = 1;

    // inputs: start, abort, start layer, stop layer; the rest unused ("None")
    auto& in = memory.inputs();
    for (int n = 1; n <= kSimIoPoints; ++n)
        in[n] = n <= 4 ? n : 46;
    // relays: source and sensor shutters, deposit phase, process active,
    // stopped, final thickness; the rest unused ("None")
    auto& out = memory.relays();
    const int relays[] = {1, 2, 3, 4, 5, 6, 7, 8, 16, 19, 22, 25};
    for (int n = 1; n <= kSimIoPoints; ++n)
        out[n] = n <= 12 ? relays[n - 1] : 69;
}
