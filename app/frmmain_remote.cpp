// View, "Remote Monitoring": the window's switch for the read-only HTTP face.
// The server itself lives in remote/; the window only turns it on and off,
// shows where it listens and hands it each tick's state.
#include "app/frmmain.h"
#include "app/runmonitor.h"
#include "history/runarchive.h"
#include "history/runhistorywidget.h"
#include "history/runrecorder.h"
#include "remote/archiverunssource.h"
#include "remote/remotemonitoring.h"
#include "remote/remotestate.h"
#include "support/config.h"
#include "support/dialogs.h"

#include <QAction>

void frmMain::StartRemote()
{
    remote_ = std::make_unique<RemoteMonitoring>();
    remoteRuns_ = std::make_unique<ArchiveRunsSource>(RunArchivePath());
    remote_->setRunsSource(remoteRuns_.get());
    QString error;
    if (!remote_->startFromConfig(&error))
        dialogs().message(error, MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Remote Monitoring"));
    ShowRemoteState();
}

void frmMain::mnuViewRemote_Click()
{
    QString error;
    if (!remote_->setOn(!remote_->isOn(), &error))
        dialogs().message(error, MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Remote Monitoring"));
    ShowRemoteState();
    FeedRemote();
}

void frmMain::FeedRemote()
{
    if (!remote_ || !remote_->isOn())
        return;
    RemoteState state = CaptureRemoteState();
    if (Config().AutoReconnect >= 1)
        ApplyLinkHealer(state, monitor().healer());
    const RunRecorder* recorder = runHistory_ ? runHistory_->recorder() : nullptr;
    if (recorder && recorder->currentRun())
        state.runId = QString::number(*recorder->currentRun());
    remote_->feed(state);
}

void frmMain::ShowRemoteState()
{
    // The address sits in the menu's shortcut column while it serves.
    const QString url = remote_->url();
    mnuViewRemote->setChecked(remote_->isOn());
    mnuViewRemote->setText(url.isEmpty() ? QStringLiteral("Remote &Monitoring")
                                         : QStringLiteral("Remote &Monitoring\t") + url);
    mnuViewRemote->setStatusTip(url.isEmpty() ? QString() : QStringLiteral("Serving on ") + url);
}
