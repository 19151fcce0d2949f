#include "editors/frmeditors.h"

// Placeholders until the editor windows are merged: nothing is changed.
bool ShowLayerEditor(QWidget*) { return false; }
bool ShowFilmEditor(QWidget*) { return false; }
bool ShowMaterialEditor(QWidget*) { return false; }
bool ShowSystemEditor(QWidget*) { return false; }
