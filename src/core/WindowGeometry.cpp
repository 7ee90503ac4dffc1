#include "WindowGeometry.h"

#include <algorithm>

#include <cmath>

namespace {
constexpr double TwipsPerInch = 1440.0;

int convert(int value, double from, double to)
{
    // Far beyond any desktop, yet small enough that a rectangle's edges stay within int.
    constexpr double limit = 1 << 29;
    return static_cast<int>(std::clamp(std::round(value * to / from), -limit, limit));
}
} // namespace

WindowGeometry::WindowGeometry(double logicalDpiX, double logicalDpiY)
    : m_dpiX(logicalDpiX > 0 ? logicalDpiX : 96.0), m_dpiY(logicalDpiY > 0 ? logicalDpiY : 96.0)
{
}

int WindowGeometry::xToTwips(int px) const
{
    return convert(px, m_dpiX, TwipsPerInch);
}

int WindowGeometry::yToTwips(int px) const
{
    return convert(px, m_dpiY, TwipsPerInch);
}

int WindowGeometry::xToPixels(int twips) const
{
    return convert(twips, TwipsPerInch, m_dpiX);
}

int WindowGeometry::yToPixels(int twips) const
{
    return convert(twips, TwipsPerInch, m_dpiY);
}

QRect WindowGeometry::toTwips(const QRect &px) const
{
    return {xToTwips(px.x()), yToTwips(px.y()), xToTwips(px.width()), yToTwips(px.height())};
}

QRect WindowGeometry::toPixels(const QRect &twips) const
{
    return {xToPixels(twips.x()), yToPixels(twips.y()), xToPixels(twips.width()), yToPixels(twips.height())};
}

QSize WindowGeometry::toPixels(const QSize &twips) const
{
    return {xToPixels(twips.width()), yToPixels(twips.height())};
}

QPoint WindowGeometry::centred(const QSize &window, const QRect &screen)
{
    return {screen.x() + (screen.width() - window.width()) / 2,
            screen.y() + (screen.height() - window.height()) / 2};
}

namespace {
// 64-bit edges: a window placed near the end of the int range must not wrap round to "inside".
struct Edges
{
    qint64 left, top, right, bottom;
    explicit Edges(const QRect &r)
        : left(r.x()), top(r.y()), right(left + r.width()), bottom(top + r.height())
    {
    }
};

// How wide the part of the strip that is also on the screen is; 0 when they do not meet.
qint64 widthOnScreen(const Edges &strip, const Edges &screen)
{
    const qint64 width = std::min(strip.right, screen.right) - std::max(strip.left, screen.left);
    const qint64 height = std::min(strip.bottom, screen.bottom) - std::max(strip.top, screen.top);
    return width > 0 && height > 0 ? width : 0;
}
} // namespace

std::optional<QRect> WindowGeometry::rescued(const QRect &window, int titleBar, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return std::nullopt;
    const QRect &home = screens.first();
    QRect desktop;
    for (const QRect &screen : screens)
        desktop |= screen;
    const Edges w(window);
    const Edges all(desktop);
    if (w.right > all.right + OffScreenTolerance || w.bottom > all.bottom + OffScreenTolerance) {
        const QSize size(MinWidth, MinHeight);
        return QRect(centred(size, home), size);
    }
    Edges strip = w;
    strip.bottom = strip.top + std::max(titleBar, TitleBarAtLeast);
    const qint64 enough = std::min<qint64>(ReachableTitleBar, window.width());
    for (const QRect &screen : screens) {
        if (widthOnScreen(strip, Edges(screen)) >= enough)
            return std::nullopt;
    }
    const QSize size = window.size().boundedTo(home.size());
    return QRect(centred(size, home), size);
}
