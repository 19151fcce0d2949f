#ifndef DCX_SIM_SIMMEMORY_H
#define DCX_SIM_SIMMEMORY_H

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <vector>

// The simulated instrument's own parameter memory. Like the instrument it keeps
// every numeric item as the integer that travels on the wire (tenths, Å,
// hundredths...), so whatever the host writes it reads back unchanged, and the
// value limits are checked on those integers.

inline constexpr int kSimProcesses = 100;
inline constexpr int kSimLayers = 1000;
inline constexpr int kSimFilms = 50;
inline constexpr int kSimMaterials = 100;
inline constexpr int kSimIoPoints = 16;
inline constexpr int kSimNameLength = 16;

// The accepted values of one numeric item.
struct ItemRange {
    qint32 min = 0;
    qint32 max = 0;
    bool minusOne = false; // -1 ("none") is accepted besides min..max

    bool accepts(qint32 v) const { return (v >= min && v <= max) || (minusOne && v == -1); }
};

// Item numbers of a layer (index into SimLayer::item).
enum SimLayerItem : int {
    kLayerRate = 1,
    kLayerFinalThick,
    kLayerTimeSetpoint,
    kLayerThickLimit,
    kLayerStartMode,
    kLayerOutput,
    kLayerMaxPower,
    kLayerSlewRate,
    kLayerSensor1,
    kLayerSensor2,
    kLayerSensor3,
    kLayerSensor4,
    kLayerRamp1Enabled,
    kLayerRamp1Start,
    kLayerRamp1Rate,
    kLayerRamp1Time,
    kLayerRamp2Enabled,
    kLayerRamp2Start,
    kLayerRamp2Rate,
    kLayerRamp2Time,
    kLayerFilm,
    kLayerNext,
    kLayerCoDep,
    kLayerFree
};
inline constexpr int kLayerItems = 24;

// Film items: group 2 (control loop, crystal), 3 (pre-conditioning), 4 (shutter, errors, sampling).
enum SimFilmItem2 : int {
    kFilmPterm = 1,
    kFilmIterm,
    kFilmDterm,
    kFilmMaterial,
    kFilmPocket,
    kFilmTooling,
    kFilmCrystalQuality,
    kFilmCrystalStability,
    kFilmCrystalFail
};
enum SimFilmItem3 : int {
    kFilmRamp1Power = 1,
    kFilmRamp1Time,
    kFilmSoak1Time,
    kFilmRamp2Power,
    kFilmRamp2Time,
    kFilmSoak2Time,
    kFilmIdlePower,
    kFilmIdleRampTime,
    kFilmFeedPower,
    kFilmFeedRamp,
    kFilmFeedTime
};
enum SimFilmItem4 : int {
    kFilmShutterDelay = 1,
    kFilmCapture,
    kFilmControlError,
    kFilmControlErrorPercent,
    kFilmSampling,
    kFilmSampleAccuracy,
    kFilmSampleHold,
    kFilmSampleTime
};
inline constexpr std::array<int, 3> kFilmGroupItems{9, 11, 8};

enum SimProcessItem : int { kProcessName = 1, kProcessLayers, kProcessFirst, kProcessActLayers };
enum SimMaterialItem : int { kMaterialName = 1, kMaterialDensity, kMaterialZFactor };

enum SimSystemItem : int {
    kSysPeriod = 1,
    kSysTooling,
    kSysXtool1,
    kSysXtool2,
    kSysSimulate,
    kSysMinFreq,
    kSysMaxFreq,
    kSysScale1,
    kSysScale2,
    kSysScale3,
    kSysScale4,
    kSysXtool3,
    kSysXtool4
};
inline constexpr int kSystemItems = 13;

// Index 0 of every item array is unused, so item n is item[n].
struct SimProcess {
    QByteArray name;              // always 16 characters
    std::array<qint32, 5> item{}; // items 2..4
    bool operator==(const SimProcess&) const = default;
};

struct SimLayer {
    std::array<qint32, kLayerItems + 1> item{};
    bool operator==(const SimLayer&) const = default;
};

struct SimFilm {
    QByteArray name;                               // always 16 characters
    std::array<std::array<qint32, 12>, 3> group{}; // group[g - 2][index]
    bool operator==(const SimFilm&) const = default;
};

struct SimMaterial {
    QByteArray name;              // always 16 characters
    std::array<qint32, 4> item{}; // items 2..3
    bool operator==(const SimMaterial&) const = default;
};

class SimMemory {
public:
    SimMemory();

    // Every record to the instrument's blank state (default names, free layers).
    void reset();

    // Record access, numbers as on the wire (1-based).
    SimProcess& process(int p) { return processes_[p - 1]; }
    SimLayer& layer(int l) { return layers_[l - 1]; }
    SimFilm& film(int f) { return films_[f - 1]; }
    SimMaterial& material(int m) { return materials_[m - 1]; }
    std::array<qint32, kSystemItems + 1>& system() { return system_; }
    std::array<qint32, kSimIoPoints + 1>& inputs() { return inputs_; }
    std::array<qint32, kSimIoPoints + 1>& relays() { return relays_; }
    const SimProcess& process(int p) const { return processes_[p - 1]; }
    const SimLayer& layer(int l) const { return layers_[l - 1]; }
    const SimFilm& film(int f) const { return films_[f - 1]; }
    const SimMaterial& material(int m) const { return materials_[m - 1]; }
    const std::array<qint32, kSystemItems + 1>& system() const { return system_; }
    const std::array<qint32, kSimIoPoints + 1>& inputs() const { return inputs_; }
    const std::array<qint32, kSimIoPoints + 1>& relays() const { return relays_; }

    // Frees every layer slot and empties every process (names are kept).
    void eraseProcesses();
    // A blank, free layer slot.
    static SimLayer freeLayer();

    // Value limits of each item (index 0 unused).
    static const std::array<ItemRange, kLayerItems + 1>& layerRanges();
    static const std::array<ItemRange, 12>& filmRanges(int group); // group 2..4
    static const std::array<ItemRange, 5>& processRanges();
    static const std::array<ItemRange, 4>& materialRanges();
    static const std::array<ItemRange, kSystemItems + 1>& systemRanges();
    static ItemRange inputRange() { return {1, 46}; }
    static ItemRange relayRange() { return {1, 69}; }

    // A name field: the first 16 characters, padded with blanks.
    static QByteArray name16(const QByteArray& text);

    bool operator==(const SimMemory&) const = default;

private:
    std::vector<SimProcess> processes_;
    std::vector<SimLayer> layers_;
    std::vector<SimFilm> films_;
    std::vector<SimMaterial> materials_;
    std::array<qint32, kSystemItems + 1> system_{};
    std::array<qint32, kSimIoPoints + 1> inputs_{};
    std::array<qint32, kSimIoPoints + 1> relays_{};
};

#endif
