#ifndef DCX_EDITORS_FRMEDITORS_H
#define DCX_EDITORS_FRMEDITORS_H
class QWidget;
// Each shows its editor window modally over parent, on the record the working
// globals name (Working().CurProcess/CurLayer for the layer editor,
// Working().CurFilm for the film editor). Returns true when OK stored changes.
bool ShowLayerEditor(QWidget* parent);
bool ShowFilmEditor(QWidget* parent);
bool ShowMaterialEditor(QWidget* parent);
bool ShowSystemEditor(QWidget* parent);
#endif
