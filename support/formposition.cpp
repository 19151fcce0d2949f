#include "support/formposition.h"

#include "support/numbers.h"

#include <algorithm>
#include <cmath>

QString FormPositionText(const FormPosition& p)
{
    return QStringLiteral("L=%1;T=%2;W=%3;H=%4;S=%5;")
        .arg(p.left)
        .arg(p.top)
        .arg(p.width)
        .arg(p.height)
        .arg(p.state);
}

namespace {

int numberAfter(const QString& text, QLatin1StringView tag)
{
    const qsizetype at = text.indexOf(tag);
    if (at < 0)
        return 0;
    const double v = LeadingNumber(QStringView(text).mid(at + tag.size()));
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(v, -1.0e6, 1.0e6));
}

} // namespace

std::optional<FormPosition> ParseFormPosition(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    FormPosition p;
    p.left = numberAfter(text, QLatin1StringView("L="));
    p.top = numberAfter(text, QLatin1StringView("T="));
    p.width = numberAfter(text, QLatin1StringView("W="));
    p.height = numberAfter(text, QLatin1StringView("H="));
    p.state = numberAfter(text, QLatin1StringView("S="));
    return p;
}

QRect KeepOnScreen(const QRect& rect, const QRect& screen)
{
    QRect r = rect;
    if (r.right() > screen.right())
        r.moveRight(screen.right());
    if (r.bottom() > screen.bottom())
        r.moveBottom(screen.bottom());
    if (r.left() < screen.left())
        r.moveLeft(screen.left());
    if (r.top() < screen.top())
        r.moveTop(screen.top());
    return r;
}
