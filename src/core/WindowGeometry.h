#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The window's size and place rules, in twips (1/1440 inch). Stored geometry is always in twips;
// pixels are converted through the screen's logical DPI, which gives 15 twips per pixel at 96 dpi.
class WindowGeometry final
{
public:
    // The smallest outer size of the window in its normal state, and the size a window that was
    // found off-screen is given.
    static constexpr int MinWidth = 7245;
    static constexpr int MinHeight = 5805;
    // How far the window may stick out past any edge of the desktop.
    static constexpr int OffScreenTolerance = 200;

    explicit WindowGeometry(double logicalDpiX = 96.0, double logicalDpiY = 96.0);

    int xToTwips(int px) const;
    int yToTwips(int px) const;
    int xToPixels(int twips) const;
    int yToPixels(int twips) const;
    QRect toTwips(const QRect &px) const;
    QRect toPixels(const QRect &twips) const;
    QSize toPixels(const QSize &twips) const;

    // CenterMe: the window's left and top that centre a window of this size on the screen.
    static QPoint centred(const QSize &window, const QRect &screen);

    // The off-screen rescue: a window any of whose edges is more than the tolerance past the same
    // edge of the desktop (all screens together) gets the minimum size, centred on it.
    static std::optional<QRect> rescued(const QRect &window, const QRect &screen);

private:
    double m_dpiX;
    double m_dpiY;
};
