// Upload and download through the in-process simulator: the round trip, the
// retry prompts and their Cancel rules, the Cancel of the progress window,
// and upload walks over bad layer links from the instrument.
#include "link/inprocesspeer.h"
#include "link/modcomm.h"
#include "process/modelcompare.h"
#include "process/modtransfer.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/config.h"
#include "support/progress.h"
#include "support/scripteddialogs.h"
#include "tests/common/fillfields.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The simulator, recording every command text; a command that starts with one
// of refuse is answered "D" (Bad Data), the first that starts with garble gets
// a reply with a field that is not a number, and onCommand sees each text first.
class TestPeer : public InProcessPeer {
public:
    TestPeer() { connect(&sim, &InProcessPeer::sendToHost, this, &InProcessPeer::sendToHost); }
    void receiveFromHost(const QByteArray& bytes) override
    {
        const QByteArray text = bytes.mid(2, bytes.size() - 4);
        texts << text;
        if (onCommand)
            onCommand(text);
        for (const QByteArray& r : refuse)
            if (text.startsWith(r))
                sim.instrument().faults().answerNext('D', 1);
        if (!garble.isEmpty() && text.startsWith(garble)) {
            sim.instrument().faults().badFieldNext(1);
            garble.clear();
        }
        sim.receiveFromHost(bytes);
    }
    bool sent(const QByteArray& prefix) const
    {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const QByteArray& t) { return t.startsWith(prefix); });
    }
    SimMemory& memory() { return sim.instrument().memory(); }

    SimPeer sim;
    QList<QByteArray> refuse;
    QByteArray garble;
    QList<QByteArray> texts;
    std::function<void(const QByteArray&)> onCommand;
};

// Records the progress window; cancelRequested() as the test sets it.
class TestProgress : public ProgressSink {
public:
    void show(const QString& caption) override
    {
        calls << QStringLiteral("show ") + caption;
        cancel = false;
    }
    void setLabel1(const QString& text) override
    {
        label1 = text;
        cancel = cancel || text == cancelAfterLabel;
    }
    void setLabel2(const QString&) override {}
    void setRange(int low, int high) override { range = QStringLiteral("%1-%2").arg(low).arg(high); }
    void setValue(int v) override { steps << label1 + QString::number(v); }
    void hide() override { calls << QStringLiteral("hide"); }
    void setCancellable(bool on) override
    {
        calls << (on ? QStringLiteral("cancellable") : QStringLiteral("plain"));
    }
    bool cancelRequested() const override { return cancel; }

    QStringList calls;
    QStringList steps; // the first label and the value of each step
    QString label1;
    QString range;
    QString cancelAfterLabel;
    bool cancel = false;
};

// Processes 1..4 on slots 1..10; process 3 is 5, then the group 6 + 7, then 8.
// Every other number holds a value of its own, so a round trip sees each one.
ParameterModel buildModel()
{
    ParameterModel m;
    for (int s = 1; s <= 10; ++s) {
        LayerRecord& l = m.LayerTable[s];
        fillFields(l, s);
        l.Next_Layer = -1;
        l.CoDep_Layer = -1;
        l.Layer_Free = 0;
        l.Rate = (10 + s) / 10.0;
        l.Time_Setpoint = qint16(s);
        l.Film_Number = qint16(s);
    }
    const auto chain = [&m](int p, std::initializer_list<int> ids, int groups) {
        ProcessRecord& pr = m.ProcessTable[p];
        pr.First_Layer = static_cast<qint16>(*ids.begin());
        pr.Number_Layers = static_cast<qint16>(groups);
        pr.Number_Act_Layers = static_cast<qint16>(ids.size());
        for (const int* s = ids.begin(); s + 1 != ids.end(); ++s)
            m.LayerTable[*s].Next_Layer = static_cast<qint16>(s[1]);
    };
    chain(1, {1, 2}, 2);
    chain(2, {3, 4}, 2);
    chain(3, {5, 6, 7, 8}, 3);
    chain(4, {9, 10}, 2);
    m.LayerTable[6].Next_Layer = -1; // 6 and 7: one group
    m.LayerTable[6].CoDep_Layer = 7;
    for (int p = 1; p <= MaxProcesses; ++p)
        m.ProcessTable[p].Process_Name = QStringLiteral("P%1").arg(p);
    for (int f = 1; f <= MaxFilms; ++f) {
        fillFields(m.FilmTable[f], f);
        m.FilmTable[f].Film_Name = QStringLiteral("F%1").arg(f);
    }
    for (int i = 1; i <= MaxMaterials; ++i) { // upload keeps a name's first word only
        fillFields(m.MaterialTable[i], i);
        m.MaterialTable[i].Material = QStringLiteral("M%1").arg(i);
    }
    fillFields(m.SystemParams, 1);
    m.SystemParams.Period = 0.5;
    for (int n = 0; n < 16; ++n) {
        fillFields(m.InputTable[n], n);
        fillFields(m.OutputTable[n], n);
    }
    return m;
}

class Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
        Comm_ResetLink();
        Comm_UseInProcessPeer(&peer);
        families(1, 1, 1);
        Config().DebugDump = 0;
        Model() = buildModel();
    }
    void TearDown() override { Comm_ResetLink(); }

    void families(int processes, int materials, int system)
    {
        Config().UpDnProcesses = processes;
        Config().UpDnMaterials = materials;
        Config().UpDnSystem = system;
    }

    TestPeer peer;
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs{dlg};
    TestProgress prog;
    ScopedProgress useProgress{prog};
};

TEST_F(Transfer, DownloadThenUploadReturnsTheSameModel)
{
    Model().FilmTable[5].Material_Index = 0;
    dlg.answer(MsgResult::Yes);
    const TransferOutcome down = DownloadAll();
    EXPECT_EQ(down.end, TransferEnd::Completed);
    EXPECT_EQ(peer.texts.first(), "E");
    EXPECT_EQ(Model().FilmTable[5].Material_Index, 1) << "material 0 goes as 1, and the model keeps 1";
    EXPECT_EQ(peer.memory().film(5).group[0][4], 1);
    EXPECT_EQ(dlg.texts(), QStringList{"Ovewrite DCX-700 memory with this data?"});
    EXPECT_EQ(prog.calls, (QStringList{"show Download to DCX-700", "cancellable", "hide"}));

    const ParameterModel sent = Model();
    Model() = ParameterModel{};
    dlg.answer(MsgResult::Yes);
    const TransferOutcome up = UploadAll();
    EXPECT_EQ(up.end, TransferEnd::Completed);
    EXPECT_EQ(dlg.texts().last(), "Overwrite this setup with DCX-700 data?");
    EXPECT_TRUE(Model() == sent);
}

TEST_F(Transfer, WithNoFamilyChosenBothOnlyAskShowAndClose)
{
    families(0, 0, 0);
    Config().DebugDump = 1;
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const ParameterModel before = Model();
    for (auto* op : {&UploadAll, &DownloadAll}) {
        dlg.answer(MsgResult::Yes);
        EXPECT_EQ(op().end, TransferEnd::Completed);
        dlg.answer(MsgResult::No);
        EXPECT_EQ(op().end, TransferEnd::Declined);
    }
    EXPECT_TRUE(peer.texts.isEmpty());
    EXPECT_EQ(dlg.messages.size(), 4);
    EXPECT_EQ(prog.calls, (QStringList{"show Upload from DCX-700", "cancellable", "hide",
                                       "show Download to DCX-700", "cancellable", "hide"}));
    EXPECT_TRUE(Model() == before);
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFile::exists(dir.filePath("Upload.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Download.txt")));
}

TEST_F(Transfer, RetryPromptsAndTheirCancelRules)
{
    // A refused command is cancelled; a garbled reply is retried.
    struct Row {
        const char* name;
        bool upload;
        char family; // 'P'rocesses, 'M'aterials or 'S'ystem
        QByteArray refuse;
        bool garble;
        QString record; // the first retry prompt's last line
        QList<QByteArray> notSent;
        int emptied = 0; // the process left empty where it went to
    };
    const Row rows[] = {
        {"SysParams Cancel skips G, H", false, 'S', "B  ", false, "SysParams Error ", {"G ", "H "}},
        {"upload: header Cancel", true, 'P', "C2? 3", false, "Process: 2", {"D3?"}, 2},
        {"upload: material Cancel goes on", true, 'M', "F3? 2", false, "Material: M3              ", {}},
        {"upload: film Cancel goes on", true, 'P', "A3 7?", false, "Film: F7              ", {}},
        {"upload: layer Cancel", true, 'P', "D3?", false, "Process: 2  Layer: 3", {"D4?"}, 2},
        {"download: header Cancel", false, 'P', "C2 1,", false, "Process: 2", {"D3  ", "D4  "}, 2},
        {"download: layer Cancel", false, 'P', "D7  ", false, "Process: 3  Layer: 7", {"D8  "}, 3},
        {"a reply outside the format fails", true, 'P', "D6?", true, "Process: 3  Layer: 6", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        dlg.messages.clear();
        dlg.answers.clear();
        dlg.answer(MsgResult::Yes); // the instrument holds the model first
        DownloadAll();
        peer.texts.clear();
        dlg.messages.clear();
        families(row.family == 'P', row.family == 'M', row.family == 'S');
        if (row.garble)
            peer.garble = row.refuse;
        else
            peer.refuse = {row.refuse};
        dlg.answer(MsgResult::Yes);
        dlg.answer(row.garble ? MsgResult::Retry : MsgResult::Cancel);
        const TransferOutcome out = row.upload ? UploadAll() : DownloadAll();
        peer.refuse.clear();
        EXPECT_EQ(out.skippedRecords, row.garble ? 0 : 1) << "skippedRecords";
        ASSERT_EQ(dlg.messages.size(), 2);
        const QString prompt = row.upload ? "Upload error. Bad Data.\n" : "Download error. Bad Data.\n";
        EXPECT_EQ(dlg.messages[1].text, prompt + row.record);
        EXPECT_EQ(dlg.messages[1].buttons, MsgButtons::RetryCancel) << "buttons";
        for (const QByteArray& t : row.notSent)
            EXPECT_FALSE(peer.sent(t)) << t.constData();

        if (row.emptied == 0)
            continue;
        // Empty where it went to, kept in the model on a download; the next
        // process still comes.
        const int p = row.emptied;
        const ParameterModel sent = buildModel();
        const auto item = [&](int process, int n) {
            const ProcessRecord& r = Model().ProcessTable[process];
            const int fields[] = {0, 0, r.Number_Layers, r.First_Layer, r.Number_Act_Layers};
            return row.upload ? fields[n] : int(peer.memory().process(process).item[n]);
        };
        EXPECT_EQ(item(p, 2), 0) << "Number_Layers";
        EXPECT_EQ(item(p, 3), -1) << "First_Layer";
        EXPECT_EQ(item(p, 4), 0) << "Number_Act_Layers";
        EXPECT_EQ(item(p + 1, 4), sent.ProcessTable[p + 1].Number_Act_Layers) << "the next process";
        if (!row.upload) {
            EXPECT_EQ(Model().ProcessTable[p], sent.ProcessTable[p]) << "the model's process";
        }
    }
}

TEST_F(Transfer, ProgressCancelStopsBetweenRecords)
{
    // Upload: the click is seen after process 2; process 3 on is untouched.
    dlg.answer(MsgResult::Yes);
    DownloadAll();
    Model().ProcessTable[3].Process_Name = "kept";
    prog.cancelAfterLabel = QStringLiteral("Uploading Process 2:");
    dlg.messages.clear();
    dlg.answer(MsgResult::Yes);
    const TransferOutcome up = UploadAll();
    EXPECT_EQ(up.end, TransferEnd::Stopped);
    EXPECT_EQ(up.stoppedAt, "Process 3");
    EXPECT_EQ(Model().ProcessTable[3].Process_Name, Name16("kept"));
    EXPECT_EQ(dlg.texts().last(), "Upload stopped at Process 3.\nThe records before it were uploaded.");
    EXPECT_EQ(prog.calls.last(), "hide");

    // Download: the click arrives while layer 6 is on its way; layer 6 is
    // finished, then the transfer stops and process 3 is left empty there.
    prog.cancelAfterLabel.clear();
    peer.texts.clear();
    peer.onCommand = [this](const QByteArray& t) {
        if (t.startsWith("D6  "))
            prog.cancel = true;
    };
    dlg.answer(MsgResult::Yes);
    const TransferOutcome down = DownloadAll();
    EXPECT_EQ(down.end, TransferEnd::Stopped);
    EXPECT_EQ(down.stoppedAt, "Process 3");
    EXPECT_TRUE(peer.sent("D6  "));
    EXPECT_FALSE(peer.sent("D7  "));
    EXPECT_FALSE(peer.sent("C4 "));
    EXPECT_EQ(peer.memory().process(3).item[3], -1);
    EXPECT_EQ(Model().ProcessTable[3].First_Layer, 5);
    EXPECT_EQ(dlg.texts().last(), "Download stopped at Process 3.\nThe records before it were downloaded; "
                                  "Process 3 was left empty on the DCX-700.");
}

TEST_F(Transfer, ProgressStepsAndStopsInsideAProcessAmongFilmsAndMaterials)
{
    families(1, 1, 1);
    dlg.answer(MsgResult::Yes);
    DownloadAll();
    EXPECT_EQ(prog.range, "0-100") << "range";
    for (const char* step :
         {"Downloading Process 99:39", "Downloading Film 25:50", "Downloading Material 100: 80"})
        EXPECT_TRUE(prog.steps.contains(QLatin1String(step))) << step;
    EXPECT_EQ(prog.steps.last(), "Downloading System Params:100") << "the last step";
    // A click while layer 5 is read stops inside process 3, left empty.
    peer.onCommand = [this](const QByteArray& t) {
        if (t.startsWith("D5?"))
            prog.cancel = true;
    };
    dlg.answer(MsgResult::Yes);
    EXPECT_EQ(UploadAll().stoppedAt, "Process 3");
    EXPECT_EQ(Model().ProcessTable[3].First_Layer, -1) << "First_Layer";
    EXPECT_EQ(dlg.texts().last(),
              "Upload stopped at Process 3.\nThe records before it were uploaded; Process 3 was left empty.");
    peer.onCommand = nullptr;
    prog.cancelAfterLabel = QStringLiteral("Uploading Film 2:");
    dlg.answer(MsgResult::Yes);
    EXPECT_EQ(UploadAll().stoppedAt, "Film 3");
    prog.cancelAfterLabel = QStringLiteral("Uploading Material 2:");
    dlg.answer(MsgResult::Yes);
    EXPECT_EQ(UploadAll().stoppedAt, "Material 3");
}

TEST_F(Transfer, DownloadSendsAProcessWithALoopEmptyAndSaysSo)
{
    Model().LayerTable[4].Next_Layer = 3; // process 2: 3 -> 4 -> 3
    Model().ProcessTable[2].Number_Act_Layers = 3;
    Model().LayerTable[3].Layer_Free = 1;
    dlg.answer(MsgResult::Yes);
    EXPECT_EQ(DownloadAll().skippedRecords, 1) << "skippedRecords";
    EXPECT_EQ(dlg.texts().value(1),
              "Download error. Broken layer link.\nProcess: 2  Layer: 3\nProcess 2 was sent empty.");
    EXPECT_EQ(peer.memory().process(2).item[3], -1) << "First_Layer on the instrument";
    EXPECT_EQ(Model().ProcessTable[2].First_Layer, 3) << "First_Layer in the model";
    EXPECT_EQ(Model().LayerTable[3].Layer_Free, 0) << "a layer sent is taken";
    EXPECT_EQ(peer.memory().process(3).item[3], 5) << "the next process";
}

TEST_F(Transfer, CompareListsTheDifferencesAndChangesNeitherSide)
{
    dlg.answer(MsgResult::Yes);
    DownloadAll();
    Model().LayerTable[6].Rate = 2.5;
    Model().FilmTable[7].Film_Name = "Gold";
    Model().SystemParams.Period = 0.25;
    Working().CurLayer = 3;
    const ParameterModel before = Model();
    dlg.messages.clear();
    peer.texts.clear();
    prog.calls.clear();

    const CompareResult r = CompareWithInstrument(Model());
    EXPECT_EQ(r.differences, (QStringList{"Process 3 Layer 6: Rate 2.5 (PC) vs 1.6 (instrument)",
                                          "Film 7: name \"Gold\" (PC) vs \"F7\" (instrument)",
                                          "System: Period 0.25 (PC) vs 0.5 (instrument)"}));
    EXPECT_TRUE(r.complete());
    EXPECT_TRUE(dlg.messages.isEmpty()) << "the compare asks nothing";
    EXPECT_EQ(prog.calls, (QStringList{"show Compare with DCX-700", "cancellable", "hide"}));
    EXPECT_EQ(Working().CurLayer, 3);
    ASSERT_FALSE(peer.texts.isEmpty());
    for (const QByteArray& t : peer.texts)
        EXPECT_TRUE(t.contains('?')) << "the instrument saw a command that is not a query: " << t.constData();

    // A film read that is given up, then a Cancel in the progress window.
    peer.refuse = {"A3 7?"};
    dlg.answer(MsgResult::Cancel);
    const CompareResult skipped = CompareWithInstrument(Model());
    EXPECT_EQ(skipped.differences, (QStringList{"Process 3 Layer 6: Rate 2.5 (PC) vs 1.6 (instrument)",
                                                "System: Period 0.25 (PC) vs 0.5 (instrument)"}));
    EXPECT_EQ(skipped.notes, QStringList{"Film 7: not read from the instrument."});
    peer.refuse.clear();
    prog.cancelAfterLabel = QStringLiteral("Uploading Process 2:");
    const CompareResult stopped = CompareWithInstrument(Model());
    EXPECT_TRUE(stopped.differences.isEmpty());
    EXPECT_EQ(stopped.notes,
              QStringList{"Compare stopped at Process 3: the records from there on were not compared."});
    EXPECT_EQ(dlg.messages.size(), 1) << "only the retry prompt; a stop is reported in the list";
    EXPECT_TRUE(Model() == before);
}

TEST_F(Transfer, UploadWalksEndOnBadLinksAndLeaveASavableModel)
{
    struct Link {
        int slot, next, coDep;
    };
    struct Row {
        const char* name;
        int first, groups, act;
        QList<Link> links;
        int wantFirst, wantGroups, wantAct;
        QList<int> visited;
        bool countMessage;
    };
    const QList<Link> chain4 = {{30, 31, -1}, {31, 32, -1}, {32, 33, -1}, {33, -1, -1}};
    const Row rows[] = {
        {"next links loop 30 -> 31 -> 30", 30, 2, 2, {{30, 31, -1}, {31, 30, -1}}, 30, 2, 2, {30, 31}, false},
        {"co-deposition links loop", 30, 1, 2, {{30, -1, 31}, {31, -1, 30}}, 30, 1, 2, {30, 31}, false},
        {"a next link past 1000", 30, 2, 2, {{30, 1200, -1}}, 30, 1, 1, {30}, true},
        {"a next link of 0 ends the walk", 30, 2, 2, {{30, 0, -1}}, 30, 1, 1, {30}, true},
        {"a first layer past 1000", 2000, 1, 1, {}, -1, 0, 0, {}, true},
        {"both links: partner followed", 30, 1, 2, {{30, 32, 31}, {31, -1, -1}}, 30, 1, 2, {30, 31}, false},
        {"header counts 5, links reach 4", 30, 4, 5, chain4, 30, 4, 4, {30, 31, 32, 33}, true},
    };
    families(1, 0, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SimMemory& mem = peer.memory();
        mem.eraseProcesses();
        SimProcess& p1 = mem.process(1);
        p1.name = SimMemory::name16("Loop");
        p1.item = {0, 0, row.groups, row.first, row.act};
        for (const Link& l : row.links) {
            auto& item = mem.layer(l.slot).item;
            item[kLayerFilm] = 1;
            item[kLayerNext] = l.next;
            item[kLayerCoDep] = l.coDep;
            item[kLayerFree] = 0;
        }
        Model() = ParameterModel{};
        peer.texts.clear();
        dlg.messages.clear();
        dlg.answer(MsgResult::Yes);
        EXPECT_EQ(UploadAll().end, TransferEnd::Completed);

        const ProcessRecord& pr = Model().ProcessTable[1];
        EXPECT_EQ(pr.First_Layer, row.wantFirst) << "First_Layer";
        EXPECT_EQ(pr.Number_Layers, row.wantGroups) << "Number_Layers";
        EXPECT_EQ(pr.Number_Act_Layers, row.wantAct) << "Number_Act_Layers";
        EXPECT_EQ(dlg.texts().contains("Layer count error in Process Loop corrected."), row.countMessage);
        QList<int> queried;
        for (const QByteArray& t : peer.texts)
            if (t.startsWith('D'))
                queried << t.mid(1, t.indexOf('?') - 1).toInt();
        EXPECT_EQ(queried, row.visited) << "every layer once";
        // What a save and a later load walk: the same layers, no broken link.
        for (int p = 1; p <= MaxProcesses; ++p) {
            const WalkResult walk = WalkProcess(Model(), p);
            ASSERT_TRUE(walk.ok()) << "process " << p;
            QList<int> walked;
            for (const WalkStep& s : walk.steps)
                walked << s.slot;
            EXPECT_TRUE(p != 1 || walked == row.visited) << "process 1's walk";
        }
    }
}

} // namespace
