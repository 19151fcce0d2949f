// The main window's side of the process window.
#include "app/frmmain.h"

#include "app/runmonitor.h"
#include "link/frmcomm.h"
#include "process/frmprocess.h"
#include "process/processeditor.h"
#include "support/config.h"

#include <QTimer>

class frmMain::ProcessHost final : public ProcessWindowHost {
public:
    explicit ProcessHost(frmMain& w) : w_(w) {}
    void stopUpdates() override { w_.tmrUpdate->stop(); }
    void startUpdates() override { w_.tmrUpdate->start(); }
    void setMainEnabled(bool enabled) override { w_.setEnabled(enabled); }
    void loadProcesses() override { w_.LoadProcesses(); }

private:
    frmMain& w_;
};

void frmMain::mnuEditProcess_Click()
{
    // Owned here and shown modally: the window can only go away once its own
    // event loop has returned, never from inside a transfer it is running.
    // A settings window left open by a failed connect would restart the
    // timer when it closes; it closes first.
    if (commWindow_ && commWindow_->isVisible())
        commWindow_->close();
    ProcessHost host(*this);
    frmProcess window(this, &host);
    window.exec();
    // The window restarts the updates only for a link that is online; a link
    // being healed needs the ticks to come back at all.
    if (Config().AutoReconnect >= 1 && monitor().healer().lost())
        tmrUpdate->start();
}
