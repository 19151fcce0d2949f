#include "store/dbreader.h"

#include "store/dbschema.h"
#include "store/sqlitefile.h"
#include "store/storelogging.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "support/progress.h"

#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

namespace {

// Ends the load from deep inside the reader; never leaves ReadDatabase.
struct ReadFailure {
    DbError error;
    bool fileLevel = false; // the file itself is damaged or unreadable: write nothing
};

struct TableData {
    bool loaded = false;
    bool missing = false;
    ReadFailure failure;
    QHash<QString, int> columns; // lower-case name -> index
    int keyIndex = -1;
    std::vector<int> dataIndex;  // per data column of the layout, -1 when the file lacks it
    int width = 0;               // cells per row
    std::vector<QVariant> cells; // row after row, one allocation for the table
    std::size_t rowCount() const { return width ? cells.size() / width : 0; }
    const QVariant* row(std::size_t r) const { return cells.data() + r * width; }
    std::unordered_map<int, std::size_t> byKey;
};

QString n(int v)
{
    return QString::number(v);
}

// The number a cell holds, without the generic (and slow, locked) variant
// conversion for the types the driver delivers.
std::optional<double> cellNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return static_cast<double>(*static_cast<const qlonglong*>(v.constData()));
    case QMetaType::Double:
        return *static_cast<const double*>(v.constData());
    case QMetaType::Int:
        return *static_cast<const int*>(v.constData());
    case QMetaType::QString:
        return StrictNumber(*static_cast<const QString*>(v.constData()));
    default:
        break;
    }
    bool ok = false;
    const double x = v.toDouble(&ok);
    return ok ? std::optional<double>(x) : std::nullopt;
}

class DbReader {
public:
    DbReader(QSqlDatabase& db, ParameterModel& model) : m_db(db), m_model(model) {}

    void run()
    {
        for (int p = 1; p <= MaxProcesses; ++p)
            readProcess(p);
        for (int l = 1; l <= MaxLayers; ++l) {
            m_key = QStringLiteral("Layer ") + n(l);
            row(DbTable::Layers, l);
        }
        for (int f = 1; f <= MaxFilms; ++f) {
            m_key = QStringLiteral("Film ") + n(f);
            FilmRecord& film = m_model.FilmTable[f];
            readRecord(DbTable::Films, f, FilmColumns(), film);
            progress().setLabel1(QStringLiteral("Reading Film %1:").arg(f));
            progress().setLabel2(film.Film_Name.text());
            progress().setValue(40 + (f * 20) / 50);
        }
        for (int m = 1; m <= MaxMaterials; ++m) {
            m_key = QStringLiteral("Material ") + n(m);
            MaterialRecord& mat = m_model.MaterialTable[m];
            readRecord(DbTable::Materials, m, MaterialColumns(), mat);
            progress().setLabel1(QStringLiteral("Reading Material %1:").arg(m));
            progress().setLabel2(mat.Material.text());
            progress().setValue(60 + (m * 20) / 100);
        }
        readSystem();
        for (int i = 1; i <= 16; ++i) {
            m_key = QStringLiteral("Input ") + n(i);
            readRecord(DbTable::Inputs, i, InputColumns(), m_model.InputTable[i - 1]);
            m_key = QStringLiteral("Output ") + n(i);
            readRecord(DbTable::Outputs, i, OutputColumns(), m_model.OutputTable[i - 1]);
            progress().setLabel1(QStringLiteral("Reading System Params:"));
            progress().setLabel2(QString());
            progress().setValue(79 + i);
        }
    }

private:
    [[noreturn]] void fail(qint32 number, const QString& description, bool fileLevel = false)
    {
        throw ReadFailure{{m_key, number, description}, fileLevel};
    }

    TableData& table(DbTable t)
    {
        TableData& d = m_tables[static_cast<std::size_t>(t)];
        if (!d.loaded)
            load(t, d);
        if (d.missing)
            throw ReadFailure{{m_key, d.failure.error.number, d.failure.error.description},
                              d.failure.fileLevel};
        return d;
    }

    void load(DbTable t, TableData& d)
    {
        d.loaded = true;
        const DbTableInfo& info = DbTableOf(t);
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT * FROM ") + SqlName(QString::fromLatin1(info.name)))) {
            const QString text = SqlErrorText(q.lastError());
            d.missing = true;
            if (text.contains(QLatin1String("no such table"), Qt::CaseInsensitive))
                d.failure = {{{},
                              dberr::NoTable,
                              QStringLiteral("Table '%1' not found").arg(QLatin1String(info.name))},
                             false};
            else
                d.failure = {{{}, SqlErrorNumber(q.lastError()), text}, true};
            return;
        }
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i) {
            const QString name = rec.fieldName(i).toLower();
            if (!d.columns.contains(name))
                d.columns.insert(name, i);
        }
        if (info.key)
            d.keyIndex = d.columns.value(QString::fromLatin1(info.key).toLower(), -1);
        QStringList names = DbColumnNames(t);
        if (info.key)
            names.removeFirst();
        for (const QString& c : names)
            d.dataIndex.push_back(d.columns.value(c.toLower(), -1));
        d.width = rec.count();
        d.cells.reserve(static_cast<std::size_t>(info.rows) * d.width);
        while (q.next()) {
            for (int i = 0; i < d.width; ++i)
                d.cells.push_back(q.value(i));
        }
        if (q.lastError().isValid()) {
            d.missing = true;
            d.failure = {{{}, SqlErrorNumber(q.lastError()), SqlErrorText(q.lastError())}, true};
            return;
        }
        if (d.keyIndex >= 0) {
            for (std::size_t r = 0; r < d.rowCount(); ++r) {
                // Range first: converting a double outside int's range is undefined.
                const auto k = cellNumber(d.row(r)[d.keyIndex]);
                if (k && *k >= std::numeric_limits<int>::min() && *k <= std::numeric_limits<int>::max() &&
                    *k == std::trunc(*k))
                    d.byKey.emplace(static_cast<int>(*k), r); // the first row of a key wins
            }
        }
    }

    int columnIndex(TableData& d, const QString& column)
    {
        const int i = d.columns.value(column.toLower(), -1);
        if (i < 0)
            fail(dberr::NoColumn, QStringLiteral("Column '%1' not found").arg(column));
        return i;
    }

    // The row of a key, created in the file when missing, with the values a
    // new row of that table starts with.
    // Returned as an index: creating rows moves the cells.
    std::size_t row(DbTable t, int key)
    {
        TableData& d = table(t);
        const DbTableInfo& info = DbTableOf(t);
        if (!info.key) {
            if (d.rowCount() == 0)
                addRow(t, d, {}, {});
            return 0;
        }
        if (d.keyIndex < 0)
            fail(dberr::NoColumn, QStringLiteral("Column '%1' not found").arg(QLatin1String(info.key)));
        if (const auto it = d.byKey.find(key); it != d.byKey.end())
            return it->second;

        QStringList cols{QString::fromLatin1(info.key)};
        QVariantList vals{key};
        switch (t) {
        case DbTable::Processes:
            cols << QStringLiteral("First_Layer");
            vals << -1;
            break;
        case DbTable::Films:
            cols << QStringLiteral("Film_Name");
            vals << QStringLiteral("Film ") + n(key);
            break;
        case DbTable::Inputs:
            cols << QStringLiteral("Input Type");
            vals << 46;
            break;
        case DbTable::Outputs:
            cols << QStringLiteral("Output Type");
            vals << 69;
            break;
        default:
            break;
        }
        addRow(t, d, cols, vals);
        d.byKey.emplace(key, d.rowCount() - 1);
        return d.rowCount() - 1;
    }

    // Stores a new row in the file at once and reads it back, so that its
    // columns hold what the file gives a new row (the values set here, the
    // column defaults elsewhere), as a re-run of the query would.
    void addRow(DbTable t, TableData& d, const QStringList& cols, const QVariantList& vals)
    {
        for (const QString& c : cols)
            columnIndex(d, c);
        const QString table = SqlName(QString::fromLatin1(DbTableOf(t).name));
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList names;
            for (const QString& c : cols)
                names << SqlName(c);
            const QStringList marks(cols.size(), QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                  names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) +
                  QLatin1Char(')');
        }
        QSqlQuery ins(m_db);
        bool ok = ins.prepare(sql);
        for (const QVariant& v : vals)
            ins.addBindValue(v);
        ok = ok && ins.exec();
        if (!ok)
            fail(SqlErrorNumber(ins.lastError()), SqlErrorText(ins.lastError()));
        qCDebug(lcStore) << "added missing row" << m_key;
        const QVariant rowid = ins.lastInsertId();
        QSqlQuery back(m_db);
        const std::size_t base = d.cells.size();
        d.cells.resize(base + d.width);
        if (rowid.isValid() &&
            back.prepare(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE rowid = ?"))) {
            back.addBindValue(rowid);
            if (back.exec() && back.next() && back.record().count() == d.width) {
                for (int i = 0; i < d.width; ++i)
                    d.cells[base + i] = back.value(i);
                return;
            }
        }
        // A table without row ids: what was stored, nothing else.
        for (int i = 0; i < cols.size(); ++i)
            d.cells[base + columnIndex(d, cols[i])] = vals[i];
    }

    // Data column number `column` (in layout order) of a row.
    const QVariant& cell(const TableData& d, std::size_t r, std::size_t column, const char* name)
    {
        const int i = d.dataIndex[column];
        if (i < 0)
            fail(dberr::NoColumn, QStringLiteral("Column '%1' not found").arg(QLatin1String(name)));
        return d.row(r)[i];
    }

    double number(const QVariant& v, const char* column)
    {
        if (v.isNull())
            fail(dberr::InvalidNull, QStringLiteral("Invalid use of Null (%1)").arg(QLatin1String(column)));
        const auto x = cellNumber(v);
        if (!x)
            fail(dberr::TypeMismatch, QStringLiteral("Type mismatch (%1)").arg(QLatin1String(column)));
        return *x;
    }

    template <typename R>
    void readColumn(const TableData& d, std::size_t r, std::size_t column, const DbColumn<R>& c, R& rec)
    {
        const QVariant& v = cell(d, r, column, c.name);
        switch (c.type) {
        case ColType::Integer: {
            const auto x = RoundToInt16(number(v, c.name));
            if (!x)
                fail(dberr::Overflow, QStringLiteral("Overflow (%1)").arg(QLatin1String(c.name)));
            rec.*std::get<qint16 R::*>(c.field) = *x;
            break;
        }
        case ColType::Double:
            rec.*std::get<double R::*>(c.field) = number(v, c.name);
            break;
        case ColType::Boolean:
            rec.*std::get<double R::*>(c.field) = (v.isNull() || number(v, c.name) == 0.0) ? 0.0 : 1.0;
            break;
        case ColType::Text:
            if (v.isNull())
                fail(dberr::InvalidNull,
                     QStringLiteral("Invalid use of Null (%1)").arg(QLatin1String(c.name)));
            rec.*std::get<Name16 R::*>(c.field) = v.toString();
            break;
        }
    }

    template <typename R>
    void readRecord(DbTable t, int key, std::span<const DbColumn<R>> cols, R& rec)
    {
        const std::size_t r = row(t, key);
        TableData& d = table(t);
        for (std::size_t i = 0; i < cols.size(); ++i)
            readColumn(d, r, i, cols[i], rec);
    }

    void readProcess(int p)
    {
        m_key = QStringLiteral("Process ") + n(p);
        ProcessRecord& proc = m_model.ProcessTable[p];
        readRecord(DbTable::Processes, p, ProcessColumns(), proc);

        ProcessWalk walk(proc.First_Layer, proc.Number_Act_Layers);
        while (!walk.atEnd()) {
            const WalkStep step = walk.current();
            m_key = QStringLiteral("Process %1 Layer %2").arg(p).arg(step.slot);
            LayerRecord& layer = m_model.LayerTable[step.slot];
            readLayer(proc, step.position, layer, row(DbTable::Layers, step.slot));
            walk.advance(layer.Next_Layer, layer.CoDep_Layer);
        }
        // A link back to a slot already read reads it again: the count ends
        // the walk. Only a link out of the pool breaks it.
        if (walk.error() != WalkError::None) {
            m_key = QStringLiteral("Process %1 Layer %2").arg(p).arg(walk.badSlot());
            fail(dberr::SubscriptRange, QStringLiteral("Subscript out of range"));
        }
        progress().setLabel1(QStringLiteral("Reading Process %1:").arg(p));
        progress().setLabel2(proc.Process_Name.text());
        progress().setValue((p * 40) / 100);
    }

    void readLayer(const ProcessRecord& proc, int position, LayerRecord& layer, std::size_t r)
    {
        TableData& d = table(DbTable::Layers);
        layer.Layer_Free = 0;
        const auto cols = LayerColumns();
        for (std::size_t i = 0; i < cols.size(); ++i) {
            const auto& c = cols[i];
            readColumn(d, r, i, c, layer);
            const auto* f = std::get_if<qint16 LayerRecord::*>(&c.field);
            const auto* g = std::get_if<double LayerRecord::*>(&c.field);
            if (f && *f == &LayerRecord::Film_Number && layer.Film_Number <= 0) {
                // One multi-argument arg(): a name may itself hold "%2".
                dialogs().message(
                    QStringLiteral("Film number error in process %1, Layer %2.\nLayer set to Film 1.")
                        .arg(proc.Process_Name.trimmed(), QString::number(position)),
                    MsgButtons::Ok);
                layer.Film_Number = 1;
            } else if (f && *f == &LayerRecord::Output_Number && layer.Output_Number < 1) {
                layer.Output_Number = 1;
            } else if (g && (*g == &LayerRecord::Max_Power1 || *g == &LayerRecord::Slew_Rate1) &&
                       layer.*(*g) == 0.0) {
                layer.*(*g) = 25.0;
            }
        }
    }

    void readSystem()
    {
        m_key = QStringLiteral("System");
        SystemRecord& s = m_model.SystemParams;
        readRecord(DbTable::System, 0, SystemColumns(), s);
        // Older files hold megahertz, newer ones hertz.
        if (!(s.Min_Freq < 10.0)) {
            s.Min_Freq /= 1000000.0;
            s.Max_Freq /= 1000000.0;
        }
    }

    QSqlDatabase& m_db;
    ParameterModel& m_model;
    QString m_key;
    std::array<TableData, 7> m_tables;
};

} // namespace

std::optional<DbError> ReadDatabase(const QString& fileName, ParameterModel& model)
{
    const SqliteFileState state = CheckSqliteFile(fileName);
    if (state != SqliteFileState::Ok) {
        const qint32 number = state == SqliteFileState::Missing || state == SqliteFileState::Unreadable
                                  ? dberr::FileAccess
                                  : dberr::BadFormat;
        return DbError{{}, number, SqliteFileStateText(state) + QStringLiteral(": ") + fileName};
    }
    // A write-protected file is opened for writing: the load may add rows.
    QFile file(fileName);
    if (!(file.permissions() & QFileDevice::WriteOwner))
        file.setPermissions(file.permissions() | QFileDevice::WriteOwner);

    std::optional<ReadFailure> failure;
    {
        SqliteConnection conn(fileName, SqliteConnection::Mode::ReadWrite);
        if (!conn.isOpen())
            return DbError{{}, SqlErrorNumber(conn.openError()), SqlErrorText(conn.openError())};
        if (!conn.db().transaction())
            return DbError{{}, SqlErrorNumber(conn.db().lastError()), SqlErrorText(conn.db().lastError())};
        DbReader reader(conn.db(), model);
        try {
            reader.run();
        } catch (const ReadFailure& f) {
            failure = f;
        }
        if (failure && failure->fileLevel) {
            conn.db().rollback();
        } else if (!conn.db().commit()) {
            const QSqlError e = conn.db().lastError();
            conn.db().rollback();
            if (!failure)
                failure = ReadFailure{{{}, SqlErrorNumber(e), SqlErrorText(e)}, true};
        }
    }
    if (failure)
        return failure->error;
    return std::nullopt;
}
