// The process window offscreen: opening over the main window, the tree
// widget, the arming buttons, the transfer boxes and the closing prompt.
#include "process/frmprocess.h"
#include "tests/app/programhome.h"
#include "tests/process/processfixture.h"

#include "app/frmmain.h"
#include "link/frmcomm.h"
#include "link/modcomm.h"
#include "sim/simpeer.h"
#include "store/moddatabase.h"
#include "store/model.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace proctest;

namespace {

struct FakeHost final : ProcessWindowHost {
    QStringList calls;
    void stopUpdates() override { calls << "stop"; }
    void startUpdates() override { calls << "start"; }
    void setMainEnabled(bool enabled) override { calls << (enabled ? "enable" : "disable"); }
    void loadProcesses() override { calls << "load"; }
};

class ProcessWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        Model() = sampleModel();
        Config().DBFileName = home.filePath("Sample.mdb");
        ASSERT_TRUE(DBSave());
        Model() = ParameterModel();
        Config().UpDnMaterials = 1;
    }
    void TearDown() override { Model() = ParameterModel(); }

    template <class T>
    static T* child(const QObject& w, const QString& name)
    {
        T* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    static void click(frmProcess& w, const char* button) { child<QPushButton>(w, button)->click(); }
    static void clickNode(frmProcess& w, const QString& key)
    {
        QTreeWidgetItem* it = w.item(key);
        ASSERT_NE(it, nullptr) << key.toStdString();
        emit child<QTreeWidget>(w, "TV1")->itemClicked(it, 0);
    }
    static QStringList childTexts(QTreeWidgetItem* it)
    {
        QStringList out;
        for (int i = 0; it && i < it->childCount(); ++i)
            out << it->child(i)->text(0);
        return out;
    }

    ProgramHome home;
    ScriptedDialogs dlg;
    ScopedDialogs scoped{dlg};
    FakeHost host;
};

} // namespace

TEST_F(ProcessWindow, ArmedButtonsActOnTheClickedNode)
{
    frmProcess w(nullptr, &host);
    EXPECT_FALSE(child<QAction>(w, "mnuEditCompare")->isEnabled()); // offline
    const auto armed = [&w](const char* button) { return child<QPushButton>(w, button)->isChecked(); };
    click(w, "cmdInsertLayer");
    EXPECT_TRUE(armed("cmdInsertLayer"));
    click(w, "cmdDeleteLayer"); // another one is armed: nothing
    EXPECT_FALSE(armed("cmdDeleteLayer"));
    clickNode(w, "P2");
    EXPECT_FALSE(armed("cmdInsertLayer"));
    EXPECT_TRUE(w.item("P2")->isExpanded());
    EXPECT_EQ(childTexts(w.item("P2")), QStringList{"Layer 1.1"});
    EXPECT_EQ(Model().ProcessTable[2].First_Layer, 1);

    click(w, "cmdDeleteLayer");
    clickNode(w, "L1,P2");
    EXPECT_EQ(w.item("P2")->childCount(), 0);
    EXPECT_EQ(w.item("L1,P2"), nullptr);
    EXPECT_EQ(Model().ProcessTable[2].First_Layer, -1);

    dlg.answerInput(QStringLiteral("Renamed"));
    clickNode(w, "P4");
    EXPECT_EQ(w.item("P4")->text(0).trimmed(), "Renamed");
}

TEST_F(ProcessWindow, ClosingAsksToSave)
{
    frmProcess w(nullptr, &host);
    w.show();
    // Cancel, then Yes with the save dialog cancelled: the window stays and
    // the main window stays disabled.
    dlg.answer(MsgResult::Cancel);
    dlg.answer(MsgResult::Yes);
    dlg.answerSave(std::nullopt);
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(host.calls, QStringList({"stop", "disable"}));
    EXPECT_EQ(dlg.texts(), QStringList(2, "Save Sample.mdb to disk?"));
    EXPECT_EQ(dlg.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(dlg.fileRequests.value(0).filter, "DB Files (*.mdb)|*.mdb");
    EXPECT_EQ(dlg.fileRequests.value(0).defaultExt, "mdb");

    // Yes with a file: saved there, main window enabled; offline, the timer stays off.
    Model().ProcessTable[5].Process_Name = "Changed";
    dlg.answer(MsgResult::Yes);
    dlg.answerSave(home.filePath("Saved.mdb"));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(host.calls, QStringList({"stop", "disable", "enable"}));
    EXPECT_EQ(Config().DBFileName, home.filePath("Saved.mdb"));
    Model() = ParameterModel();
    ASSERT_TRUE(DBOpen());
    EXPECT_EQ(Model().ProcessTable[5].Process_Name.trimmed(), "Changed");
}

TEST_F(ProcessWindow, OnlineCloseRestartsTheMainWindowAndReloadsAfterADownload)
{
    SimPeer peer;
    Comm_UseInProcessPeer(&peer);
    ASSERT_TRUE(Comm_Connect());
    for (const bool downloaded : {false, true}) {
        SCOPED_TRACE(downloaded);
        host.calls.clear();
        frmProcess w(nullptr, &host);
        EXPECT_TRUE(child<QPushButton>(w, "cmdDownload")->isEnabled());
        EXPECT_TRUE(child<QAction>(w, "mnuEditCompare")->isEnabled());
        w.editor().setDownloadDone(downloaded);
        dlg.answer(MsgResult::No);
        EXPECT_TRUE(w.close());
        EXPECT_EQ(host.calls, downloaded ? QStringList({"stop", "disable", "enable", "load", "start"})
                                         : QStringList({"stop", "disable", "enable", "start"}));
    }
    Comm_ResetLink();
}

TEST_F(ProcessWindow, FileMenuOpensAndSavesDatabases)
{
    frmProcess w(nullptr, &host);
    // Save As: the model under another name, which the caption then shows.
    Model().ProcessTable[7].Process_Name = "Saved";
    dlg.answerSave(home.filePath("Copy.mdb"));
    child<QAction>(w, "mnuFileSave")->trigger();
    EXPECT_EQ(w.windowTitle(), "DCX-700 - [Copy.mdb]");

    // Open, answered No: the file is chosen, the window keeps its data.
    dlg.answerOpen(home.filePath("Sample.mdb"));
    dlg.answer(MsgResult::No);
    child<QAction>(w, "mnuFileOpen")->trigger();
    EXPECT_EQ(Config().DBFileName, home.filePath("Sample.mdb"));
    EXPECT_EQ(Model().ProcessTable[7].Process_Name.trimmed(), "Saved");
    // Yes: read into the window, from the defaults: a slot that only the
    // model before used is free again.
    dlg.answerOpen(home.filePath("Copy.mdb"));
    dlg.answer(MsgResult::Yes);
    Model().ProcessTable[7].Process_Name = "Unsaved";
    Model().LayerTable[500].Film_Number = 2;
    child<QAction>(w, "mnuFileOpen")->trigger();
    EXPECT_EQ(w.item("P7")->text(0).trimmed(), "Saved");
    EXPECT_EQ(dlg.texts().value(1), "Ovewrite this form with disk data?");
    EXPECT_TRUE(IsLayerFree(Model().LayerTable[500])) << "slot 500";

    dlg.answer(MsgResult::No);
}

// The picture in the README, on a set like the simulator's demo processes.
// With DCX_SCREENSHOT set to a file name the picture is saved there.
TEST_F(ProcessWindow, Screenshot)
{
    ParameterModel& m = Model();
    m = ParameterModel();
    const char* films[] = {"Aluminum", "Chromium", "Gold", "Titanium", "SiO2", "TiO2", "Nickel", "Copper"};
    for (int f = 1; f <= 8; ++f)
        m.FilmTable[size_t(f)].Film_Name = films[f - 1];
    link(m, 1, "Al Mirror", 1, 2, 2, {{1, 2, 2, -1, 2}, {2, 1, -1, -1, 1}});
    link(m, 2, "AR 4-Layer", 3, 4, 4,
         {{3, 6, 4, -1, 3}, {4, 5, 5, -1, 4}, {5, 6, 6, -1, 3}, {6, 5, -1, -1, 4}});
    link(m, 3, "Au Contact", 7, 2, 2, {{7, 4, 8, -1, 2}, {8, 3, -1, -1, 3}});
    link(m, 4, "NiCr CoDep", 9, 2, 3, {{9, 7, -1, 10, 1}, {10, 2, 11, -1, 2}, {11, 3, -1, -1, 3}});
    link(m, 5, "Cu Seed", 12, 2, 2, {{12, 4, 13, -1, 2}, {13, 8, -1, -1, 1}});
    Config().DBFileName = home.filePath("DCX700.mdb");
    ASSERT_TRUE(DBSave());

    frmProcess w(nullptr, &host);
    w.resize(560, 520);
    w.show();
    for (const char* key : {"P2", "P4", "L9,P4", "L10,P4"})
        w.item(key)->setExpanded(true);
    click(w, "cmdInsertLayer");
    QApplication::processEvents();
    EXPECT_TRUE(child<QPushButton>(w, "cmdInsertLayer")->isChecked());
    EXPECT_EQ(childTexts(w.item("P4")), QStringList({"Layer 1.1", "->Layer 1.2", "Layer 2"}));
    const QImage shot = w.grab().toImage();
    const QString out = qEnvironmentVariable("DCX_SCREENSHOT");
    if (!out.isEmpty()) {
        EXPECT_TRUE(shot.save(out, "PNG")) << out.toStdString();
    }
    dlg.answer(MsgResult::No);
}
