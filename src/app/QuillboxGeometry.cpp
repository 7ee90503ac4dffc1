#include "QuillboxPrivate.h"

#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"
#include "TrayIcon.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

WindowGeometry Quillbox::Private::converter() const
{
    const QScreen *screen = q->screen() ? q->screen() : QGuiApplication::primaryScreen();
    return screen ? WindowGeometry(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY())
                  : WindowGeometry();
}

QRect Quillbox::Private::screenRect() const
{
    const QScreen *screen = q->screen() ? q->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

namespace {
// How often, and how far apart, a window just shown is looked at until its frame is known and it
// stands where it was asked to be.
constexpr int FrameChecks = 250;
constexpr int FrameCheckInterval = 20; // ms
// Looks in a row that must find it there: a window manager may report a frame without its title
// bar first, and Qt notices the rest only at the window's next move or resize.
constexpr int SettledChecks = 5;
} // namespace

void Quillbox::Private::noteFrame()
{
    // The frame is only known once the window manager has framed the window in view; stored
    // sizes are outer sizes, so what the frame adds is kept to convert between the two.
    if (!q->isVisible() || q->isMinimized())
        return;
    const bool firstInView = !shownNormal;
    shownNormal = true;
    const QSize extra = q->frameGeometry().size() - q->geometry().size();
    if (extra.width() < 0 || extra.height() < 0)
        return;
    if (extra != frameExtra) {
        frameExtra = extra;
        updateMinimumSize();
    }
    if (!frameKnown && extra != QSize(0, 0))
        frameKnown = true;
    if (!geometryPending || q->isMaximized() || q->isFullScreen())
        return;
    // A window manager that frames nothing leaves the window as it was placed.
    const bool framed = frameKnown || frameChecks >= FrameChecks;
    // Set again for each new frame; before there is one, only the size held back while the window
    // was minimised.
    if (framed ? appliedFrame != frameExtra : firstInView) {
        if (framed)
            appliedFrame = frameExtra;
        applyWantedGeometry();
        settledChecks = framed && atWantedGeometry() ? 1 : 0;
    } else if (settledChecks > 0 && !atWantedGeometry()) {
        // Moved or resized since it stood where it was asked to be: it is the user's window again.
        geometryPending = false;
        return;
    }
    watchForFrame();
}

bool Quillbox::Private::atWantedGeometry() const
{
    return q->frameGeometry() == outerGeometry();
}

void Quillbox::Private::watchForFrame()
{
    // Qt tells nobody when the frame arrives, so the window is looked at until it has one and
    // stands where it was asked to be. Until then the places the window manager reports are its
    // own passing ones (it may first put a new window anywhere): they are neither rescued nor
    // stored.
    if (!frameWatch) {
        frameWatch = new QTimer(q);
        frameWatch->setSingleShot(true);
        frameWatch->setInterval(FrameCheckInterval);
        QObject::connect(frameWatch, &QTimer::timeout, q, [this] {
            ++frameChecks;
            noteFrame();
            if (!geometryPending || !appliedFrame || !q->isVisible() || q->isMinimized())
                return;
            if (atWantedGeometry())
                ++settledChecks;
            if (settledChecks >= SettledChecks || frameChecks >= 2 * FrameChecks) {
                geometryPending = false;
                frameWatch->stop();
            }
        });
    }
    if (!frameWatch->isActive())
        frameWatch->start();
}

void Quillbox::Private::placeWindow(const QPoint &outerPlace)
{
    wantedPlace = outerPlace;
    geometryPending = geometryPending || !frameKnown;
    applyWantedGeometry();
}

void Quillbox::Private::sizeWindow(const QSize &outer)
{
    wantedSize = outer;
    geometryPending = geometryPending || !frameKnown;
    applyWantedGeometry();
}

void Quillbox::Private::applyWantedGeometry()
{
    // A window manager may take a change of size of a window mapped minimised for a request to
    // restore it, so a window started minimised gets its size when it first comes into view.
    if (q->isMinimized() && !shownNormal)
        return;
    if (wantedSize.isValid())
        q->resize(wantedSize - frameExtra);
    if (wantedPlace)
        q->move(*wantedPlace);
}

QRect Quillbox::Private::outerGeometry() const
{
    // Before the frame is known, Qt's own view of the window is off by the frame. A maximised
    // window is where the window manager put it.
    const QRect seen(q->pos(), q->size() + frameExtra);
    if (!geometryPending || q->isMaximized() || q->isFullScreen())
        return seen;
    return {wantedPlace.value_or(seen.topLeft()), wantedSize.isValid() ? wantedSize : seen.size()};
}

void Quillbox::Private::updateMinimumSize()
{
    const QSize outer = converter().toPixels(QSize(WindowGeometry::MinWidth, WindowGeometry::MinHeight));
    q->setMinimumSize(outer - frameExtra);
}

void Quillbox::Private::applyResizeRules()
{
    if (inResizeRules || shutDown)
        return;
    inResizeRules = true;
    const Qt::WindowStates state = q->windowState();
    if (state & Qt::WindowMinimized) {
        const QString showInTaskBar =
            SettingValue::dropFinalNul(settings->GetSettingValue(SettingKey::ShowinTaskBar)).trimmed();
        if (showInTaskBar != QLatin1String("YES")) {
            if (TrayIcon::isAvailable()) {
                // Hidden once the minimise is done, so the window manager sees a complete change.
                QTimer::singleShot(0, q, [this] {
                    if (q->isMinimized())
                        q->hide();
                });
            } else if (!trayMissingTold) {
                // Hiding without a tray icon would leave no way back to the window.
                trayMissingTold = true;
                q->showStatus(QStringLiteral("This desktop has no notification area, so Quillbox Plus stays "
                                             "on the task bar when minimised."),
                              0);
            }
        }
    } else if (!(state & Qt::WindowMaximized) && !(state & Qt::WindowFullScreen)) {
        // Off-screen rescue: a window that sticks out too far right or below comes back at the
        // smallest size, centred. The whole desktop counts, so a second screen is not "off-screen".
        const QScreen *screen = q->screen() ? q->screen() : QGuiApplication::primaryScreen();
        const QRect desktop = screen ? screen->virtualGeometry() : screenRect();
        const WindowGeometry g = converter();
        const QRect outer = outerGeometry();
        if (WindowGeometry::rescued(g.toTwips(outer), g.toTwips(desktop))) {
            sizeWindow(g.toPixels(QSize(WindowGeometry::MinWidth, WindowGeometry::MinHeight)));
            q->CenterMe();
        }
    }
    inResizeRules = false;
}

void Quillbox::Private::trayAvailabilityChanged(bool available)
{
    if (available) {
        // Minimising hides to the tray again; should it go once more, that is told again. What
        // was said of it going no longer holds.
        if (std::exchange(trayMissingTold, false))
            q->showStatus(QString());
        return;
    }
    if (shutDown || startup.isRunning() || !q->isHidden())
        return;
    // Hidden in a tray that is gone, the window could only be reached by starting again.
    trayMissingTold = true;
    q->setWindowState(q->windowState() & ~Qt::WindowMinimized);
    q->show();
    q->showStatus(QStringLiteral("No notification area any more: Quillbox Plus stays on the task bar."), 0);
}

void Quillbox::Private::applyOnTop(bool on)
{
    items.value(QStringLiteral("setontop"))->setChecked(on);
    Qt::WindowFlags flags = q->windowFlags();
    if (!OnTopRule::needsFlagChange(flags.testFlag(Qt::WindowStaysOnTopHint), on))
        return;
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // QWidget::setWindowFlags would hide and re-create the window; the platform window takes the
    // new flag in place.
    q->overrideWindowFlags(flags);
    if (QWindow *window = q->windowHandle())
        window->setFlags(flags);
}

void Quillbox::Private::storePlaceAndSize()
{
    // A window that never came into view still has the place and size it was started with: the
    // stored values stay exactly as they were.
    if (!shownNormal)
        return;
    const WindowGeometry g = converter();
    const QRect outer = outerGeometry();
    if (!q->isMinimized() && q->isVisible()) {
        settings->SaveSettingValue(SettingKey::CoordsX, g.xToTwips(outer.x()));
        settings->SaveSettingValue(SettingKey::CoordsY, g.yToTwips(outer.y()));
    }
    if (q->isMaximized()) {
        settings->SaveSettingValue(SettingKey::Height, QStringLiteral("Max"));
        settings->SaveSettingValue(SettingKey::Width, QStringLiteral("Max"));
        return;
    }
    settings->SaveSettingValue(SettingKey::Height, g.yToTwips(outer.height()));
    settings->SaveSettingValue(SettingKey::Width, g.xToTwips(outer.width()));
}
