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

void Quillbox::Private::noteFrame()
{
    // The frame is only known once the window manager has framed the window; stored sizes are
    // outer sizes, so what the frame adds is kept to convert between the two.
    if (!q->isVisible() || q->isMinimized())
        return;
    const QSize extra = q->frameGeometry().size() - q->geometry().size();
    if (extra == frameExtra || extra.width() < 0 || extra.height() < 0)
        return;
    frameExtra = extra;
    updateMinimumSize();
    // The size set before the window was framed was meant as its outer size.
    if (!frameKnown && !q->isMaximized() && !q->isFullScreen())
        q->resize(q->size() - extra);
    frameKnown = true;
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
        const QRect outer(q->pos(), q->size() + frameExtra);
        if (WindowGeometry::rescued(g.toTwips(outer), g.toTwips(desktop))) {
            q->resize(g.toPixels(QSize(WindowGeometry::MinWidth, WindowGeometry::MinHeight)) - frameExtra);
            q->CenterMe();
        }
    }
    inResizeRules = false;
}

void Quillbox::Private::trayAvailabilityChanged(bool available)
{
    if (available) {
        // Minimising hides to the tray again; should it go once more, that is told again.
        trayMissingTold = false;
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
    const WindowGeometry g = converter();
    if (!q->isMinimized() && q->isVisible()) {
        settings->SaveSettingValue(SettingKey::CoordsX, g.xToTwips(q->pos().x()));
        settings->SaveSettingValue(SettingKey::CoordsY, g.yToTwips(q->pos().y()));
    }
    if (q->isMaximized()) {
        settings->SaveSettingValue(SettingKey::Height, QStringLiteral("Max"));
        settings->SaveSettingValue(SettingKey::Width, QStringLiteral("Max"));
        return;
    }
    const QSize outer = q->size() + frameExtra;
    settings->SaveSettingValue(SettingKey::Height, g.yToTwips(outer.height()));
    settings->SaveSettingValue(SettingKey::Width, g.xToTwips(outer.width()));
}
