// Median load and save of a full parameter file (all 100 processes over all
// 1000 layers, every film and material set), next to the floor: bare SQLite
// reading every row of the same file, and inserting the same rows into a new
// file in one transaction.
#include "store/dbreader.h"
#include "store/dbschema.h"
#include "store/dbupgrade.h"
#include "store/dbwriter.h"
#include "store/model.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

void fillFull(ParameterModel& m)
{
    for (int p = 1; p <= MaxProcesses; ++p) {
        const int first = (p - 1) * 10 + 1;
        ProcessRecord& pr = m.ProcessTable[p];
        pr.Process_Name = QStringLiteral("Run %1").arg(p);
        pr.First_Layer = static_cast<qint16>(first);
        pr.Number_Layers = 9; // a primary with one partner, then eight single layers
        pr.Number_Act_Layers = 10;
        for (int k = 0; k < 10; ++k) {
            LayerRecord& l = m.LayerTable[first + k];
            l.Rate = 1.5 + k;
            l.Final_Thick = 0.25 * (k + 1);
            l.Time_Setpoint = static_cast<qint16>(k);
            l.Film_Number = static_cast<qint16>(1 + (p + k) % 50);
            l.Output_Number = static_cast<qint16>(1 + k % 4);
            l.Ramp1_Enabled = k % 2;
            l.Layer_Free = 0;
            l.Next_Layer = k == 0 || k == 9 ? -1 : static_cast<qint16>(first + k + 1);
            l.CoDep_Layer = k == 0 ? static_cast<qint16>(first + 1) : -1;
        }
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        FilmRecord& r = m.FilmTable[f];
        r.Film_Name = QStringLiteral("Coating %1").arg(f);
        r.Pterm = f;
        r.Iterm = 0.5;
        r.Tooling = 98;
        r.Ramp1_Power = 12.5;
        r.Sample_Time = 7;
    }
    for (int n = 1; n <= MaxMaterials; ++n) {
        m.MaterialTable[n].Material = QStringLiteral("Oxide %1").arg(n);
        m.MaterialTable[n].Density = 2.0 + n / 100.0;
        m.MaterialTable[n].ZFactor = 0.9;
    }
    m.SystemParams.Min_Freq = 5.5;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Sample {
    double wall;
    double cpu;
};

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Wall time (what the operator waits, disk flushes included) and the
// process's CPU time (what the code costs, whatever else the machine runs).
Sample timeMs(const std::function<void()>& f)
{
    QElapsedTimer t;
    const double c0 = cpuMs();
    t.start();
    f();
    return {t.nsecsElapsed() / 1e6, cpuMs() - c0};
}

struct Series {
    std::vector<double> wall, cpu;
    void add(Sample s)
    {
        wall.push_back(s.wall);
        cpu.push_back(s.cpu);
    }
};

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Every row of every table, each column read as its stored type.
void floorRead(const QByteArray& file)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr), db);
    double sink = 0;
    for (const DbTableInfo& t : DbTables()) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = "SELECT * FROM \"" + QByteArray(t.name) + "\"";
        check(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), db);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int n = sqlite3_column_count(st);
            for (int i = 0; i < n; ++i) {
                if (sqlite3_column_type(st, i) == SQLITE_TEXT)
                    sink += sqlite3_column_bytes(st, i) + (sqlite3_column_text(st, i) ? 0 : 1);
                else
                    sink += sqlite3_column_double(st, i);
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    if (sink < 0)
        std::puts("");
}

// The same rows inserted into a new file in one transaction.
void floorWrite(const QByteArray& file, const ParameterModel& m)
{
    QFile::remove(QString::fromLocal8Bit(file));
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    for (const QString& s : DbCreateStatements())
        check(sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, nullptr), db);
    auto insert = [&](const char* sql, int rows, const std::function<void(sqlite3_stmt*, int)>& bind) {
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
        for (int r = 1; r <= rows; ++r) {
            bind(st, r);
            check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    };
    insert("INSERT INTO Processes VALUES (?,?,?,?,?)", 100, [&](sqlite3_stmt* st, int r) {
        const auto& p = m.ProcessTable[r];
        const QByteArray name = p.Process_Name.text().toUtf8();
        sqlite3_bind_int(st, 1, r);
        sqlite3_bind_text(st, 2, name.constData(), name.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, p.First_Layer);
        sqlite3_bind_int(st, 4, p.Number_Layers);
        sqlite3_bind_int(st, 5, p.Number_Act_Layers);
    });
    insert("INSERT INTO Layers VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", 1000,
           [&](sqlite3_stmt* st, int r) {
               const auto& l = m.LayerTable[r];
               int i = 1;
               sqlite3_bind_int(st, i++, r);
               sqlite3_bind_double(st, i++, l.Rate);
               sqlite3_bind_int(st, i++, l.Time_Setpoint);
               sqlite3_bind_double(st, i++, l.Final_Thick);
               sqlite3_bind_double(st, i++, l.Thick_Limit);
               for (int v : {l.Film_Number, l.Start_Mode, l.Next_Layer, l.CoDep_Layer, l.Sensor1, l.Sensor2,
                             l.Sensor3, l.Sensor4, l.Output_Number})
                   sqlite3_bind_int(st, i++, v);
               sqlite3_bind_double(st, i++, l.Max_Power1);
               sqlite3_bind_double(st, i++, l.Slew_Rate1);
               sqlite3_bind_int(st, i++, l.Ramp1_Enabled != 0);
               sqlite3_bind_double(st, i++, l.Ramp1_Start);
               sqlite3_bind_double(st, i++, l.Ramp1_Rate);
               sqlite3_bind_int(st, i++, l.Ramp1_Time);
               sqlite3_bind_int(st, i++, l.Ramp2_Enabled != 0);
               sqlite3_bind_double(st, i++, l.Ramp2_Start);
               sqlite3_bind_double(st, i++, l.Ramp2_Rate);
               sqlite3_bind_int(st, i++, l.Ramp2_Time);
           });
    insert("INSERT INTO Films VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", 50,
           [&](sqlite3_stmt* st, int r) {
               const auto& f = m.FilmTable[r];
               const QByteArray name = f.Film_Name.text().toUtf8();
               sqlite3_bind_int(st, 1, r);
               sqlite3_bind_text(st, 2, name.constData(), name.size(), SQLITE_TRANSIENT);
               int i = 3;
               for (const auto& c : FilmColumns()) {
                   if (c.type == ColType::Text)
                       continue;
                   if (c.type == ColType::Integer)
                       sqlite3_bind_int(st, i++, f.*std::get<qint16 FilmRecord::*>(c.field));
                   else
                       sqlite3_bind_double(st, i++, f.*std::get<double FilmRecord::*>(c.field));
               }
           });
    insert("INSERT INTO Materials VALUES (?,?,?,?)", 100, [&](sqlite3_stmt* st, int r) {
        const auto& x = m.MaterialTable[r];
        const QByteArray name = x.Material.text().toUtf8();
        sqlite3_bind_int(st, 1, r);
        sqlite3_bind_text(st, 2, name.constData(), name.size(), SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 3, x.Density);
        sqlite3_bind_double(st, 4, x.ZFactor);
    });
    insert("INSERT INTO System VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)", 1, [&](sqlite3_stmt* st, int) {
        const auto& s = m.SystemParams;
        int i = 1;
        sqlite3_bind_double(st, i++, s.Period);
        for (int v : {s.System_Tooling, s.Xtool1, s.Xtool2, s.Xtool3, s.Xtool4, s.Simulate_Mode})
            sqlite3_bind_int(st, i++, v);
        for (double v : {s.Min_Freq * 1e6, s.Max_Freq * 1e6, s.Power_Scale_1, s.Power_Scale_2,
                         s.Power_Scale_3, s.Power_Scale_4})
            sqlite3_bind_double(st, i++, v);
    });
    insert("INSERT INTO Inputs VALUES (?,?)", 16, [&](sqlite3_stmt* st, int r) {
        sqlite3_bind_int(st, 1, r);
        sqlite3_bind_int(st, 2, m.InputTable[r - 1].Input_Type);
    });
    insert("INSERT INTO Outputs VALUES (?,?)", 16, [&](sqlite3_stmt* st, int r) {
        sqlite3_bind_int(st, 1, r);
        sqlite3_bind_int(st, 2, m.OutputTable[r - 1].Output_Type);
    });
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Full.mdb"));
    const QByteArray floorFile = QFile::encodeName(dir.filePath(QStringLiteral("Floor.mdb")));
    auto model = std::make_unique<ParameterModel>();
    fillFull(*model);

    Series save, load, fRead, fWrite;
    for (int i = 0; i < runs; ++i) {
        save.add(timeMs([&] {
            if (WriteDatabase(*model, file))
                std::exit(1);
        }));
        fWrite.add(timeMs([&] { floorWrite(floorFile, *model); }));
        load.add(timeMs([&] {
            // As the program opens a file: version check, then the read.
            auto m = std::make_unique<ParameterModel>();
            if (UpgradeDB(file) != UpgradeResult::Current || ReadDatabase(file, *m) || !(*m == *model))
                std::exit(2);
        }));
        fRead.add(timeMs([&] { floorRead(QFile::encodeName(file)); }));
    }
    auto line = [](const char* what, const Series& ours, const Series& floor, const char* floorName) {
        const double w = median(ours.wall), fw = median(floor.wall), c = median(ours.cpu),
                     fc = median(floor.cpu);
        std::printf("%s wall median %7.2f ms  %-26s %7.2f ms  ratio %.2f | cpu median %6.2f ms vs %6.2f ms  "
                    "ratio %.2f\n",
                    what, w, floorName, fw, w / fw, c, fc, c / fc);
    };
    std::printf("runs %d\n", runs);
    line("load", load, fRead, "floor (bare SQLite read)");
    line("save", save, fWrite, "floor (bare SQLite insert)");
    return 0;
}
