#ifndef DCX_SUPPORT_WAITGUARD_H
#define DCX_SUPPORT_WAITGUARD_H

#include <QObject>
#include <functional>

// The one rule for code that waits while window events run (the reply wait,
// the connect wait, the timed wait, the few explicit event rounds):
//
//  1. No user input is dispatched inside a wait. Clicks, keys and the window
//     system's close requests stay queued and are delivered after it.
//     RunWaitEvents() is the event round to use; it never dispatches them.
//  2. No deferred deletion runs while a WaitScope is on the stack. A
//     deleteLater() (a window closed with WA_DeleteOnClose, say) made
//     meanwhile is held back and carried out once the outermost scope has
//     ended. Code that may run inside a wait (timer handlers, slots of the
//     link) ends windows with close() or deleteLater(), never with delete.
//
// A window handler that waits and then goes on using the window (a Send
// button that writes the reply into a field, a Find that may show a message
// box afterwards) holds a WaitScope for its whole body:
//
//     void frmX::cmdSend_Click() {
//         const WaitScope waiting;
//         ... Comm_SendCommand(...) ...; txtRcv->setText(...);
//     }
//
// A window whose closing itself does work that must not run inside a wait
// (restarting the main window's timer, writing the INI file) defers it:
//
//     void frmX::closeEvent(QCloseEvent* e) {
//         if (DeferWhileWaiting(this, [this] { close(); })) { e->ignore(); return; }
//         ...ordinary close...
//     }
class WaitScope {
public:
    WaitScope();
    ~WaitScope();
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    bool counted_ = false; // on the application's hold, not the plain count
};

// True while a WaitScope is on the stack; WaitDepth() counts them.
bool WaitActive();
int WaitDepth();

// One round of pending events without user input, inside a WaitScope. With
// waitForMore it sleeps until something arrives (a timer, data, a post).
void RunWaitEvents(bool waitForMore = false);

// While a wait is active: remembers action and returns true; the action runs
// (queued, on context's thread, skipped if context is gone) after the
// outermost WaitScope has ended. Returns false and does nothing otherwise.
bool DeferWhileWaiting(QObject* context, std::function<void()> action);

#endif
