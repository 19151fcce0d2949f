#include "history/runsnapshot.h"

#include "store/model.h"
#include "store/modelfields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>

namespace {

template <typename Record>
QJsonObject fieldsOf(const Record& rec, int number)
{
    QJsonObject o;
    o.insert(QStringLiteral("number"), number);
    for (const FieldSpec<Record>& row : FieldSpecs<Record>())
        o.insert(QLatin1String(row.name), FieldValue(row, rec));
    return o;
}

template <typename Record>
void readFields(const QJsonObject& o, Record& rec)
{
    for (const FieldSpec<Record>& row : FieldSpecs<Record>()) {
        const QJsonValue v = o.value(QLatin1String(row.name));
        if (!v.isDouble())
            continue;
        if (const auto p = std::get_if<double Record::*>(&row.field))
            rec.*(*p) = v.toDouble();
        else
            rec.*std::get<qint16 Record::*>(row.field) = qint16(v.toInt());
    }
}

// The record number of an entry, when it lies in 1..max.
int numberOf(const QJsonValue& v, int max)
{
    const int n = v.toObject().value(QStringLiteral("number")).toInt();
    return n >= 1 && n <= max ? n : 0;
}

} // namespace

QByteArray BuildRunSnapshot(const ParameterModel& model, int process)
{
    QJsonObject root;
    root.insert(QStringLiteral("source"), QStringLiteral("PC"));
    if (process < 1 || process > MaxProcesses)
        return QJsonDocument(root).toJson(QJsonDocument::Compact);
    const ProcessRecord& p = model.ProcessTable[size_t(process)];
    root.insert(QStringLiteral("process"),
                QJsonObject{{QStringLiteral("number"), process},
                            {QStringLiteral("Process_Name"), p.Process_Name.text()},
                            {QStringLiteral("Number_Layers"), p.Number_Layers},
                            {QStringLiteral("First_Layer"), p.First_Layer},
                            {QStringLiteral("Number_Act_Layers"), p.Number_Act_Layers}});
    QJsonArray layers;
    std::set<int> films;
    std::set<int> seen;
    for (const WalkStep& step : WalkProcess(model, process).steps) {
        if (!seen.insert(step.slot).second)
            continue;
        const LayerRecord& l = model.LayerTable[size_t(step.slot)];
        layers.append(fieldsOf(l, step.slot));
        if (l.Film_Number >= 1 && l.Film_Number <= MaxFilms)
            films.insert(l.Film_Number);
    }
    root.insert(QStringLiteral("layers"), layers);
    QJsonArray filmArray;
    std::set<int> materials;
    for (int f : films) {
        const FilmRecord& film = model.FilmTable[size_t(f)];
        QJsonObject o = fieldsOf(film, f);
        o.insert(QStringLiteral("Film_Name"), film.Film_Name.text());
        filmArray.append(o);
        if (film.Material_Index >= 1 && film.Material_Index <= MaxMaterials)
            materials.insert(film.Material_Index);
    }
    root.insert(QStringLiteral("films"), filmArray);
    QJsonArray materialArray;
    for (int m : materials) {
        const MaterialRecord& mat = model.MaterialTable[size_t(m)];
        QJsonObject o = fieldsOf(mat, m);
        o.insert(QStringLiteral("Material"), mat.Material.text());
        materialArray.append(o);
    }
    root.insert(QStringLiteral("materials"), materialArray);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::unique_ptr<ParameterModel> SnapshotModel(const QByteArray& json, int* process)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return nullptr;
    const QJsonObject root = doc.object();
    auto model = std::make_unique<ParameterModel>();
    const QJsonObject p = root.value(QStringLiteral("process")).toObject();
    const int n = numberOf(p, MaxProcesses);
    if (process)
        *process = n;
    if (n > 0) {
        ProcessRecord& rec = model->ProcessTable[size_t(n)];
        rec.Process_Name = p.value(QStringLiteral("Process_Name")).toString();
        rec.Number_Layers = qint16(p.value(QStringLiteral("Number_Layers")).toInt());
        rec.First_Layer = qint16(p.value(QStringLiteral("First_Layer")).toInt(-1));
        rec.Number_Act_Layers = qint16(p.value(QStringLiteral("Number_Act_Layers")).toInt());
    }
    for (const QJsonValue& v : root.value(QStringLiteral("layers")).toArray())
        if (const int k = numberOf(v, MaxLayers))
            readFields(v.toObject(), model->LayerTable[size_t(k)]);
    for (const QJsonValue& v : root.value(QStringLiteral("films")).toArray()) {
        if (const int k = numberOf(v, MaxFilms)) {
            readFields(v.toObject(), model->FilmTable[size_t(k)]);
            model->FilmTable[size_t(k)].Film_Name =
                v.toObject().value(QStringLiteral("Film_Name")).toString();
        }
    }
    for (const QJsonValue& v : root.value(QStringLiteral("materials")).toArray()) {
        if (const int k = numberOf(v, MaxMaterials)) {
            readFields(v.toObject(), model->MaterialTable[size_t(k)]);
            model->MaterialTable[size_t(k)].Material =
                v.toObject().value(QStringLiteral("Material")).toString();
        }
    }
    return model;
}
