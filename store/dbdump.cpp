#include "store/dbdump.h"

#include "store/modelitems.h"
#include "support/modfileutil.h"
#include "support/numbers.h"

#include <QFile>

QStringList DumpLines(const ParameterModel& model)
{
    QStringList lines;
    for (int p = 1; p <= MaxProcesses; ++p) {
        const ProcessRecord& r = model.ProcessTable[p];
        // Concatenated: a name may hold "%1".
        lines << QStringLiteral("Process ") + QString::number(p) + QStringLiteral(", ") +
                     r.Process_Name.text() + QLatin1Char(',') + QString::number(r.First_Layer) +
                     QLatin1Char(',') + QString::number(r.Number_Layers) + QLatin1Char(',') +
                     QString::number(r.Number_Act_Layers);
    }
    for (int n = 1; n <= 100; ++n) {
        QString line = QStringLiteral("Layer ") + QString::number(n) + QStringLiteral(", ");
        for (int j = 1; j <= LayerItemCount; ++j)
            line += QStringLiteral(", ") + QString::number(Layer_GetItem(model.LayerTable[n], j));
        lines << line;
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        const FilmRecord& r = model.FilmTable[f];
        QString line =
            QStringLiteral("Film ") + QString::number(f) + QStringLiteral(", ") + r.Film_Name.text();
        // 201..209, 301..311, 401..408: the table's order.
        for (const auto& row : FilmItems())
            line += QStringLiteral(", ") + Film_GetItem(r, row.item);
        lines << line;
    }
    for (int m = 1; m <= MaxMaterials; ++m) {
        const MaterialRecord& r = model.MaterialTable[m];
        lines << QStringLiteral("Material ") + QString::number(m) + QStringLiteral(", ") + r.Material.text() +
                     QLatin1Char(',') + FormatNumber(r.Density, u"0.00") + QLatin1Char(',') +
                     FormatNumber(r.ZFactor, u"0.000");
    }
    return lines;
}

void DumpParameters(const QString& fileName, const ParameterModel& model)
{
    KillFile(fileName);
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        return;
    const QStringList lines = DumpLines(model);
    QByteArray out;
    for (const QString& l : lines)
        out += l.toLatin1() + "\r\n";
    f.write(out);
}

void DumpParameters(const QString& fileName)
{
    DumpParameters(fileName, Model());
}
