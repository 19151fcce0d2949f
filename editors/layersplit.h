#ifndef DCX_EDITORS_LAYERSPLIT_H
#define DCX_EDITORS_LAYERSPLIT_H

#include "editors/decimalsplit.h"
#include "store/model.h"

#include <array>

// The layer editor's spinners as plain values: what loading a layer puts on
// them and what OK stores from them. Index 0 is the layer itself, 1 and 2 its
// two rate ramps.
struct LayerEdit {
    std::array<TenthsPair, 3> rate{};        // spnRate / spnRateTenths
    std::array<ThousandthsGroup, 3> thick{}; // spnFinalThick and its digit spinners
    std::array<int, 3> time{};               // spnTimeSetpoint
    std::array<bool, 3> rampOn{};            // chkRamp(1), chkRamp(2); [0] unused
    ThousandthsGroup thickSetpoint{};        // spnThickSetpoint...
    int startMode = 0;                       // spnStartMode
    TenthsPair maxPower{};                   // spnMaxPower(1) whole, (0) tenths
    TenthsPair slewRate{};                   // spnSlewRate(1), (0)
    int filmEntry = 0;                       // cmbFilm entry, film = entry + 1
    std::array<bool, 4> sensors{};           // chkSensor1..4
    int output = 0;                          // optOutNum(1..4); 0 = none selected

    bool operator==(const LayerEdit&) const = default;
};

// The spinner values for a stored layer. Out-of-range rates, thicknesses,
// times, start modes and films are clamped to what the spinners hold; a max
// power or slew rate part outside its spinner leaves that spinner at 0; an
// output outside 1..4 selects no option.
LayerEdit LoadLayerEdit(const LayerRecord& layer);
// Stores the spinners into the layer: rates and thicknesses as the numbers
// their displays show, max power and slew rate computed from the spinners.
// Next_Layer, CoDep_Layer and Layer_Free are left alone; with no output
// selected Output_Number is kept.
void StoreLayerEdit(const LayerEdit& edit, LayerRecord& layer);

// Display texts.
QString LayerRateText(const TenthsPair& p); // "0.0"
QString StartModeText(int startMode);       // "Auto" / "Manual"
// Film list entry: number, ". " and the stored 16-character name.
QString NumberedNameEntry(int number, const QString& name16);

#endif
