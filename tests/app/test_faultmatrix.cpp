// Every simulator fault during every operation that talks to it: no crash, no
// prompt, the link back once the fault stops, the model unchanged.
#include "app/runmonitor.h"
#include "fakemonitorview.h"
#include "link/modcomm.h"
#include "process/modtransfer.h"
#include "store/model.h"
#include "support/clock.h"
#include "support/config.h"
#include "support/scripteddialogs.h"
#include "tests/common/simfaultcases.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

class FaultMatrix;

struct Operation {
    const char* name;
    void (*run)(FaultMatrix&);                               // from idle, fault on
    void (*checkFaulted)(FaultMatrix&, const SimFaultCase&); // what it left behind
    bool asks = false; // transfers ask first and prompt for a failed record
};

class FaultMatrix : public ::testing::TestWithParam<std::tuple<int, int>> {
public:
    void SetUp() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
        SetDefaultParameters();
        sim.attachClock(&clock);
        auto connection = std::make_unique<SimConnection>(sim);
        link = connection.get();
        Comm_SetTransportOverride(std::move(connection));
        QObject::connect(&sim, &SimInstrument::commandHandled, &sim, [this](const QByteArray& text, char) {
            commands << QString::fromLatin1(text);
            // A late reply is late once: the replies after it come in time.
            if (sim.faults().delayMs() > 0)
                QMetaObject::invokeMethod(
                    &sim, [this] { sim.faults().setDelayMs(0); }, Qt::QueuedConnection);
        });
        QObject::connect(&time, &QTimer::timeout, &clock, [this] { clock.advanceMs(100); });
        time.start(0);
        view.monitor = &monitor;
        ticks(2);
        ASSERT_TRUE(Comm_Online());
        ASSERT_EQ(view.processes.size(), 100);
        reference = view.processes;
        firstName = Model().ProcessTable[1].Process_Name.text();
        commands.clear();
    }
    void TearDown() override
    {
        Comm_ResetLink();
        Config() = AppConfig{};
    }

    void tick()
    {
        clock.advance(0.5);
        monitor.tmrUpdate_Timer();
    }
    void ticks(int n)
    {
        while (n-- > 0)
            tick();
    }
    bool monitoringWorks()
    {
        commands.clear();
        tick();
        return Comm_GetStatus() == linkstatus::Ok && commands.contains(QStringLiteral("V")) &&
               commands.contains(QStringLiteral("K1")) && commands.contains(QStringLiteral("K2"));
    }

    FakeClock clock;
    ScopedClock useClock{clock};
    ScriptedDialogs dialogs;
    ScopedDialogs useDialogs{dialogs};
    QTimer time;
    SimInstrument sim;
    SimConnection* link = nullptr; // owned by the link
    FakeMonitorView view;
    CountingHooks hooks;
    RunMonitor monitor{view, hooks};
    // Runs a transfer of the system family only: Yes to the question, Cancel
    // to a retry prompt; the system record starts as a marker.
    void transferSystem(TransferOutcome (*transfer)())
    {
        Config().UpDnSystem = 1;
        marker = Model().SystemParams;
        marker.Xtool3 = 123;
        Model().SystemParams = marker;
        dialogs.answer(MsgResult::Yes);
        dialogs.answer(MsgResult::Cancel);
        transfer();
        dialogs.answers.clear();
    }

    SystemRecord marker;
    QStringList commands;
    QStringList reference; // the process list without faults
    QString firstName;     // process 1's name in the model before the fault
};

bool refused(LinkStatus s)
{
    return s >= linkstatus::NotReady && s <= linkstatus::ChecksumError;
}

const Operation kOperations[] = {
    {"monitoring", [](FaultMatrix& m) { m.tick(); },
     [](FaultMatrix& m, const SimFaultCase& f) {
         EXPECT_EQ(Comm_GetStatus(), f.status);
         EXPECT_EQ(m.view.phase, QStringLiteral("Stopped"));
     }},
    {"process list", [](FaultMatrix& m) { m.monitor.LoadProcesses(); },
     [](FaultMatrix& m, const SimFaultCase& f) {
         // The first name query fails: a stand-in name, the record kept.
         ASSERT_EQ(m.view.processes.size(), 100);
         if (f.status == linkstatus::Ok)
             return;
         EXPECT_EQ(m.view.processes.value(0), QStringLiteral("1. Process 1"));
         EXPECT_EQ(Model().ProcessTable[1].Process_Name.text(), m.firstName);
         if (QLatin1String(f.name) != QLatin1String("disconnect")) {
             EXPECT_EQ(m.view.processes.mid(1), m.reference.mid(1));
         }
     }},
    // The system step of a transfer (the smallest one) meets the fault; the
    // prompt is cancelled, which skips the inputs and relays.
    {"upload", [](FaultMatrix& m) { m.transferSystem(UploadAll); },
     [](FaultMatrix& m, const SimFaultCase& f) {
         ASSERT_GE(m.dialogs.messages.size(), 1);
         if (f.status != linkstatus::Ok) {
             EXPECT_EQ(m.dialogs.messages.size(), 2) << "one retry prompt for the failed record";
         }
         EXPECT_EQ(m.dialogs.messages[0].text, QStringLiteral("Overwrite this setup with DCX-700 data?"));
         if (m.dialogs.messages.size() > 1) {
             EXPECT_TRUE(m.dialogs.messages[1].text.startsWith(QStringLiteral("Upload error. ")));
             EXPECT_TRUE(m.dialogs.messages[1].text.endsWith(QStringLiteral("\nSysParams Error ")));
             EXPECT_EQ(Model().SystemParams, m.marker) << "a cancelled record is left as it was";
         } else {
             EXPECT_NE(Model().SystemParams, m.marker);
         }
     },
     true},
    {"download", [](FaultMatrix& m) { m.transferSystem(DownloadAll); },
     [](FaultMatrix& m, const SimFaultCase& f) {
         ASSERT_GE(m.dialogs.messages.size(), 1);
         if (f.status != linkstatus::Ok) {
             EXPECT_EQ(m.dialogs.messages.size(), 2) << "one retry prompt for the failed record";
         }
         EXPECT_EQ(m.dialogs.messages[0].text, QStringLiteral("Ovewrite DCX-700 memory with this data?"));
         if (m.dialogs.messages.size() > 1) {
             EXPECT_TRUE(m.dialogs.messages[1].text.startsWith(QStringLiteral("Download error. ")));
             EXPECT_TRUE(m.dialogs.messages[1].text.endsWith(QStringLiteral("\nSysParams Error ")));
         } else {
             EXPECT_EQ(m.sim.memory().system()[kSysXtool3], 123) << "Xtool3 on the instrument";
         }
         EXPECT_EQ(Model().SystemParams, m.marker);
     },
     true},
};

TEST_P(FaultMatrix, RecoversAndKeepsTheModel)
{
    const SimFaultCase& fault = kSimFaultCases[size_t(std::get<0>(GetParam()))];
    const Operation& op = kOperations[std::get<1>(GetParam())];

    fault.start(sim);
    op.run(*this);
    op.checkFaulted(*this, fault);
    // Monitoring and the process list ask the operator nothing about a failed reply.
    if (!op.asks) {
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    }
    dialogs.messages.clear();
    const LinkStatus left = Comm_GetStatus();

    sim.faults().clear();
    if (refused(left)) {
        // The update loop rests until a transaction made elsewhere ends well.
        commands.clear();
        ticks(2);
        EXPECT_TRUE(commands.isEmpty());
        Comm_SendCommand(QStringLiteral("@"));
    }
    bool works = false;
    for (int i = 0; i < 4 && !works; ++i)
        works = monitoringWorks();
    EXPECT_TRUE(works) << "status " << Comm_GetStatus();
    monitor.LoadProcesses();
    EXPECT_EQ(view.processes, reference);
    EXPECT_TRUE(Comm_Online());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix,
                         ::testing::Combine(::testing::Range(0, int(kSimFaultCases.size())),
                                            ::testing::Range(0, int(std::size(kOperations)))),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                             std::string name = std::string(kOperations[std::get<1>(info.param)].name) + "_" +
                                                kSimFaultCases[size_t(std::get<0>(info.param))].name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// A download of processes and films (600 records) meets the fault in the
// middle, at layer 6 of process 40, once or on two replies in a row; each
// retry prompt is answered Retry, and the instrument ends up with all of it.
class FaultMidway : public FaultMatrix {};

TEST_P(FaultMidway, DownloadRetriedReachesTheInstrumentWhole)
{
    const SimFaultCase& fault = kSimFaultCases[size_t(std::get<0>(GetParam()))];
    const int inARow = std::get<1>(GetParam());
    // A retry does not open a closed connection again: every record after it
    // fails (the link's own healing is the place for that).
    if (QLatin1String(fault.name) == QLatin1String("disconnect"))
        GTEST_SKIP() << "a retry does not reconnect";
    ParameterModel& m = Model();
    m.ProcessTable[40] = {Name16("Midway"), 3, 5, 3};
    for (int slot = 5; slot <= 7; ++slot) {
        m.LayerTable[size_t(slot)].Film_Number = 2;
        m.LayerTable[size_t(slot)].Next_Layer = qint16(slot < 7 ? slot + 1 : -1);
        m.LayerTable[size_t(slot)].Time_Setpoint = qint16(100 + slot);
    }
    m.FilmTable[50].Film_Name = "Last";
    Config().UpDnProcesses = 1;
    int hits = 0;
    QObject::connect(&sim, &SimInstrument::commandHandled, &sim, [&](const QByteArray& text, char) {
        if (hits < inARow && (hits > 0 || text.startsWith("D6 "))) {
            ++hits;
            fault.start(sim);
        }
    });
    dialogs.answer(MsgResult::Yes);
    for (int i = 0; i < inARow; ++i)
        dialogs.answer(MsgResult::Retry);
    const TransferOutcome out = DownloadAll();
    EXPECT_EQ(out.skippedRecords, 0);
    // A reply held past its wait answers the retry of the same command.
    const bool late = QLatin1String(fault.name) == QLatin1String("late reply");
    const qsizetype prompts = fault.status == linkstatus::Ok ? 0 : late ? 1 : inARow;
    EXPECT_EQ(dialogs.messages.size(), 1 + prompts) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    for (qsizetype i = 1; i < dialogs.messages.size(); ++i)
        EXPECT_TRUE(dialogs.messages[i].text.startsWith(QStringLiteral("Download error. ") +
                                                        Comm_ErrorText(fault.status)));
    const SimMemory& mem = sim.memory();
    EXPECT_EQ(mem.process(40).name, SimMemory::name16("Midway"));
    EXPECT_EQ(mem.process(40).item[3], 5) << "First_Layer";
    EXPECT_EQ(mem.process(40).item[4], 3) << "Number_Act_Layers";
    for (int slot = 5; slot <= 7; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(mem.layer(slot).item[kLayerTimeSetpoint], 100 + slot);
        EXPECT_EQ(mem.layer(slot).item[kLayerNext], slot < 7 ? slot + 1 : -1);
    }
    EXPECT_EQ(mem.process(41).item[3], -1) << "process 41, after the fault";
    EXPECT_EQ(mem.film(50).name, SimMemory::name16("Last"));
}

INSTANTIATE_TEST_SUITE_P(Download, FaultMidway,
                         ::testing::Combine(::testing::Range(0, int(kSimFaultCases.size())),
                                            ::testing::Values(1, 2)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                             std::string name = kSimFaultCases[size_t(std::get<0>(info.param))].name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + "_x" + std::to_string(std::get<1>(info.param));
                         });

} // namespace
