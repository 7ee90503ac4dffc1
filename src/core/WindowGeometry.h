#pragma once

#include <QList>
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
    // How far the window may stick out past the right or bottom edge of the desktop.
    static constexpr int OffScreenTolerance = 200;
    // How much of the title bar's width must be on one screen for the window to be reachable
    // (100 pixels at 96 dpi), and the height counted as title bar when the frame tells less.
    static constexpr int ReachableTitleBar = 1500;
    static constexpr int TitleBarAtLeast = 300;

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

    // The off-screen rescue of a window with the outer rectangle `window` and a title bar
    // `titleBar` high, on a desktop of `screens`, the first the window's own: where it goes, or
    // none when it stays. One whose right or bottom edge is more than the tolerance past the
    // desktop's (all screens together) gets the minimum size, centred on its screen. One that
    // sticks out to the left or top stays, unless its title bar is out of reach (too little of it
    // on any screen to take hold of): then it is centred at its own size, no larger than its screen.
    static std::optional<QRect> rescued(const QRect &window, int titleBar, const QList<QRect> &screens);

private:
    double m_dpiX;
    double m_dpiY;
};
