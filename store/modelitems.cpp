#include "store/modelitems.h"

#include <array>

namespace {

using L = LayerRecord;
using F = FilmRecord;
using S = SystemRecord;
constexpr int Tenths = 10;
constexpr int Hundredths = 100;
constexpr int Thousandths = 1000; // model kÅ, wire Å

const std::array<WireItem<L>, LayerItemCount> kLayerItems = {{
    {1, &L::Rate, Tenths},
    {2, &L::Final_Thick, Thousandths, 32},
    {3, &L::Time_Setpoint},
    {4, &L::Thick_Limit, Thousandths, 32},
    {5, &L::Start_Mode},
    {6, &L::Output_Number},
    {7, &L::Max_Power1, Tenths},
    {8, &L::Slew_Rate1, Tenths},
    {9, &L::Sensor1},
    {10, &L::Sensor2},
    {11, &L::Sensor3},
    {12, &L::Sensor4},
    {13, &L::Ramp1_Enabled, 1, 16, true},
    {14, &L::Ramp1_Start, Thousandths, 32},
    {15, &L::Ramp1_Rate, Tenths},
    {16, &L::Ramp1_Time},
    {17, &L::Ramp2_Enabled, 1, 16, true},
    {18, &L::Ramp2_Start, Thousandths, 32},
    {19, &L::Ramp2_Rate, Tenths},
    {20, &L::Ramp2_Time},
    {21, &L::Film_Number},
    {22, &L::Next_Layer},
    {23, &L::CoDep_Layer},
    {24, &L::Layer_Free},
}};

const std::array<WireItem<F>, 28> kFilmItems = {{
    {201, &F::Pterm},
    {202, &F::Iterm, Tenths},
    {203, &F::Dterm, Tenths},
    {204, &F::Material_Index},
    {205, &F::Pocket},
    {206, &F::Tooling},
    {207, &F::Crystal_Quality},
    {208, &F::Crystal_Stability},
    {209, &F::Crystal_Fail},
    {301, &F::Ramp1_Power, Tenths},
    {302, &F::Ramp1_Time},
    {303, &F::Soak1_Time},
    {304, &F::Ramp2_Power, Tenths},
    {305, &F::Ramp2_Time},
    {306, &F::Soak2_Time},
    {307, &F::Idle_Power, Tenths},
    {308, &F::Idle_Ramp_Time},
    {309, &F::Feed_Power, Tenths},
    {310, &F::Feed_Ramp},
    {311, &F::Feed_Time},
    {401, &F::Shutter_Delay},
    {402, &F::Capture, Tenths},
    {403, &F::Control_Error},
    {404, &F::Control_Error_Percent, Tenths},
    {405, &F::Sampling},
    {406, &F::Sample_Accuracy, Tenths},
    {407, &F::Sample_Hold},
    {408, &F::Sample_Time},
}};

// The instrument's numbering, which is not the order of the record's fields.
const std::array<WireItem<S>, SystemItemCount> kSystemItems = {{
    {1, &S::Period, Hundredths},
    {2, &S::System_Tooling},
    {3, &S::Xtool1},
    {4, &S::Xtool2},
    {5, &S::Simulate_Mode},
    {6, &S::Min_Freq, Tenths},
    {7, &S::Max_Freq, Tenths},
    {8, &S::Power_Scale_1, Tenths},
    {9, &S::Power_Scale_2, Tenths},
    {10, &S::Power_Scale_3, Tenths},
    {11, &S::Power_Scale_4, Tenths},
    {12, &S::Xtool3},
    {13, &S::Xtool4},
}};
bool validLayer(int l)
{
    return l >= 1 && l <= MaxLayers;
}
bool validFilm(int f)
{
    return f >= 1 && f <= MaxFilms;
}

const WireItem<F>* filmRow(int item)
{
    return wire::find<F>(kFilmItems, item);
}

} // namespace

std::span<const WireItem<LayerRecord>> LayerItems()
{
    return kLayerItems;
}
std::span<const WireItem<FilmRecord>> FilmItems()
{
    return kFilmItems;
}
std::span<const WireItem<SystemRecord>> SystemItems()
{
    return kSystemItems;
}

qint32 Layer_GetItem(const LayerRecord& layer, int item)
{
    if (item < 1 || item > LayerItemCount)
        return 0;
    return static_cast<qint32>(wire::rawValue(kLayerItems[item - 1], layer));
}

qint32 Layer_GetItem(int layer, int item)
{
    if (!validLayer(layer))
        return 0;
    return Layer_GetItem(Model().LayerTable[layer], item);
}

bool Layer_SetItem(int layer, int item, const QString& text)
{
    if (!validLayer(layer) || item < 1 || item > LayerItemCount)
        return false;
    return wire::decode(kLayerItems[item - 1], Model().LayerTable[layer], text, NumberRule::Strict);
}

QString Film_GetItem(const FilmRecord& film, int item)
{
    if (item == FilmNameItem)
        return film.Film_Name.trimmed();
    if (const auto* r = filmRow(item))
        return QString::number(wire::rawValue(*r, film));
    return {};
}

QString Film_GetItem(int film, int item)
{
    if (!validFilm(film))
        return {};
    return Film_GetItem(Model().FilmTable[film], item);
}

bool Film_SetItem(int film, int item, const QString& text)
{
    if (!validFilm(film))
        return false;
    if (item == FilmNameItem) {
        Model().FilmTable[film].Film_Name = text.trimmed();
        return true;
    }
    const auto* r = filmRow(item);
    return r && wire::decode(*r, Model().FilmTable[film], text, NumberRule::Strict);
}

qint32 System_GetItem(const SystemRecord& rec, int item)
{
    if (item < 1 || item > SystemItemCount)
        return 0;
    return static_cast<qint32>(wire::rawValue(kSystemItems[item - 1], rec));
}

qint32 System_GetItem(int item)
{
    return System_GetItem(Model().SystemParams, item);
}

bool System_SetItem(int item, const QString& text)
{
    if (item < 1 || item > SystemItemCount)
        return false;
    return wire::decode(kSystemItems[item - 1], Model().SystemParams, text, NumberRule::Strict);
}
