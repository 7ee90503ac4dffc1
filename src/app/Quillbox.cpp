#include "Quillbox.h"

#include "AppIcons.h"
#include "AppLog.h"
#include "AutoCompletionHooks.h"
#include "CommandToolbar.h"
#include "Dialogs.h"
#include "FileHelpers.h"
#include "FormatToolbar.h"
#include "MenuTree.h"
#include "NoteTab.h"
#include "NoticeBar.h"
#include "Platform.h"
#include "ProgramPlaces.h"
#include "QuillboxPrivate.h"
#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingValue.h"
#include "SettingsStore.h"
#include "TabStripBuilder.h"
#include "TrayIcon.h"
#include "WindowGeometry.h"
#include "Wiring.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

Quillbox::Quillbox(SettingsStore &settings, Platform &platform, QWidget *parent)
    : QMainWindow(parent), d(std::make_unique<Private>(this, settings, platform))
{
    setWindowTitle(QStringLiteral("Quillbox Plus"));
    setWindowIcon(TrayIcon::programIcon());
    d->buildWidgets();
    d->tray = new TrayIcon(this);
    connect(d->tray, &TrayIcon::restoreRequested, this, &Quillbox::bringBack);
    connect(d->tray, &TrayIcon::toggleRequested, this, &Quillbox::toggleFromOutside);
    connect(d->tray, &TrayIcon::popupMenuRequested, this, [this] {
        bringBack();
        d->activationPending = false; // the menu opening over the window takes the input
    });
    connect(d->tray, &TrayIcon::closeRequested, this, &Quillbox::shutdown);
    connect(d->platform->frames.get(), &FrameExtents::changed, this, [this] {
        d->noteFrame();
        d->releaseHeldShow();
    });
    connect(d->tray, &TrayIcon::availabilityChanged, this,
            [this](bool available) { d->trayAvailabilityChanged(available); });

    connect(menuItem(QStringLiteral("exit")), &QAction::triggered, this, &Quillbox::shutdown);
    connect(commandButton(QStringLiteral("Exit")), &QAction::triggered, this, &Quillbox::shutdown);
    connect(menuItem(QStringLiteral("setontop")), &QAction::triggered, this, [this](bool checked) {
        d->onTop.store(checked);
        d->applyOnTop(checked);
    });

    // Each subsystem connects its own commands; auto-completion registers at its place in
    // start-up instead, since registering is a start-up step.
    wireEditing(*this);
    wireSpelling(*this);
    wireNoteCommands(*this);
    wireLaunching(*this);
    wirePreferences(*this);
    wireTrayAndHelp(*this);
    wireNoteHistory(*this);
    wireLockedNotes(*this);
    wireHotKey(*this);
}

Quillbox::~Quillbox()
{
    // The boxes and the strip outlive our state while QWidget deletes them; nothing they emit
    // then (a focus change, a selection) may reach it.
    for (RichTextBox *box : d->boxes) {
        disconnect(box, nullptr, this, nullptr);
        // The note's document goes with the note set, before the boxes: each box is left with an
        // empty one of its own.
        const QSignalBlocker quiet(box);
        box->adoptDocument(std::make_unique<QTextDocument>());
    }
    disconnect(d->tabs, nullptr, this, nullptr);
    // An editable font box hands its text on when it loses the focus, as the window goes.
    for (QComboBox *fontBox : {fontNameBox(), fontSizeBox()})
        if (fontBox)
            fontBox->disconnect();
}

SettingsStore &Quillbox::settings() const
{
    return *d->settings;
}
Platform &Quillbox::platform() const
{
    return *d->platform;
}
QAction *Quillbox::menuItem(const QString &name) const
{
    return d->items.value(name);
}
QMenu *Quillbox::menu(const QString &name) const
{
    return d->menus.value(name);
}
QToolBar *Quillbox::commandToolbar() const
{
    return d->commandBar;
}
QToolBar *Quillbox::formatToolbar() const
{
    return d->formatBar;
}
QAction *Quillbox::commandButton(const QString &key) const
{
    return d->commandBar->button(key);
}
QAction *Quillbox::formatButton(const QString &key) const
{
    return d->formatBar->button(key);
}
QComboBox *Quillbox::fontNameBox() const
{
    return d->fontName;
}
QComboBox *Quillbox::fontSizeBox() const
{
    return d->fontSize;
}
QTabBar *Quillbox::tabStrip() const
{
    return d->tabs;
}
TrayIcon *Quillbox::trayIcon() const
{
    return d->tray;
}
QString Quillbox::NoteDir() const
{
    return d->notes.directory();
}
NoteSet &Quillbox::notes() const
{
    return d->notes;
}
int Quillbox::activeNote() const
{
    return d->active;
}
void Quillbox::setQuitsOnShutdown(bool quits)
{
    d->quitsOnShutdown = quits;
}
bool Quillbox::hasShutDown() const
{
    return d->shutDown;
}

RichTextBox *Quillbox::editor(int n) const
{
    if (!NoteTabs::isNote(n))
        return nullptr;
    d->notes.finishLoading(n);
    return d->boxes[Private::slot(n)];
}

bool Quillbox::isNoteLoaded(int n) const
{
    return d->notes.isLoaded(n);
}

RichTextBox *Quillbox::loadedEditor(int n) const
{
    return isNoteLoaded(n) ? d->boxes[Private::slot(n)] : nullptr;
}

RichTextBox *Quillbox::boxOf(int n) const
{
    return NoteTabs::isNote(n) ? d->boxes[Private::slot(n)] : nullptr;
}

LockedNotePanel *Quillbox::lockedPanel(int n) const
{
    return NoteTabs::isNote(n) ? d->lockedPanel(n) : nullptr;
}

RichTextBox *Quillbox::ActiveEditor() const
{
    return editor(d->active);
}

RichTextBox *Quillbox::editorInView() const
{
    return isPanelVisible(d->active) ? ActiveEditor() : nullptr;
}

bool Quillbox::isPanelVisible(int n) const
{
    return NoteTabs::isNote(n) && !d->stack->isHidden() && d->stack->currentIndex() == n - 1;
}

QString Quillbox::notePath(int n) const
{
    return d->notes.path(n);
}

QString Quillbox::noteCaption(int n) const
{
    return d->noteCaption(n);
}

const NoteHistory &Quillbox::noteHistory() const
{
    return d->notes.history();
}

bool Quillbox::NoteChanged(int n) const
{
    return d->notes.isChanged(n);
}

void Quillbox::setNoteChanged(int n, bool changed)
{
    d->notes.setChanged(n, changed);
}

void Quillbox::FocusVisibleEditor()
{
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (isPanelVisible(n)) {
            // A note still being read, or locked: what stands in for it holds the keyboard.
            d->keyboardHolder(n)->setFocus(Qt::OtherFocusReason);
        }
    }
}

void Quillbox::rebuildTabStrip(const std::array<TabChoice, 7> &tabs)
{
    d->applyTabStrip(TabStripBuilder::build([&tabs](int n, QString *shown, QString *caption) {
        const TabChoice &choice = tabs[Private::slot(n)];
        *shown = choice.shown ? QStringLiteral("YES") : QStringLiteral("NO");
        *caption = choice.caption;
    }));
}

void Quillbox::setSoundOff(bool off)
{
    d->soundOff = off;
}

void Quillbox::setLaunchCommandsVisible(bool visible)
{
    for (const QString &name : MenuTree::launchItems())
        menuItem(name)->setVisible(visible);
    d->commandBar->setApplicationButtonsVisible(visible);
}

void Quillbox::changeNoteDirectory(const QString &dir)
{
    const QStringList kept = d->notes.changeDirectory(dir, d->active);
    d->showLoadingOfNotes();
    d->reportUnreadable(d->notes.takeUnreadable());
    if (!kept.isEmpty()) {
        Dialogs::message(
            this, QStringLiteral("Quillbox Plus"),
            QStringLiteral("These notes could not be saved to the old note directory. Copies were "
                           "kept here:\n\n%1")
                .arg(kept.join(QLatin1Char('\n'))),
            QMessageBox::Warning);
    }
}

void Quillbox::keepBeforeReplacing(const QString &path)
{
    d->notes.keepBeforeReplacing(path);
}

void Quillbox::selectFirstTab()
{
    if (d->tabs->count() == 0)
        return;
    const QSignalBlocker block(d->tabs);
    d->tabs->setCurrentIndex(0);
    d->showNoteOfTab(0);
}

void Quillbox::switchToFirstTab()
{
    if (d->tabs->count() == 0)
        return;
    const QSignalBlocker block(d->tabs);
    d->tabs->setCurrentIndex(0);
    d->tabSelected(0);
}

void Quillbox::showStatus(const QString &message, int timeoutMs)
{
    statusBar()->showMessage(message, timeoutMs);
    // A message longer than the status bar is cut there: the whole of it is its tooltip, and
    // the notice bar shows it until the next message takes its place.
    statusBar()->setToolTip(message);
    const int room = statusBar()->width() - 2 * statusBar()->fontMetrics().averageCharWidth() - 16;
    if (!message.isEmpty() && statusBar()->fontMetrics().horizontalAdvance(message) > room)
        d->noticeBar->show(QStringLiteral("status"), message);
    else
        d->noticeBar->dismiss(QStringLiteral("status"));
}

void Quillbox::showNotice(const QString &event, const QString &text, const QString &actionText,
                          std::function<void()> action)
{
    d->noticeBar->dismiss(QStringLiteral("status"));
    statusBar()->showMessage(text.simplified());
    statusBar()->setToolTip(text);
    d->noticeBar->show(event, text, actionText, std::move(action));
}

void Quillbox::dismissNotice(const QString &event)
{
    d->noticeBar->dismiss(event);
}

QStringList Quillbox::notices() const
{
    return d->noticeBar->texts();
}

void Quillbox::CenterMe()
{
    d->placeWindow(WindowGeometry::centred(d->outerGeometry().size(), d->screenRect()));
}

void Quillbox::bringBack()
{
    // The window is not ready before start-up is over; what start-up shows comes forward instead.
    if (d->startup.isRunning()) {
        StartupPhase::bringForward();
        return;
    }
    d->heldShow = nullptr; // start-up's own first show is overtaken
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    // In front of other programs' windows but not kept there: the next paint applies "OnTop".
    d->applyOnTop(false);
    // Activated once the events of this click are handled: when the click also opens the tray
    // menu, activating the window under the open menu would close the menu again at once.
    d->activationPending = true;
    QTimer::singleShot(0, this, [this] {
        if (d->activationPending)
            activateWindow();
        d->activationPending = false;
    });
}

void Quillbox::toggleFromOutside()
{
    if (!isVisible() || isMinimized() || !isActiveWindow()) {
        bringBack();
        FocusVisibleEditor();
        return;
    }
    if (TrayIcon::isAvailable())
        hide();
    else
        showMinimized();
}

void Quillbox::comeForward()
{
    if (d->startup.isRunning()) {
        d->startup.requestWindow();
        StartupPhase::bringForward();
        return;
    }
    bringBack();
}

bool Quillbox::endedDuringStartUp() const
{
    return d->startup.endRequested();
}

void Quillbox::commitData()
{
    d->notes.saveChanged();
}

void Quillbox::shutdown()
{
    if (d->startup.isRunning()) {
        d->startup.requestEnd();
        return;
    }
    if (d->shutDown)
        return;
    d->shutDown = true;
    qCInfo(lcApp) << "shutting down";
    d->tray->DeleteIcon();

    d->notes.close();

    d->storePlaceAndSize();
    unregisterAutoCompletion(*this);
    if (d->quitsOnShutdown)
        QCoreApplication::exit(0);
}

bool Quillbox::event(QEvent *event)
{
    // The stored "OnTop" is applied at every paint; the window's flags change only when the
    // state differs, so painting never makes the window flicker.
    if (event->type() == QEvent::Paint && !d->shutDown)
        d->applyOnTop(d->onTop.readAndNormalise());
    const bool handled = QMainWindow::event(event);
    // The notes held back at start-up come in once this first paint is on the screen.
    if (event->type() == QEvent::Paint && d->loadingHeld)
        QTimer::singleShot(0, this, [this] { d->releaseLoading(); });
    // Coming into view, the window gets the place and size it was given while out of view.
    if (event->type() == QEvent::Show)
        d->noteFrame();
    return handled;
}

void Quillbox::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        // Back from the task bar or the tray, the window gets the place and size held back.
        d->noteFrame();
        d->applyResizeRules();
    }
}

void Quillbox::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    d->noteFrame();
    d->applyResizeRules();
}

void Quillbox::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    d->noteFrame();
}

void Quillbox::mouseReleaseEvent(QMouseEvent *event)
{
    // Only a release over the window's bare surface remembers the place, not one over a control.
    QWidget *under = childAt(event->position().toPoint());
    if ((!under || under == centralWidget()) && !d->shutDown) {
        const WindowGeometry g = d->converter();
        const QPoint place = d->outerGeometry().topLeft();
        settings().SaveSettingValue(SettingKey::CoordsX, g.xToTwips(place.x()));
        settings().SaveSettingValue(SettingKey::CoordsY, g.yToTwips(place.y()));
    }
    QMainWindow::mouseReleaseEvent(event);
}

void Quillbox::closeEvent(QCloseEvent *event)
{
    // Closing the window always ends the program, never just hides it.
    shutdown();
    QMainWindow::closeEvent(event);
}
