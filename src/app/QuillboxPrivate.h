#pragma once

#include "NoteSet.h"
#include "OnTopRule.h"
#include "Quillbox.h"
#include "StartupPhase.h"
#include "TabStripBuilder.h"
#include "WindowGeometry.h"
#include "WindowPlacement.h"

#include <QHash>
#include <QMargins>
#include <QSize>

#include <array>
#include <functional>

class CommandToolbar;
class LockedNotePanel;
class FormatToolbar;
class QLabel;
class NoticeBar;
class QStackedWidget;

// The main window's state and the steps its public operations share.
struct Quillbox::Private
{
    Private(Quillbox *window, SettingsStore &store, Platform &services);

    static size_t slot(int n) { return static_cast<size_t>(n - 1); }

    void buildWidgets();
    void connectNote(int n);

    // Tabs.
    void applyTabStrip(const TabStripBuilder::Plan &plan);
    void enableNoteCommands(bool on);
    void tabSelected(int index);
    void showNoteOfTab(int index);
    void playTabSound();
    QString noteCaption(int n) const;

    // The notes. loadNotes() starts reading all seven, note first before the others; each shows
    // "Loading…" until it is in. At start-up the reading waits for releaseLoading(), once the
    // window is painted.
    void connectNotes();
    void loadNotes(const QString &dir, int first, bool held = false);
    void releaseLoading();
    void noteLoaded(int n);
    void showLoading(int n, bool loading);
    void showLoadingOfNotes();
    // A locked note shows its panel in place of its editor until it is unlocked; the commands
    // that act on the note in view go with it.
    void showSealed(int n);
    void enableCommandsOfNoteInView();
    QWidget *keyboardHolder(int n); // the editor, or what stands in for it
    LockedNotePanel *lockedPanel(int n); // made the first time it is asked for
    void reportUnreadable(const QStringList &files);
    // Start-up: the recovery copies a crash left are offered back, each with a question (a
    // locked note's once it is unlocked).
    void offerRecovery(int only = 0);

    // Geometry.
    WindowGeometry converter() const;
    QRect screenRect() const;
    WindowPlacement::Shown shown() const;
    QMargins frameMargins() const;
    bool frameFinal() const;
    void noteFrame();
    void placeWindow(const QPoint &outerPlace);
    void sizeWindow(const QSize &outer);
    void applyWantedGeometry();
    QRect outerGeometry() const;
    // Start-up's first show, once the window manager has told the frame it is asked for.
    void showWhenFramed(std::function<void()> show);
    void releaseHeldShow();
    void updateMinimumSize();
    void applyResizeRules();
    void trayAvailabilityChanged(bool available);
    void applyOnTop(bool on);
    void storePlaceAndSize();

    Quillbox *q;
    SettingsStore *settings;
    Platform *platform;
    OnTopRule onTop;
    NoteSet notes;
    StartupPhase startup;
    bool startingUp = false;
    bool loadingHeld = false; // the notes wait for the window's first paint

    QHash<QString, QAction *> items;
    QHash<QString, QMenu *> menus;
    CommandToolbar *commandBar = nullptr;
    FormatToolbar *formatBar = nullptr;
    QComboBox *fontName = nullptr;
    QComboBox *fontSize = nullptr;
    QTabBar *tabs = nullptr;
    NoticeBar *noticeBar = nullptr;
    QStackedWidget *stack = nullptr;
    std::array<QWidget *, 7> panels{};
    std::array<RichTextBox *, 7> boxes{};
    std::array<QLabel *, 7> loadingLabels{};
    std::array<LockedNotePanel *, 7> lockedPanels{}; // in place of a locked note's editor, once locked
    TrayIcon *tray = nullptr;

    int active = 1;
    bool soundOff = false;
    // Where the caret and the view of a note were while it follows its file, changed elsewhere.
    struct View
    {
        int anchor = 0;
        int position = 0;
        int vertical = 0;
        int horizontal = 0;
    };
    View reloadedView;

    QMargins knownFrame; // the frame the smallest size was set for
    WindowPlacement placement;
    std::function<void()> heldShow; // start-up's first show, waiting for the frame
    bool shownNormal = false;       // seen on screen, not minimised, since start-up
    bool inResizeRules = false;
    bool trayMissingTold = false;
    bool activationPending = false;
    bool quitsOnShutdown = false;
    bool shutDown = false;
};
