#include "process/designimport.h"

#include "store/model.h"
#include "support/dialogs.h"
#include "support/errhandler.h"
#include "support/modfileutil.h"
#include "support/modstrings.h"
#include "support/numbers.h"

#include <QFile>

namespace {

constexpr qint32 ErrFileNotFound = 53;
constexpr qint32 ErrTypeMismatch = 13;

// One line of the file without its line end; UTF-8 when it is valid, else
// the single-byte text design programs on Windows write.
QString decodeLine(QByteArray bytes)
{
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString utf8 = QString::fromUtf8(bytes);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : utf8;
}

// The file-name part up to its first ".".
QString processNameFor(const QString& fileName)
{
    const QString name = GetNamePart(fileName);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

int matchingFilm(const ParameterModel& model, const QString& material)
{
    const QString wanted = material.trimmed().toUpper();
    for (int f = 1; f <= MaxFilms; ++f)
        if (model.FilmTable[size_t(f)].Film_Name.text().trimmed().toUpper() == wanted)
            return f;
    return 0;
}

int emptyFilm(const ParameterModel& model)
{
    for (int f = 1; f <= MaxFilms; ++f)
        if (model.FilmTable[size_t(f)].Film_Name.text().trimmed() == QLatin1String("<Empty>"))
            return f;
    return 0;
}

} // namespace

ImportOutcome ImportMacleod(ParameterModel& model, const QString& fileName, bool showFinalMessage)
{
    ProcedureScope scope(QStringLiteral("frmProcess_ImportMacleod"));
    ImportOutcome out;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ErrHandler().HandleError(ErrFileNotFound, fileName + QStringLiteral(": ") + file.errorString());
        return out;
    }

    // Lines may end in CR LF, LF or a lone CR (older design programs on other
    // systems); a line end after the last line does not start another line.
    QByteArray text = file.readAll();
    text.replace("\r\n", "\n").replace('\r', '\n');
    if (text.endsWith('\n'))
        text.chop(1);
    // A design without layers would make a process of none, which the
    // instrument cannot run: said, and nothing taken.
    if ((text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text).trimmed().isEmpty()) {
        dialogs().message(QStringLiteral("The design ") + GetNamePart(fileName) +
                          QStringLiteral(" has no layers.\nNothing was imported."));
        out.end = ImportEnd::NoLayers;
        return out;
    }

    int process = 0;
    for (int p = 1; p <= MaxProcesses && !process; ++p)
        if (model.ProcessTable[size_t(p)].First_Layer < 0)
            process = p;
    if (!process) {
        dialogs().message(
            QStringLiteral("No available processes.\n"
                           "Delete all layers in an existing process or open another database."));
        out.end = ImportEnd::NoProcess;
        return out;
    }
    out.process = process;
    ProcessRecord& pr = model.ProcessTable[size_t(process)];

    const QList<QByteArray> lines = text.split('\n');

    int prev = 0;
    for (const QByteArray& raw : lines) {
        const QString line = decodeLine(raw);
        ++out.line;
        // The thickness is checked before anything is changed, so a bad line
        // leaves neither a linked nor a taken slot behind.
        const std::optional<double> thickness = StrictNumber(GetDelimitedWord(line, 3, QStringLiteral(",")));
        if (!thickness) {
            ErrHandler().HandleError(
                ErrTypeMismatch,
                QStringLiteral("Type mismatch: the thickness on line %1 of %2 is not a number.")
                    .arg(out.line)
                    .arg(GetNamePart(fileName)),
                out.line);
            out.end = ImportEnd::BadLine;
            return out;
        }
        const int slot = FindFreeLayer(model);
        if (slot < 1 || slot > MaxLayers) {
            dialogs().message(
                QStringLiteral("No more available layers.  Process truncated.\n"
                               "Delete layers in an existing proces or open another database."));
            out.end = ImportEnd::Truncated;
            return out;
        }
        const QString material = GetDelimitedWord(line, 4, QStringLiteral(","));
        int film = matchingFilm(model, material);
        if (!film) {
            film = emptyFilm(model);
            if (film) {
                Name16& name = model.FilmTable[size_t(film)].Film_Name;
                name = material.trimmed();
                dialogs().message(QStringLiteral("No film matching ") + name.text().trimmed() +
                                  QStringLiteral(" exists in database.\n"
                                                 "Use Edit Films to setup the proper parameters."));
            }
        }
        if (!film) {
            dialogs().message(QStringLiteral("No available film.  Process truncated.\n"
                                             "Rename an existing film or open another database."));
            out.end = ImportEnd::Truncated;
            return out;
        }
        if (prev == 0) {
            pr.First_Layer = qint16(slot);
            pr.Process_Name = processNameFor(fileName);
        } else {
            model.LayerTable[size_t(prev)].Next_Layer = qint16(slot);
        }
        LayerRecord& layer = model.LayerTable[size_t(slot)];
        layer.Layer_Free = 0;
        layer.Final_Thick = *thickness;
        layer.Film_Number = qint16(film);
        layer.Max_Power1 = 99.9;
        layer.Slew_Rate1 = 99.9;
        ++pr.Number_Layers;
        ++pr.Number_Act_Layers;
        prev = slot;
        ++out.count;
    }
    out.line = 0;
    out.end = ImportEnd::Imported;
    out.finalMessage =
        QStringLiteral("Process '") + pr.Process_Name.text().trimmed() +
        QStringLiteral("' imported with %1 layers.\n").arg(out.count) +
        QStringLiteral("Edit each layer to set the desposition rate.  New Films also need editing.");
    if (showFinalMessage)
        dialogs().message(out.finalMessage);
    return out;
}
