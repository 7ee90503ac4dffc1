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

std::optional<QRect> WindowGeometry::rescued(const QRect &window, const QRect &screen)
{
    // 64-bit sums: a window placed near the end of the int range must not wrap round to "inside".
    const qint64 right = qint64(window.x()) + window.width();
    const qint64 bottom = qint64(window.y()) + window.height();
    const qint64 screenRight = qint64(screen.x()) + screen.width();
    const qint64 screenBottom = qint64(screen.y()) + screen.height();
    // Off the left or top edge the title bar is out of reach just as well.
    const bool left = window.x() < qint64(screen.x()) - OffScreenTolerance;
    const bool above = window.y() < qint64(screen.y()) - OffScreenTolerance;
    if (!left && !above && right <= screenRight + OffScreenTolerance &&
        bottom <= screenBottom + OffScreenTolerance)
        return std::nullopt;
    const QSize size(MinWidth, MinHeight);
    return QRect(centred(size, screen), size);
}

