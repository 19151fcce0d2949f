// A full download and a full upload (every process, all 1000 layers, films,
// materials, system) against dcx700-sim on a loopback TCP port.
//
//   bench_transfer [--runs N] [--baud N]
//
// Without --baud: N runs (default 5) of each at full speed, their median, the
// cost per transaction next to the round trip of a bare "V" to the same
// simulator. With --baud: one run of each (default) over the paced line, next
// to the wire-time floor: the frame bytes both ways x 10 bits / baud.
#include "link/inprocesspeer.h"
#include "link/modcomm.h"
#include "process/modtransfer.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// 100 processes of 10 layers over all 1000 slots: eight single-layer groups
// and one group of two, as in the store benchmark.
ParameterModel fullModel()
{
    ParameterModel m;
    for (int p = 1; p <= MaxProcesses; ++p) {
        const int base = (p - 1) * 10 + 1;
        ProcessRecord& pr = m.ProcessTable[p];
        pr.Process_Name = QStringLiteral("Process%1").arg(p);
        pr.First_Layer = static_cast<qint16>(base);
        pr.Number_Layers = 9;
        pr.Number_Act_Layers = 10;
        for (int i = 0; i < 10; ++i) {
            const int s = base + i;
            LayerRecord& l = m.LayerTable[s];
            l.Rate = (10 + s % 90) / 10.0;
            l.Final_Thick = (1000 + s) / 1000.0;
            l.Time_Setpoint = static_cast<qint16>(s % 5000);
            l.Thick_Limit = (500 + s) / 1000.0;
            l.Output_Number = static_cast<qint16>(1 + s % 4);
            l.Film_Number = static_cast<qint16>(1 + s % 50);
            l.Layer_Free = 0;
            l.Next_Layer = static_cast<qint16>(i < 9 && i != 4 ? s + 1 : -1);
        }
        m.LayerTable[base + 4].CoDep_Layer = static_cast<qint16>(base + 5); // 5th and 6th: one group
    }
    for (int f = 1; f <= MaxFilms; ++f) {
        FilmRecord& r = m.FilmTable[f];
        r.Film_Name = QStringLiteral("Film%1").arg(f);
        r.Pterm = 100 + f;
        r.Iterm = f / 10.0;
        r.Material_Index = static_cast<qint16>(1 + f);
        r.Tooling = static_cast<qint16>(50 + f);
        r.Ramp1_Power = (f + 10) / 10.0;
        r.Shutter_Delay = static_cast<qint16>(f);
    }
    for (int i = 1; i <= MaxMaterials; ++i) {
        m.MaterialTable[i].Material = QStringLiteral("Mat%1").arg(i);
        m.MaterialTable[i].Density = (100 + 17 * i) / 100.0;
        m.MaterialTable[i].ZFactor = (200 + 31 * i) / 1000.0;
    }
    m.SystemParams.Period = 0.5;
    for (int n = 0; n < 16; ++n) {
        m.InputTable[n].Input_Type = static_cast<qint16>(2 + n);
        m.OutputTable[n].Output_Type = static_cast<qint16>(30 + n);
    }
    return m;
}

// The in-process simulator, counting frames and bytes both ways.
class CountingPeer : public InProcessPeer {
public:
    CountingPeer()
    {
        connect(&sim, &InProcessPeer::sendToHost, this, [this](const QByteArray& b) {
            bytesIn += b.size();
            emit sendToHost(b);
        });
    }
    void receiveFromHost(const QByteArray& bytes) override
    {
        ++frames;
        bytesOut += bytes.size();
        sim.receiveFromHost(bytes);
    }
    SimPeer sim;
    qint64 frames = 0, bytesOut = 0, bytesIn = 0;
};

struct Traffic {
    qint64 transactions = 0, bytes = 0;
};

ScriptedDialogs& dlg()
{
    static ScriptedDialogs d;
    return d;
}

double cpuSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// The program's own CPU time of the last timed() call.
double g_lastCpu = 0;

double timed(TransferOutcome (*op)())
{
    dlg().answer(MsgResult::Yes);
    QElapsedTimer t;
    const double cpu0 = cpuSeconds();
    t.start();
    const TransferOutcome out = op();
    const double s = t.nsecsElapsed() / 1e9;
    g_lastCpu = cpuSeconds() - cpu0;
    if (out.end != TransferEnd::Completed || out.skippedRecords != 0 || dlg().messages.size() != 1) {
        std::fprintf(stderr, "transfer did not complete cleanly:\n%s\n",
                     qPrintable(dlg().texts().join('\n')));
        std::exit(1);
    }
    dlg().messages.clear();
    return s;
}

// Traffic of one download and one upload, measured in-process.
std::pair<Traffic, Traffic> countTraffic(const ParameterModel& model)
{
    CountingPeer peer;
    Comm_UseInProcessPeer(&peer);
    Model() = model;
    timed(&DownloadAll);
    const Traffic down{peer.frames, peer.bytesOut + peer.bytesIn};
    peer.frames = peer.bytesOut = peer.bytesIn = 0;
    Model() = ParameterModel{};
    timed(&UploadAll);
    const Traffic up{peer.frames, peer.bytesOut + peer.bytesIn};
    Comm_ResetLink();
    return {down, up};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
    int runs = 0;
    int baud = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--baud"))
            baud = args[i + 1].toInt();
    }
    if (runs <= 0)
        runs = baud ? 1 : 5;
    ScopedDialogs useDialogs(dlg());
    Config().UpDnProcesses = Config().UpDnMaterials = Config().UpDnSystem = 1;
    Config().DebugDump = 0;

    const ParameterModel model = fullModel();
    const auto [down, up] = countTraffic(model);

    QProcess sim;
    QStringList simArgs{QStringLiteral("--port"), QStringLiteral("0")};
    if (baud)
        simArgs << QStringLiteral("--baud") << QString::number(baud);
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/dcx700-sim"), simArgs);
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "dcx700-sim did not start\n");
        return 1;
    }
    const auto match = QRegularExpression(QStringLiteral("listening on 127.0.0.1:(\\d+)"))
                           .match(QString::fromLatin1(sim.readLine()));
    if (!match.hasMatch())
        return 1;
    Config().CommType = 2;
    Config().EAddress = QStringLiteral("127.0.0.1");
    Config().EPort = match.captured(1);
    if (!Comm_Connect()) {
        std::fprintf(stderr, "no connection to the simulator\n");
        return 1;
    }

    std::vector<double> pingUs;
    if (!baud) {
        for (int i = 0; i < 2100; ++i) {
            QElapsedTimer t;
            t.start();
            Comm_SendCommand(QStringLiteral("V"));
            if (i >= 100)
                pingUs.push_back(t.nsecsElapsed() / 1e3);
        }
    }
    std::vector<double> downS, upS, downCpu, upCpu;
    for (int r = 0; r < runs; ++r) {
        Model() = model;
        downS.push_back(timed(&DownloadAll));
        downCpu.push_back(g_lastCpu);
        Model() = ParameterModel{};
        upS.push_back(timed(&UploadAll));
        upCpu.push_back(g_lastCpu);
        if (!(Model().LayerTable == model.LayerTable && Model().ProcessTable == model.ProcessTable)) {
            std::fprintf(stderr, "the upload did not return the downloaded processes\n");
            return 1;
        }
    }
    Comm_CloseTransports();
    sim.terminate();
    sim.waitForFinished(3000);

    std::printf(
        "transactions: download %lld, upload %lld; frame bytes both ways: download %lld, upload %lld\n",
        static_cast<long long>(down.transactions), static_cast<long long>(up.transactions),
        static_cast<long long>(down.bytes), static_cast<long long>(up.bytes));
    bool ok = true;
    const auto report = [&](const char* what, const std::vector<double>& s, const std::vector<double>& cpu,
                            const Traffic& t) {
        const double m = median(s);
        std::printf("%-8s program CPU %.1f us per transaction\n", what, median(cpu) * 1e6 / t.transactions);
        if (baud) {
            const double floor = t.bytes * 10.0 / baud;
            std::printf("%-8s %8.2f s  floor %8.2f s  ratio %.3f (goal 1.15)\n", what, m, floor, m / floor);
            ok = ok && m / floor <= 1.15;
        } else {
            const double per = m * 1e6 / t.transactions;
            const double ping = median(pingUs);
            std::printf("%-8s %8.3f s  (goal 0.25)  %6.1f us per transaction, \"V\" round trip %5.1f us, "
                        "ratio %.2f (goal 1.5)\n",
                        what, m, per, ping, per / ping);
            ok = ok && m < 0.25 && per / ping <= 1.5;
        }
    };
    std::printf("%d run(s)%s, median:\n", runs,
                baud ? qPrintable(QStringLiteral(" at %1 baud").arg(baud)) : "");
    report("download", downS, downCpu, down);
    report("upload", upS, upCpu, up);
    return ok ? 0 : 2;
}
