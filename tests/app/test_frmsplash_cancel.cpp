// The progress window's Cancel: offered to transfers only, usable while its
// owner is disabled, and a click queued during a transfer stops it at the
// next record boundary.
#include "app/frmsplash.h"
#include "link/inprocesspeer.h"
#include "link/modcomm.h"
#include "process/modtransfer.h"
#include "sim/simpeer.h"
#include "store/model.h"
#include "support/config.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Queues a left click on w, as the window system would while the program is busy.
void postClick(QWidget* w)
{
    const QPointF at = QRectF(w->rect()).center();
    for (auto [type, held] :
         {std::pair(QEvent::MouseButtonPress, Qt::LeftButton), {QEvent::MouseButtonRelease, Qt::NoButton}})
        QCoreApplication::postEvent(
            w, new QMouseEvent(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
}

// The simulator; queues a click on the Cancel button when it sees trigger.
class ClickingPeer : public InProcessPeer {
public:
    ClickingPeer() { connect(&sim, &InProcessPeer::sendToHost, this, &InProcessPeer::sendToHost); }
    void receiveFromHost(const QByteArray& bytes) override
    {
        const QByteArray text = bytes.mid(2, bytes.size() - 4);
        texts << text;
        if (text == trigger)
            postClick(button);
        sim.receiveFromHost(bytes);
    }
    SimPeer sim;
    QByteArray trigger;
    QWidget* button = nullptr;
    QList<QByteArray> texts;
};

TEST(ProgressCancel, OfferedToTransfersAndHonouredBetweenRecords)
{
    QLoggingCategory::setFilterRules(QStringLiteral("dcx.*.debug=false"));
    QWidget owner; // the disabled main window under the process window
    owner.show();
    owner.setEnabled(false);
    QWidget processWindow;
    processWindow.show();
    QApplication::setActiveWindow(&processWindow);
    frmSplash splash(&owner);
    auto* cmdCancel = splash.findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    ASSERT_TRUE(cmdCancel);
    ScopedProgress install(splash);

    progress().show(QStringLiteral("Open Database"));
    EXPECT_FALSE(cmdCancel->isVisible()) << "only transfers offer Cancel";
    progress().hide();

    ClickingPeer peer;
    peer.trigger = "C3? 1";
    peer.button = cmdCancel;
    Comm_ResetLink();
    Comm_UseInProcessPeer(&peer);
    ScriptedDialogs dlg;
    ScopedDialogs useDialogs(dlg);
    Config().UpDnProcesses = 1;
    Config().UpDnMaterials = 1;
    Config().UpDnSystem = 1;
    Model() = ParameterModel{};
    Model().ProcessTable[4].Process_Name = "untouched";

    // Checked from inside the transfer, once the window is up.
    bool usable = false;
    QObject::connect(
        &peer, &InProcessPeer::sendToHost, &splash,
        [&] {
            usable = cmdCancel->isVisible() && cmdCancel->isEnabled() && processWindow.isEnabled() == false;
        },
        Qt::SingleShotConnection);

    QApplication::setActiveWindow(&processWindow);
    dlg.answer(MsgResult::Yes);
    const TransferOutcome out = UploadAll();
    EXPECT_TRUE(usable) << "Cancel can be clicked while the owner and the process window are disabled";
    EXPECT_EQ(out.end, TransferEnd::Stopped) << "end";
    EXPECT_EQ(out.stoppedAt, QString("Process 3")) << "stoppedAt";
    EXPECT_FALSE(peer.texts.contains("C4? 1")) << "C4? 1 sent";
    // Stopped inside process 3, which is left empty.
    EXPECT_EQ(Model().ProcessTable[4].Process_Name, Name16("untouched")) << "ProcessTable[4].Process_Name";
    EXPECT_EQ(Model().ProcessTable[3].First_Layer, -1) << "ProcessTable[3].First_Layer";
    EXPECT_EQ(dlg.texts().last().toStdString(),
              "Upload stopped at Process 3.\nThe records before it were uploaded; Process 3 was left empty.");
    EXPECT_FALSE(splash.isVisible()) << "splash.isVisible";
    EXPECT_TRUE(processWindow.isEnabled()) << "processWindow.isEnabled";

    // The next transfer starts without the old request.
    Config().UpDnProcesses = 0;
    Config().UpDnMaterials = 0;
    dlg.answer(MsgResult::Yes);
    EXPECT_EQ(DownloadAll().end, TransferEnd::Completed);
    Comm_ResetLink();
}

} // namespace

// The process window is modal; the progress window shown over it must be the
// top modal window, or the window system blocks clicks on its Cancel.
TEST(ProgressCancel, ShownOverAModalWindowItTakesTheClicks)
{
    QWidget owner;
    owner.show();
    frmSplash splash(&owner);
    QDialog processWindow(&owner);
    QWidget* topModal = nullptr;
    QTimer::singleShot(0, &processWindow, [&] {
        splash.show(QStringLiteral("Upload from DCX-700"));
        topModal = QApplication::activeModalWidget();
        splash.hide();
        processWindow.reject();
    });
    processWindow.exec();
    EXPECT_EQ(topModal, &splash);
}
