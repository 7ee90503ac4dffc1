#pragma once

#include "NoteFiles.h"
#include "NoteLoader.h"
#include "NoteSafety.h"
#include "OnTopRule.h"
#include "Quillbox.h"
#include "StartupPhase.h"
#include "TabStripBuilder.h"
#include "WindowGeometry.h"

#include <QHash>
#include <QSize>

#include <array>
#include <optional>

class CommandToolbar;
class FormatToolbar;
class QLabel;
class NoticeBar;
class QStackedWidget;
class QTimer;

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

    // Note files. loadNotes() starts reading all seven, note first before the others; each
    // shows "Loading…" until it is in. Notes whose file could not be read gather in unreadable.
    // At start-up the reading waits for releaseLoading(), once the window is painted.
    void loadNotes(int first, bool held = false);
    void releaseLoading();
    void noteRead(int n, NoteFiles::Read &&read);
    void showLoading(int n, bool loading);
    void reportUnreadable(const QStringList &files);
    bool writeNote(int n);
    void writeChangedNotes();
    void reportWriteFailure(int n, const QString &why);
    void retryFailedWrites();
    void checkNoteDirectory();

    // Geometry.
    WindowGeometry converter() const;
    QRect screenRect() const;
    void noteFrame();
    void watchForFrame();
    bool atWantedGeometry() const;
    void placeWindow(const QPoint &outerPlace);
    void sizeWindow(const QSize &outer);
    void applyWantedGeometry();
    QRect outerGeometry() const;
    void updateMinimumSize();
    void applyResizeRules();
    void trayAvailabilityChanged(bool available);
    void applyOnTop(bool on);
    void storePlaceAndSize();

    Quillbox *q;
    SettingsStore *settings;
    Platform *platform;
    OnTopRule onTop;
    NoteFiles files;
    NoteSafety safety;
    StartupPhase startup;
    NoteLoader loader;
    QStringList unreadable; // notes read since the last report whose file could not be read
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
    TrayIcon *tray = nullptr;

    QString noteDir;
    int active = 1;
    bool soundOff = false;
    std::array<bool, 7> changed{};
    std::array<QString, 7> failureTold{}; // the notice of a failed save, until one succeeds
    QTimer *retryWrites = nullptr;
    static constexpr int RetryWritesMs = 3000;

    QSize frameExtra{0, 0}; // what the window manager's frame adds to the window's size
    bool frameKnown = false;
    // The outer place and size start-up or the off-screen rescue gave the window. Until the window
    // manager has framed it, Qt cannot tell the frame from the inside, so they are set again once
    // the frame is known, and they stand for the window's place and size until it is there.
    std::optional<QPoint> wantedPlace;
    QSize wantedSize;
    bool geometryPending = false;
    std::optional<QSize> appliedFrame; // the frame they were last set for
    QTimer *frameWatch = nullptr;
    int frameChecks = 0;
    int settledChecks = 0;
    bool shownNormal = false; // seen on screen, not minimised, since start-up
    bool inResizeRules = false;
    bool trayMissingTold = false;
    bool activationPending = false;
    bool quitsOnShutdown = false;
    bool shutDown = false;
};
