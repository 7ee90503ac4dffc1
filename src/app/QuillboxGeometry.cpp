#include "QuillboxPrivate.h"

#include "Platform.h"
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
// How long the window's first show waits for the window manager to tell its frame, at most.
constexpr int FrameAnswerAtMostMs = 1000;
} // namespace

WindowPlacement::Shown Quillbox::Private::shown() const
{
    // Hidden with a native window made minimised counts as minimised: Qt's X11 window is mapped the
    // moment the place or size of such a window is set.
    const QWindow *window = q->windowHandle();
    if (q->isMinimized() && (q->isVisible() || (window && window->windowStates() & Qt::WindowMinimized)))
        return WindowPlacement::Shown::Minimised;
    // Setting the place or size of a maximised window makes it a normal one, seen or not.
    if (q->isMaximized() || q->isFullScreen())
        return WindowPlacement::Shown::Maximised;
    if (!q->isVisible())
        return WindowPlacement::Shown::Hidden;
    return WindowPlacement::Shown::Normal;
}

QMargins Quillbox::Private::frameMargins() const
{
    // The window manager's own word where it gives one. Elsewhere Qt's view of the frame: the
    // decorations it draws itself, or on an X desktop that tells nothing none before the window is
    // framed, so that the window is placed as it is.
    if (const std::optional<QMargins> told = platform->frames->extents())
        return *told;
    const QWindow *window = q->windowHandle();
    return window ? window->frameMargins() : QMargins();
}

bool Quillbox::Private::frameFinal() const
{
    return platform->frames->extents() || !platform->frames->awaited();
}

void Quillbox::Private::noteFrame()
{
    // Stored sizes are outer sizes, the smallest one included.
    const QMargins frame = frameMargins();
    if (frame != knownFrame) {
        knownFrame = frame;
        updateMinimumSize();
    }
    if (q->isVisible() && !q->isMinimized())
        shownNormal = true;
    applyWantedGeometry();
}

void Quillbox::Private::placeWindow(const QPoint &outerPlace)
{
    placement.place(outerPlace);
    applyWantedGeometry();
}

void Quillbox::Private::sizeWindow(const QSize &outer)
{
    placement.resize(outer);
    applyWantedGeometry();
}

void Quillbox::Private::applyWantedGeometry()
{
    const std::optional<QRect> inside = placement.apply(q->geometry(), frameMargins(), shown(), frameFinal());
    if (!inside)
        return;
    // Only a place asked for is set, so a size alone leaves the window manager to place the window.
    if (inside->topLeft() == q->geometry().topLeft())
        q->resize(inside->size());
    else
        q->setGeometry(*inside);
}

QRect Quillbox::Private::outerGeometry() const
{
    return placement.outer(q->geometry(), frameMargins(), shown());
}

void Quillbox::Private::showWhenFramed(std::function<void()> show)
{
    // Asked before the window is first shown, the window manager tells the frame it will give it,
    // and the window comes up where it belongs. One that does not answer holds the window back no
    // longer than a moment. The native window is made for the question; the show would make it.
    q->winId();
    platform->frames->watch(q->windowHandle());
    noteFrame();
    if (!platform->frames->awaited()) {
        show();
        return;
    }
    heldShow = std::move(show);
    QTimer::singleShot(FrameAnswerAtMostMs, q, [this] { releaseHeldShow(); });
}

void Quillbox::Private::releaseHeldShow()
{
    const std::function<void()> show = std::exchange(heldShow, nullptr);
    if (show && !shutDown)
        show();
}

void Quillbox::Private::updateMinimumSize()
{
    const QSize outer = converter().toPixels(QSize(WindowGeometry::MinWidth, WindowGeometry::MinHeight));
    q->setMinimumSize(outer.shrunkBy(knownFrame));
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
        // Off-screen rescue: a window that sticks out too far right or below, or whose title bar
        // is out of reach, comes back centred. Every screen counts, so a second screen is not
        // "off-screen".
        const WindowGeometry g = converter();
        QList<QRect> screens{g.toTwips(screenRect())};
        if (const QScreen *screen = q->screen() ? q->screen() : QGuiApplication::primaryScreen()) {
            for (const QScreen *other : screen->virtualSiblings())
                if (other != screen)
                    screens.append(g.toTwips(other->geometry()));
        }
        const QRect outer = outerGeometry();
        const int titleBar = g.yToTwips(frameMargins().top());
        if (const std::optional<QRect> rescue =
                WindowGeometry::rescued(g.toTwips(outer), titleBar, screens)) {
            sizeWindow(g.toPixels(rescue->size()));
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
