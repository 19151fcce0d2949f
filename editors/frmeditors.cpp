#include "editors/frmeditors.h"

#include "editors/frmfilm.h"
#include "editors/frmlayer.h"
#include "editors/frmmaterial.h"
#include "editors/frmsystem.h"
#include "store/model.h"

// Each editor runs as a modal dialog owned on this stack; the answer says
// whether the tables it edits differ afterwards.

bool ShowLayerEditor(QWidget* parent)
{
    const int layer = Working().CurLayer;
    if (layer < 1 || layer > MaxLayers)
        return false;
    const LayerRecord before = Model().LayerTable[size_t(layer)];
    frmLayer form(parent);
    form.exec();
    return !(Model().LayerTable[size_t(layer)] == before);
}

bool ShowFilmEditor(QWidget* parent)
{
    const auto before = Model().FilmTable;
    frmFilm form(parent);
    form.exec();
    return !(Model().FilmTable == before);
}
bool ShowMaterialEditor(QWidget* parent)
{
    const auto before = Model().MaterialTable;
    frmMaterial form(parent);
    form.exec();
    return !(Model().MaterialTable == before);
}
bool ShowSystemEditor(QWidget* parent)
{
    const ParameterModel& m = Model();
    const SystemRecord system = m.SystemParams;
    const auto inputs = m.InputTable;
    const auto relays = m.OutputTable;
    frmSystem form(parent);
    form.exec();
    return !(m.SystemParams == system && m.InputTable == inputs && m.OutputTable == relays);
}
