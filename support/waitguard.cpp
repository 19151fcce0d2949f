#include "support/waitguard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <utility>
#include <vector>

namespace {

// Holds back deferred deletions while a wait is on the stack. Installed on
// the application once; it looks at one event type only.
class DeleteHold final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::DeferredDelete || depth == 0)
            return false;
        held.emplace_back(watched);
        return true;
    }

    int depth = 0;
    std::vector<QPointer<QObject>> held;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> deferred;
};

DeleteHold* hold()
{
    static QPointer<DeleteHold> h;
    if (!h && QCoreApplication::instance()) {
        h = new DeleteHold;
        h->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(h);
    }
    return h;
}

// The wait depth also counts without an application object (tests of the
// core libraries): then nothing can be deferred or delivered anyway.
int g_depthWithoutApp = 0;

} // namespace

WaitScope::WaitScope()
{
    if (DeleteHold* h = hold()) {
        ++h->depth;
        counted_ = true;
    } else {
        ++g_depthWithoutApp;
    }
}

WaitScope::~WaitScope()
{
    if (!counted_) {
        --g_depthWithoutApp;
        return;
    }
    DeleteHold* h = hold();
    if (!h || h->depth == 0)
        return; // the application it counted on is gone, and what it held
    if (--h->depth > 0)
        return;
    // The outermost wait has unwound: carry out what was held back.
    auto held = std::exchange(h->held, {});
    auto deferred = std::exchange(h->deferred, {});
    for (const QPointer<QObject>& o : held)
        if (o)
            o->deleteLater();
    for (auto& [context, action] : deferred)
        if (context)
            QMetaObject::invokeMethod(context.data(), std::move(action), Qt::QueuedConnection);
}

int WaitDepth()
{
    const DeleteHold* h = hold();
    return (h ? h->depth : 0) + g_depthWithoutApp;
}

bool WaitActive()
{
    return WaitDepth() > 0;
}

void RunWaitEvents(bool waitForMore)
{
    if (!QCoreApplication::instance())
        return;
    const WaitScope waiting;
    QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents;
    if (waitForMore)
        flags |= QEventLoop::WaitForMoreEvents;
    QCoreApplication::processEvents(flags);
}

bool DeferWhileWaiting(QObject* context, std::function<void()> action)
{
    DeleteHold* h = hold();
    if (!h || h->depth == 0 || !context)
        return false;
    h->deferred.emplace_back(context, std::move(action));
    return true;
}
