#include "QuillboxPrivate.h"

#include "AppLog.h"
#include "CommandToolbar.h"
#include "Dialogs.h"
#include "NoteTab.h"
#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"
#include "SplashScreen.h"
#include "StartupPassword.h"
#include "TrayIcon.h"
#include "Wiring.h"

#include <QAction>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {
// Bytes of the note in view that start-up reads before showing the window; a bigger note is read
// first of all but comes in after the window is there (a moment's "Loading…" in its place), so the
// window shows as soon as with empty notes.
constexpr qint64 ShownNoteReadBeforeShowing = 64 * 1024;
// The other notes are read once the window is painted, so that nothing competes with showing it;
// a window that is not painted by then (a splash in front, a slow desktop) waits no longer.
constexpr int LoadingHeldAtMostMs = 1000;

// Start-up reads these with one final NUL character dropped, as older versions wrote it.
QString readSetting(const SettingsStore &settings, const QString &key)
{
    return SettingValue::dropFinalNul(settings.GetSettingValue(key));
}

} // namespace

bool Quillbox::startUp()
{
    d->startup.begin();
    const bool started = runStartUpSteps();
    // A later start that asked for the window meanwhile is answered once it is shown.
    if (d->startup.finish() && started)
        QTimer::singleShot(0, this, &Quillbox::bringBack);
    return started;
}

bool Quillbox::runStartUpSteps()
{
    SettingsStore &store = settings();
    // Steps 1 and 2: the splash and sound preferences.
    const QString noSplash = readSetting(store, SettingKey::NoSplash).trimmed();
    d->soundOff = SettingValue::numeric(readSetting(store, SettingKey::NoSound)) == 1;

    // Steps 3 and 4: the tray icon (its clicks were connected when the window was built).
    d->tray->InitTray();

    // Step 5: the password comes before any note is loaded or shown.
    if (!askStartupPassword(store, nullptr)) {
        qCInfo(lcApp) << (d->startup.endRequested() ? "asked to end during start-up"
                                                    : "start-up password not given; ending");
        return false;
    }

    // Steps 6 and 7.
    d->active = 1;
    const QString noteDir = NoteTabs::noteDirectory(store);

    // Step 8.
    d->applyOnTop(d->onTop.readAndNormalise());

    // Step 9: the note of the tab that will be in view first; the others come in behind the
    // shown window. A note of everyday size is in its tab before the window shows; a big one
    // shows "Loading…" for the moment it takes.
    const TabStripBuilder::Plan plan = TabStripBuilder::fromSettings(store);
    const int shown = plan.tabs.isEmpty() ? 1 : plan.tabs.front().note;
    d->startingUp = true;
    d->loadNotes(noteDir, shown, true);
    if (QFileInfo(notePath(shown)).size() <= ShownNoteReadBeforeShowing)
        d->notes.finishLoading(shown);
    QTimer::singleShot(LoadingHeldAtMostMs, this, [this] { d->releaseLoading(); });

    // Step 10: only both coordinates 0 (or absent) centre the window.
    const WindowGeometry g = d->converter();
    // Whole numbers clamped to the int range: a hand-edited huge value cannot overflow.
    const int x = SettingValue::wholeNumber(readSetting(store, SettingKey::CoordsX));
    const int y = SettingValue::wholeNumber(readSetting(store, SettingKey::CoordsY));
    if (x != 0 || y != 0)
        d->placeWindow(QPoint(g.xToPixels(x), g.yToPixels(y)));
    else
        CenterMe();

    // Step 11. Only the window's state is set here, not its native window's: Qt's X11 window, once
    // made minimised, is mapped the moment its place or size is set. showAsStarted() makes it
    // minimised in its place.
    const QString startMin = readSetting(store, SettingKey::StartMin);
    if (!startMin.isEmpty() && SettingValue::numeric(startMin) != 0)
        overrideWindowState(windowState() | Qt::WindowMinimized);

    // Step 12: the editing subsystem fills the font boxes from the first note.
    emit fontBoxesWanted();

    // Step 13: the normal-state size, whatever the state is now. Stored sizes are outer sizes.
    const QString height = readSetting(store, SettingKey::Height).trimmed();
    const QString width = readSetting(store, SettingKey::Width).trimmed();
    QSize outer = d->outerGeometry().size();
    if (height == QLatin1String("Max"))
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (!height.isEmpty())
        outer.setHeight(g.yToPixels(SettingValue::wholeNumber(height)));
    if (width == QLatin1String("Max"))
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (!width.isEmpty())
        outer.setWidth(g.xToPixels(SettingValue::wholeNumber(width)));
    // A size larger than the whole desktop (a hand-edited value) would ask for a window surface
    // the graphics system cannot allocate; such a window gets the design size, as the off-screen
    // rescue would give it anyway.
    const QSize smallest = minimumSize().grownBy(d->knownFrame);
    const QSize desktop = screen() ? screen()->availableVirtualGeometry().size() : QSize(4096, 4096);
    if (outer.width() > 4 * desktop.width() || outer.height() > 4 * desktop.height())
        outer = smallest;
    d->sizeWindow(outer.expandedTo(smallest));

    // Step 14.
    if (splashWanted(noSplash))
        showSplashScreen();
    if (d->startup.endRequested())
        return false;

    // Step 15: the help subsystem finds its manual through ProgramPlaces itself.

    // Step 16, ending with the first tab selected and its panel alone in view.
    d->applyTabStrip(TabStripBuilder::fromSettings(store));
    selectFirstTab();

    // Step 17.
    setLaunchCommandsVisible(!SettingValue::isYes(store.GetSettingValue(SettingKey::DisplayApps)));

    // Step 18.
    if (SettingValue::upperTrimmed(store.GetSettingValue(SettingKey::AutoCompletion)) == QLatin1String("NO"))
        menuItem(QStringLiteral("autocompletion"))->setChecked(false);
    wireAutoCompletion(*this);

    d->applyResizeRules();

    d->startingUp = false;
    d->reportUnreadable(d->notes.takeUnreadable());
    d->notes.checkDirectory();
    // Notes the last close could not write come back into their tabs.
    d->notes.restoreKeptCopies();
    // Text typed before a crash, offered back before the window shows.
    d->offerRecovery();
    // Asked to end while one of those was open: a note restored from its recovery copy keeps the
    // copy until it is written, so it is offered again at the next start.
    return !d->startup.endRequested();
}

void Quillbox::showAsStarted()
{
    d->showWhenFramed([this] {
        const Qt::WindowStates state = windowState();
        if (state & Qt::WindowMinimized) {
            const QString showInTaskBar =
                SettingValue::dropFinalNul(settings().GetSettingValue(SettingKey::ShowinTaskBar)).trimmed();
            // Started minimised to the tray: the window stays hidden until the icon is clicked.
            if (showInTaskBar == QLatin1String("YES") || !TrayIcon::isAvailable()) {
                // Its place first, then the state (see step 11), so it goes on the task bar in place.
                QWindow *window = windowHandle();
                if (window && !(window->windowStates() & Qt::WindowMinimized)) {
                    window->setGeometry(geometry());
                    window->setWindowStates(Qt::WindowMinimized);
                }
                showMinimized();
            }
            d->releaseLoading(); // no paint to wait for
            return;
        }
        if (state & Qt::WindowMaximized)
            showMaximized();
        else
            show();
        // Typing goes into the note in view, not the first box of the toolbars.
        FocusVisibleEditor();
    });
}
