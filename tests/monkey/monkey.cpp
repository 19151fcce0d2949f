#include "monkey.h"

#include "monkeydialogs.h"
#include "monkeytargets.h"
#include "tests/common/simfaultcases.h"

#include "link/modcomm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabBar>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <cstring>
#include <numeric>
#include <unistd.h>

namespace {

// The key that carries a gated action; no control of the program uses it.
constexpr int kGateKey = Qt::Key_F35;

// The recent actions, kept in plain memory so a crash handler can print them.
constexpr int kRing = 160, kLine = 160;
char g_ring[kRing][kLine];
int g_ringNext = 0;
long g_ringCount = 0;

enum Kind { Click, Key, Wheel, Menu, CloseNow, CloseByInput, KindCount };
constexpr int kWeights[KindCount] = {45, 22, 8, 14, 5, 6};

bool interactive(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const QMenuBar*>(w) || qobject_cast<const QAbstractItemView*>(w->parentWidget());
}

QString describe(const QWidget* w)
{
    if (!w)
        return QStringLiteral("?");
    const QString name =
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    return w->window() == w ? name : w->window()->objectName() + QLatin1Char('.') + name;
}

// The visible top-level windows, the main one left out when given.
QList<QWidget*> openWindows(const QWidget* except, bool withHandle)
{
    QList<QWidget*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != except && w->isVisible() && (!withHandle || w->windowHandle()))
            open << w;
    return open;
}

} // namespace

Monkey::Monkey(QMainWindow& main, SimInstrument& sim, SimConnection& link, MonkeyDialogs& dialogs,
               quint32 seed, qint64 durationMs)
    : main_(main), sim_(sim), link_(link), dialogs_(dialogs), rng_(seed), durationMs_(durationMs)
{
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &Monkey::step);
    faultTimer_.setSingleShot(true);
    connect(&faultTimer_, &QTimer::timeout, this, &Monkey::startFault);
}

void Monkey::start()
{
    for (const char* name : kMonkeyNeverTrigger)
        if (auto* a = main_.findChild<QAction*>(QLatin1String(name)))
            a->setEnabled(false);
    qApp->installEventFilter(this);
    clock_.start();
    stepTimer_.start(0);
    faultTimer_.start(between(200, 1500));
}

void Monkey::note(const char* kind, const QString& what)
{
    ++counts_[QLatin1String(kind)];
    const qint64 t = clock_.elapsed();
    const QByteArray line = QStringLiteral("%1.%2 s %3 %4")
                                .arg(t / 1000)
                                .arg((t % 1000) / 100)
                                .arg(QLatin1String(kind), what)
                                .toLocal8Bit()
                                .left(kLine - 2);
    char* slot = g_ring[g_ringNext];
    std::memcpy(slot, line.constData(), size_t(line.size()));
    slot[line.size()] = '\n', slot[line.size() + 1] = '\0';
    g_ringNext = (g_ringNext + 1) % kRing, ++g_ringCount;
}

void Monkey::printRecentActions()
{
    // Only write(2): this runs from signal handlers too.
    static const char head[] = "monkey: the last actions, oldest first:\n";
    [[maybe_unused]] ssize_t r = ::write(2, head, sizeof head - 1);
    const int n = int(g_ringCount < kRing ? g_ringCount : kRing);
    for (int i = 0; i < n; ++i) {
        const char* line = g_ring[(g_ringNext - n + i + kRing) % kRing];
        r = ::write(2, line, std::strlen(line));
    }
}

void Monkey::step()
{
    if (draining_)
        return drain();
    if (clock_.elapsed() >= durationMs_) {
        draining_ = dialogs_.draining = true;
        drainStartMs_ = clock_.elapsed();
        faultTimer_.stop();
        sim_.faults().clear();
        link_.accepting = true;
        note("drain", QStringLiteral("faults off, closing every window"));
        return drain();
    }
    int r = between(0, std::accumulate(std::begin(kWeights), std::end(kWeights), 0) - 1);
    int kind = 0;
    while (r >= kWeights[kind])
        r -= kWeights[kind++];
    const std::function<void()> acts[KindCount] = {
        [this] { clickSomething(); }, [this] { pressKey(); },         [this] { turnWheel(); },
        [this] { useMenu(); },        [this] { closeWindow(false); }, [this] { closeWindow(true); }};
    acts[kind]();
    stepTimer_.start(between(0, 30));
}

bool Monkey::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != kGateKey)
        return QObject::eventFilter(watched, event);
    if (const auto it = gated_.find(key->nativeVirtualKey()); t == QEvent::KeyPress && it != gated_.end()) {
        const std::function<void()> action = std::move(it->second);
        gated_.erase(it);
        action();
    }
    return true;
}

void Monkey::gate(QWidget* window, const QString& what, std::function<void()> action)
{
    QWindow* handle = window ? window->windowHandle() : nullptr;
    if (!handle)
        return;
    const quint32 id = nextGate_++;
    gated_[id] = [this, what, action = std::move(action)] {
        note("do", what);
        action();
    };
    // A key press for a window behind a modal one is never delivered.
    if (gated_.size() > 256)
        gated_.erase(gated_.begin());
    QWindowSystemInterface::handleExtendedKeyEvent(handle, QEvent::KeyPress, kGateKey, Qt::NoModifier, 0, id,
                                                   0, QString(), false, 1, false);
}

QWidget* Monkey::pickWindow()
{
    if (QWidget* popup = QApplication::activePopupWidget(); popup && pick(5) != 0)
        return popup;
    if (QWidget* modal = QApplication::activeModalWidget(); modal && pick(4) != 0)
        return modal;
    const QList<QWidget*> tops = openWindows(nullptr, true);
    return tops.isEmpty() ? nullptr : tops.at(qsizetype(pick(size_t(tops.size()))));
}

QWidget* Monkey::pickControl(QWidget* window)
{
    QList<QWidget*> all{window}, controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->width() < 2 || w->height() < 2 || w->isWindow())
            continue;
        all << w;
        if (interactive(w))
            controls << w;
    }
    const QList<QWidget*>& from = !controls.isEmpty() && pick(5) != 0 ? controls : all;
    return from.at(qsizetype(pick(size_t(from.size()))));
}

void Monkey::clickSomething()
{
    QWidget* window = pickWindow();
    if (!window)
        return;
    QWidget* target = pickControl(window);
    const QPoint local(between(1, qMax(1, target->width() - 2)), between(1, qMax(1, target->height() - 2)));
    const QPointF inWindow = target->mapTo(window, local), global = target->mapToGlobal(local);
    QWindow* handle = window->windowHandle();
    const int clicks = pick(8) == 0 ? 2 : 1;
    const Qt::MouseButton button = pick(12) == 0 ? Qt::RightButton : Qt::LeftButton;
    note("click", describe(target) + (clicks == 2 ? QStringLiteral(" twice") : QString()));
    for (int i = 0; i < clicks; ++i)
        for (const auto& [type, state] : {std::pair(QEvent::MouseButtonPress, button),
                                          std::pair(QEvent::MouseButtonRelease, Qt::NoButton)})
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                handle, inWindow, global, state, button, type);
}

void Monkey::pressKey()
{
    QWidget* window = pickWindow();
    if (!window || !window->windowHandle())
        return;
    static const int named[] = {Qt::Key_Tab,   Qt::Key_Backtab,   Qt::Key_Return,   Qt::Key_Escape,
                                Qt::Key_Space, Qt::Key_Up,        Qt::Key_Down,     Qt::Key_Left,
                                Qt::Key_Right, Qt::Key_PageUp,    Qt::Key_PageDown, Qt::Key_Home,
                                Qt::Key_End,   Qt::Key_Backspace, Qt::Key_Delete,   Qt::Key_F1};
    int key = 0;
    QString text;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    const int choice = between(0, 9);
    if (choice < 4) {
        key = named[pick(std::size(named))];
        text = key == Qt::Key_Return  ? QStringLiteral("\r")
               : key == Qt::Key_Space ? QStringLiteral(" ")
                                      : QString();
    } else if (choice < 7) {
        static const QString printable = QStringLiteral("0123456789.-,e ");
        const QChar c = printable.at(qsizetype(pick(size_t(printable.size()))));
        key = c == QLatin1Char(' ') ? int(Qt::Key_Space) : int(c.toUpper().unicode());
        text = c;
    } else {
        // A letter, now and then with Alt: the mnemonics of buttons and menus.
        const char c = char('a' + between(0, 25));
        key = Qt::Key_A + (c - 'a');
        if (pick(2) == 0)
            mods = Qt::AltModifier;
        else
            text = QString(QLatin1Char(c));
    }
    note("key", describe(window) +
                    QStringLiteral(" %1%2").arg(mods ? QStringLiteral("Alt+") : QString()).arg(key, 0, 16));
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            window->windowHandle(), type, key, mods, text);
}

void Monkey::turnWheel()
{
    QWidget* window = pickWindow();
    if (!window)
        return;
    QWidget* target = pickControl(window);
    const QPoint local(target->width() / 2, target->height() / 2);
    const int notches = between(-3, 3);
    note("wheel", describe(target) + QStringLiteral(" %1").arg(notches));
    QWindowSystemInterface::handleWheelEvent(window->windowHandle(), target->mapTo(window, local),
                                             target->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches));
}

void Monkey::closeWindow(bool viaInputQueue)
{
    const QList<QWidget*> others = openWindows(&main_, true);
    if (others.isEmpty())
        return;
    QWidget* w = others.at(qsizetype(pick(size_t(others.size()))));
    if (viaInputQueue) // The operator's close box or Escape: taken where input is taken.
        return gateClose(w);
    // The window manager's close: not input, so it arrives during waits too.
    note("close", describe(w));
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(w->windowHandle());
}

void Monkey::gateClose(QWidget* window)
{
    gate(window, QStringLiteral("close ") + describe(window), [w = QPointer<QWidget>(window)] {
        if (w)
            w->close();
    });
}

void Monkey::useMenu()
{
    QWidget* owner = &main_;
    QAction* action = nullptr;
    if (pick(10) < 7) {
        const char* name = kMonkeyMenuEntries[pick(std::size(kMonkeyMenuEntries))];
        action = main_.findChild<QAction*>(QLatin1String(name));
        if (!action || !action->isEnabled()) {
            if (!unusedMenus_.contains(QLatin1String(name)))
                unusedMenus_ << QLatin1String(name);
            return;
        }
        unusedMenus_.removeAll(QLatin1String(name));
    } else {
        // The menus and actions of the other windows, found as they open.
        owner = pickWindow();
        if (!owner || owner == &main_)
            return;
        QList<QAction*> actions;
        for (QAction* a : owner->findChildren<QAction*>())
            if (a->isEnabled() && a->isVisible() && !a->isSeparator() && !a->text().isEmpty())
                actions << a;
        if (actions.isEmpty())
            return;
        action = actions.at(qsizetype(pick(size_t(actions.size()))));
    }
    gate(owner, QStringLiteral("menu ") + owner->objectName() + QLatin1Char('.') + action->objectName(),
         [a = QPointer<QAction>(action)] {
             if (a && a->isEnabled())
                 a->trigger();
         });
}

void Monkey::startFault()
{
    faultTimer_.start(between(200, 2000));
    const int choice = between(0, 9);
    if (choice < 6) {
        const SimFaultCase& f = kSimFaultCases[pick(kSimFaultCases.size())];
        note("fault", QLatin1String(f.name));
        f.start(sim_);
        if (sim_.faults().delayMs() > 0)
            QTimer::singleShot(between(300, 3000), &sim_, [s = &sim_] { s->faults().setDelayMs(0); });
    } else if (choice == 6) {
        const double rate = between(2, 10) / 10.0;
        note("fault", QStringLiteral("drop rate %1").arg(rate));
        sim_.faults().setDropRate(rate);
        QTimer::singleShot(between(500, 4000), &sim_, [s = &sim_] { s->faults().setDropRate(0); });
    } else if (choice == 7) {
        note("fault", QStringLiteral("cable pulled"));
        link_.accepting = false;
        link_.close();
        QTimer::singleShot(between(500, 5000), &link_, [l = &link_] { l->accepting = true; });
    } else {
        note("fault", QStringLiteral("all clear"));
        sim_.faults().clear();
    }
}

// The update timer runs again once the windows are closed. One exception is
// the design's: the process window closed while the link is offline leaves it
// stopped (an offline tick would send nothing anyway); Find in the settings
// window brings it back.
bool Monkey::timerAsDesigned() const
{
    const auto* timer = main_.findChild<QTimer*>(QStringLiteral("tmrUpdate"));
    return timer && (timer->isActive() || !Comm_Online());
}

void Monkey::drain()
{
    stepTimer_.start(100);
    const qint64 spent = clock_.elapsed() - drainStartMs_;
    const QList<QWidget*> open = openWindows(&main_, false);
    const bool waiting = Comm_GetStatus() == linkstatus::Busy;
    // The link heals by itself (AutoReconnect=1), so it is back once the faults stop.
    const bool online = Comm_Online() && Comm_GetStatus() == linkstatus::Ok;
    if (!waiting && open.isEmpty() && main_.isEnabled() && timerAsDesigned() && online)
        return finish({});
    if (spent > 30000) {
        QStringList failures;
        for (QWidget* w : open)
            failures << QStringLiteral("window still open: ") + describe(w);
        if (!main_.isEnabled())
            failures << QStringLiteral("main window disabled");
        if (!timerAsDesigned())
            failures << QStringLiteral("update timer stopped");
        if (waiting)
            failures << QStringLiteral("a reply wait never ended");
        if (!online)
            failures << QStringLiteral("link not online after the faults stopped");
        return finish(failures.isEmpty() ? QStringList{QStringLiteral("did not settle")} : failures);
    }
    // Close one window at a time, the top one first; the question a window
    // asks on closing gets the calm answer.
    if (!open.isEmpty() && spent % 500 < 100) {
        QWidget* top = QApplication::activePopupWidget();
        gateClose(top                                 ? top
                  : QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                      : open.last());
    }
}

void Monkey::finish(QStringList failures)
{
    for (const QString& report : dialogs_.errorReports)
        failures << QStringLiteral("error handler reported: ") + report;
    // A run in which no reply got through tested nothing beyond the link's failures.
    if (Comm_AcceptedCount() == 0)
        failures << QStringLiteral("no reply was accepted");
    finished_ = true;
    stepTimer_.stop();
    faultTimer_.stop();
    qApp->removeEventFilter(this);
    QStringList done;
    for (auto it = counts_.cbegin(); it != counts_.cend(); ++it)
        done << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    done.sort();
    fprintf(stderr,
            "monkey: %s in %.1f s; %d dialogs answered; %llu replies accepted; busy pointer depth %d\n",
            qPrintable(done.join(QStringLiteral(", "))), clock_.elapsed() / 1000.0, dialogs_.answered,
            static_cast<unsigned long long>(Comm_AcceptedCount()), dialogs_.busyDepth);
    if (!unusedMenus_.isEmpty())
        fprintf(stderr, "monkey: menu entries not available in this build: %s\n",
                qPrintable(unusedMenus_.join(QLatin1String(", "))));
    for (const QString& f : failures)
        fprintf(stderr, "monkey: FAILED: %s\n", qPrintable(f));
    if (!failures.isEmpty())
        printRecentActions();
    QCoreApplication::exit(failures.isEmpty() ? 0 : 1);
}
