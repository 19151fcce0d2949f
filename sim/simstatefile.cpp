#include "sim/simstatefile.h"

#include "sim/simcommands.h"
#include "sim/simmemory.h"
#include "sim/simrun.h"

#include <QFile>
#include <QSaveFile>

namespace {

QByteArray fields(const qint32* values, int count)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += ' ' + QByteArray::number(i) + ',' + QByteArray::number(values[i]);
    return out;
}

QByteArray rightTrimmed(QByteArray s)
{
    while (!s.isEmpty() && s.back() == ' ')
        s.chop(1);
    return s;
}

bool isSetFamily(const QByteArray& line)
{
    static const char* const kFamilies[] = {"C", "D", "A1", "A2", "A3", "A4", "F", "B", "G", "H"};
    for (const char* f : kFamilies)
        if (line.startsWith(f) && !line.mid(qstrlen(f)).contains('?'))
            return true;
    return false;
}

} // namespace

QByteArray SimStateText(const SimMemory& m, int selectedProcess)
{
    QByteArray out = "# dcx700-sim parameter memory\n";
    for (int p = 1; p <= kSimProcesses; ++p) {
        const QByteArray n = QByteArray::number(p);
        const SimProcess& proc = m.process(p);
        out += 'C' + n + " 1," + rightTrimmed(proc.name) + '\n';
        for (int i = kProcessLayers; i <= kProcessActLayers; ++i)
            out += 'C' + n + ' ' + QByteArray::number(i) + ',' + QByteArray::number(proc.item[i]) + '\n';
    }
    for (int l = 1; l <= kSimLayers; ++l)
        out += 'D' + QByteArray::number(l) + ' ' + fields(m.layer(l).item.data(), kLayerItems) + '\n';
    for (int f = 1; f <= kSimFilms; ++f) {
        const QByteArray n = QByteArray::number(f);
        const SimFilm& film = m.film(f);
        out += "A1 " + n + ' ' + film.name.trimmed() + '\n';
        for (int g = 0; g < 3; ++g)
            out += 'A' + QByteArray::number(g + 2) + ' ' + n +
                   fields(film.group[g].data(), kFilmGroupItems[g]) + '\n';
    }
    for (int i = 1; i <= kSimMaterials; ++i) {
        const QByteArray n = QByteArray::number(i);
        const SimMaterial& mat = m.material(i);
        out += 'F' + n + " 1," + rightTrimmed(mat.name) + '\n';
        for (int item = kMaterialDensity; item <= kMaterialZFactor; ++item)
            out += 'F' + n + ' ' + QByteArray::number(item) + ',' + QByteArray::number(mat.item[item]) + '\n';
    }
    out += "B " + fields(m.system().data(), kSystemItems) + '\n';
    out += 'G' + fields(m.inputs().data(), kSimIoPoints) + '\n';
    out += 'H' + fields(m.relays().data(), kSimIoPoints) + '\n';
    out += "T " + QByteArray::number(selectedProcess) + '\n';
    return out;
}

bool ParseSimState(const QByteArray& text, SimMemory& memory, int& selectedProcess, QString* error)
{
    SimMemory scratch;
    SimRun run(scratch, 1);
    SimCommands commands(scratch, run);
    int selected = 1;
    int lineNo = 0;
    for (QByteArray line : text.split('\n')) {
        ++lineNo;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const auto fail = [&](const QString& why) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
            return false;
        };
        if (line.startsWith("T ")) {
            bool ok = false;
            const int p = line.mid(2).trimmed().toInt(&ok);
            if (!ok || p < 1 || p > kSimProcesses)
                return fail(QStringLiteral("bad process number"));
            selected = p;
            continue;
        }
        if (!isSetFamily(line))
            return fail(
                QStringLiteral("not a parameter setting: %1").arg(QString::fromLatin1(line.left(40))));
        const SimReply r = commands.execute(line);
        if (r.status != 'A')
            return fail(QStringLiteral("refused (%1): %2")
                            .arg(QChar::fromLatin1(r.status))
                            .arg(QString::fromLatin1(line.left(40))));
    }
    memory = scratch;
    selectedProcess = selected;
    return true;
}

bool SaveSimState(const QString& path, const SimMemory& memory, int selectedProcess, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(SimStateText(memory, selectedProcess)) < 0 ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool LoadSimState(const QString& path, SimMemory& memory, int& selectedProcess, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return ParseSimState(file.readAll(), memory, selectedProcess, error);
}
