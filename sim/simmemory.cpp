#include "sim/simmemory.h"

namespace {

// Limits in wire units. Powers may reach 100.0 % (1000 tenths); thicknesses
// 99.999 kÅ; layer times 5999 of the instrument's units; film times one hour.
constexpr ItemRange kTenthsPercent{0, 999};
constexpr ItemRange kPower{0, 1000};
constexpr ItemRange kAngstrom{0, 99999};
constexpr ItemRange kLayerTime{0, 5999};
constexpr ItemRange kFilmTime{0, 3600};
constexpr ItemRange kSwitch{0, 1};
constexpr ItemRange kTooling{10, 399};
// layer links: a slot number, or 0 or -1 for none
constexpr ItemRange kSlot{0, kSimLayers, true};

QByteArray numbered(const char* stem, int n)
{
    return SimMemory::name16(QByteArray(stem) + QByteArray::number(n));
}

} // namespace

SimMemory::SimMemory()
    : processes_(kSimProcesses), layers_(kSimLayers), films_(kSimFilms), materials_(kSimMaterials)
{
    reset();
}

QByteArray SimMemory::name16(const QByteArray& text)
{
    return text.left(kSimNameLength).leftJustified(kSimNameLength, ' ');
}

SimLayer SimMemory::freeLayer()
{
    SimLayer l;
    l.item[kLayerFree] = 1;
    l.item[kLayerFilm] = -1;
    l.item[kLayerNext] = -1;
    l.item[kLayerCoDep] = -1;
    l.item[kLayerStartMode] = 1;
    l.item[kLayerMaxPower] = 250;
    l.item[kLayerSlewRate] = 250;
    l.item[kLayerOutput] = 1;
    l.item[kLayerSensor1] = 1;
    return l;
}

void SimMemory::eraseProcesses()
{
    for (auto& p : processes_) {
        p.item[kProcessLayers] = 0;
        p.item[kProcessFirst] = -1;
        p.item[kProcessActLayers] = 0;
    }
    for (auto& l : layers_)
        l = freeLayer();
}

void SimMemory::reset()
{
    for (int p = 1; p <= kSimProcesses; ++p)
        process(p).name = numbered("Process ", p);
    eraseProcesses();
    for (int f = 1; f <= kSimFilms; ++f) {
        SimFilm& film = this->film(f);
        film = SimFilm{};
        film.name = numbered("Film ", f);
        film.group[0][kFilmMaterial] = 1;
        film.group[0][kFilmTooling] = 100;
    }
    for (int m = 1; m <= kSimMaterials; ++m) {
        SimMaterial& mat = material(m);
        mat.name = numbered("Material ", m);
        mat.item[kMaterialDensity] = 100;
        mat.item[kMaterialZFactor] = 1000;
    }
    system_.fill(0);
    system_[kSysPeriod] = 25;
    system_[kSysTooling] = 100;
    for (int i : {kSysXtool1, kSysXtool2, kSysXtool3, kSysXtool4})
        system_[i] = 100;
    system_[kSysSimulate] = 0;
    system_[kSysMinFreq] = 50;
    system_[kSysMaxFreq] = 60;
    for (int i : {kSysScale1, kSysScale2, kSysScale3, kSysScale4})
        system_[i] = 50;
    inputs_.fill(1);
    relays_.fill(1);
    inputs_[0] = relays_[0] = 0;
}

const std::array<ItemRange, kLayerItems + 1>& SimMemory::layerRanges()
{
    static const std::array<ItemRange, kLayerItems + 1> r{
        ItemRange{},
        kTenthsPercent,  // 1 rate, tenths of Å/s
        kAngstrom,       // 2 final thickness
        kLayerTime,      // 3 time setpoint
        kAngstrom,       // 4 thickness limit
        kSwitch,         // 5 start mode
        ItemRange{1, 4}, // 6 output
        kPower,          // 7 maximum power
        kPower,          // 8 slew rate
        kSwitch,
        kSwitch,
        kSwitch,
        kSwitch, // 9..12 sensors
        kSwitch,
        kAngstrom,
        kTenthsPercent,
        kLayerTime, // 13..16 ramp 1
        kSwitch,
        kAngstrom,
        kTenthsPercent,
        kLayerTime,                    // 17..20 ramp 2
        ItemRange{1, kSimFilms, true}, // 21 film
        kSlot,                         // 22 next layer
        kSlot,                         // 23 co-deposition partner
        kSwitch,                       // 24 free flag
    };
    return r;
}

const std::array<ItemRange, 12>& SimMemory::filmRanges(int group)
{
    static const std::array<ItemRange, 12> g2{
        ItemRange{},     ItemRange{0, 9999}, kTenthsPercent,  kTenthsPercent,  ItemRange{1, kSimMaterials},
        ItemRange{0, 8}, kTooling,           ItemRange{0, 9}, ItemRange{0, 9}, kSwitch};
    static const std::array<ItemRange, 12> g3{ItemRange{}, kPower,    kFilmTime, kFilmTime,
                                              kPower,      kFilmTime, kFilmTime, kPower,
                                              kFilmTime,   kPower,    kFilmTime, kFilmTime};
    static const std::array<ItemRange, 12> g4{ItemRange{},     kFilmTime,      kTenthsPercent,
                                              ItemRange{0, 2}, kTenthsPercent, ItemRange{0, 2},
                                              kTenthsPercent,  kFilmTime,      kFilmTime};
    return group == 2 ? g2 : group == 3 ? g3 : g4;
}

const std::array<ItemRange, 5>& SimMemory::processRanges()
{
    static const std::array<ItemRange, 5> r{ItemRange{}, ItemRange{}, ItemRange{0, kSimLayers}, kSlot,
                                            ItemRange{0, kSimLayers}};
    return r;
}

const std::array<ItemRange, 4>& SimMemory::materialRanges()
{
    // density 0.40..99.99 g/cm³ in hundredths, Z-factor 0.100..9.999 in thousandths
    static const std::array<ItemRange, 4> r{ItemRange{}, ItemRange{}, ItemRange{40, 9999},
                                            ItemRange{100, 9999}};
    return r;
}

const std::array<ItemRange, kSystemItems + 1>& SimMemory::systemRanges()
{
    static const std::array<ItemRange, kSystemItems + 1> r{
        ItemRange{},
        ItemRange{10, 100}, // 1 period, hundredths of a second
        kTooling,
        kTooling,
        kTooling,
        kSwitch,           // 5 simulate mode
        ItemRange{10, 64}, // 6 minimum frequency, tenths of MHz
        ItemRange{11, 65}, // 7 maximum frequency
        ItemRange{-100, 100},
        ItemRange{-100, 100},
        ItemRange{-100, 100},
        ItemRange{-100, 100},
        kTooling,
        kTooling,
    };
    return r;
}
