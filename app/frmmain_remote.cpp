// View, "Remote Monitoring": the window's switch for the read-only HTTP face.
// The server itself lives in remote/; the window only turns it on and off,
// shows where it listens and hands it each tick's state.
#include "app/frmmain.h"
#include "remote/remotemonitoring.h"
#include "remote/remotestate.h"
#include "support/dialogs.h"

#include <QAction>

void frmMain::StartRemote()
{
    remote_ = std::make_unique<RemoteMonitoring>();
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
    if (remote_ && remote_->isOn())
        remote_->feed(CaptureRemoteState());
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
