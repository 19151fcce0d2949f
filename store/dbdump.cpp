#include "store/dbdump.h"

#include "commands/modcommfilm.h"
#include "commands/modcommlayer.h"
#include "support/modfileutil.h"
#include "support/numbers.h"

#include <QFile>

namespace {

// The film items in the order the dump lists them.
constexpr int kFilmItems[] = {201, 202, 203, 204, 205, 206, 207, 208, 209,
                              301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311,
                              401, 402, 403, 404, 405, 406, 407, 408};

} // namespace

QStringList DumpLines(const ParameterModel& model)
{
    QStringList lines;
    for (int p = 1; p <= MaxProcesses; ++p) {
        const ProcessRecord& r = model.ProcessTable[p];
        lines << QStringLiteral("Process %1, %2,%3,%4,%5")
                     .arg(p)
                     .arg(r.Process_Name.text())
                     .arg(r.First_Layer)
                     .arg(r.Number_Layers)
                     .arg(r.Number_Act_Layers);
    }
    for (int n = 1; n <= 100; ++n) {
        QString line = QStringLiteral("Layer %1, ").arg(n);
        for (int j = 1; j <= 24; ++j)
            line += QStringLiteral(", ") + QString::number(Layer_GetItem(model.LayerTable[n], j));
        lines << line;
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        const FilmRecord& r = model.FilmTable[f];
        QString line = QStringLiteral("Film %1, ").arg(f) + r.Film_Name.text();
        for (int item : kFilmItems)
            line += QStringLiteral(", ") + Film_GetItem(r, item);
        lines << line;
    }
    for (int m = 1; m <= MaxMaterials; ++m) {
        const MaterialRecord& r = model.MaterialTable[m];
        lines << QStringLiteral("Material %1, ").arg(m) + r.Material.text() + QLatin1Char(',')
                     + FormatNumber(r.Density, u"0.00") + QLatin1Char(',') + FormatNumber(r.ZFactor, u"0.000");
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
