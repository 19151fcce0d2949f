#include "support/modformutil.h"

#include "support/formposition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

QRect screenOf(const QWidget* form)
{
    QScreen* s = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool isResizable(const QWidget* form)
{
    return form->minimumSize() != form->maximumSize() &&
           !form->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

class FormSettings {
public:
    FormSettings()
        : s_(QString::fromLatin1(FormSettingsOrganization), QString::fromLatin1(FormSettingsApplication))
    {
        s_.beginGroup(QString::fromLatin1(FormSettingsGroup));
    }
    QSettings& operator*() { return s_; }
    QSettings* operator->() { return &s_; }

private:
    QSettings s_;
};

} // namespace

void SaveFormPosition(QWidget* form)
{
    if (!form || form->objectName().isEmpty())
        return;
    FormPosition p;
    // A minimised or maximised window keeps its normal placement for next time.
    const bool normal = !form->isMinimized() && !form->isMaximized();
    const QRect frame = form->frameGeometry();
    const QRect g = normal ? form->geometry() : form->normalGeometry();
    p.left = normal ? frame.left() : g.left();
    p.top = normal ? frame.top() : g.top();
    p.width = g.width();
    p.height = g.height();
    p.state = form->isMinimized() ? 1 : form->isMaximized() ? 2 : 0;
    FormSettings s;
    s->setValue(form->objectName(), FormPositionText(p));
}

void RestoreFormPosition(QWidget* form, bool keepOnScreen)
{
    if (!form || form->objectName().isEmpty())
        return;
    FormSettings s;
    const auto p = ParseFormPosition(s->value(form->objectName()).toString());
    if (!p)
        return;
    if (p->state == 1) {
        form->setWindowState(Qt::WindowMinimized);
        return;
    }
    if (p->state == 2) {
        form->setWindowState(Qt::WindowMaximized);
        return;
    }
    QSize size = form->size();
    if (isResizable(form) && p->width > 0 && p->height > 0)
        size = QSize(p->width, p->height).expandedTo(form->minimumSize()).boundedTo(form->maximumSize());
    QRect r(QPoint(p->left, p->top), size);
    if (keepOnScreen)
        r = KeepOnScreen(r, screenOf(form));
    form->move(r.topLeft());
    form->resize(r.size());
}

void CenterFormScreen(QWidget* form)
{
    if (!form)
        return;
    const QRect screen = screenOf(form);
    QRect frame = form->frameGeometry();
    frame.moveCenter(screen.center());
    form->move(frame.topLeft());
}

void FormOnTop(QWidget* form, bool on)
{
    if (!form)
        return;
    const bool visible = form->isVisible();
    const QRect g = form->geometry();
    form->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing the flags hides the window and may lose its place.
    form->setGeometry(g);
    if (visible)
        form->show();
}
