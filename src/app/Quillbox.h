#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QTabBar;
class QToolBar;
class QComboBox;
class RichTextBox;
class LockedNotePanel;
class SettingsStore;
class TrayIcon;
class NoteHistory;
class NoteSet;
struct Platform;

// One row of the tab strip as the preferences dialog sets it: shown or not, and its caption.
struct TabChoice
{
    bool shown = false;
    QString caption; // blank means the tab's default caption
};

// The main window: menus, the command and formatting toolbars, the font boxes and the seven note
// tabs, whose editors show the documents of the note set. It holds the window-level state (the
// active editor, the tab strip) and offers it to the subsystems, whose commands are wired in by
// the app/Wire*.cpp files.
class Quillbox : public QMainWindow
{
    Q_OBJECT
public:
    Quillbox(SettingsStore &settings, Platform &platform, QWidget *parent = nullptr);
    ~Quillbox() override;

    SettingsStore &settings() const;
    Platform &platform() const;
    // The seven notes the tabs show: their documents, files and safety.
    NoteSet &notes() const;

    // A menu item by its name ("new", "printalltext", "setontop", "EditSelectAll", "browser",
    // "sep3", ...) or a top menu ("Filemnu", "editmnu", "apps", "help"); nullptr when unknown.
    QAction *menuItem(const QString &name) const;
    QMenu *menu(const QString &name) const;

    // The command toolbar (Toolbar1) and formatting toolbar (tbToolBar); each button's action has
    // the button's key as its objectName ("Find and Replace", "FPt", ...).
    QToolBar *commandToolbar() const;
    QToolBar *formatToolbar() const;
    QAction *commandButton(const QString &key) const;
    QAction *formatButton(const QString &key) const;
    QComboBox *fontNameBox() const; // cmbFontName
    QComboBox *fontSizeBox() const; // cmbFontSize

    // Note tabs 1..7. The notes come in after the window shows; editor(n) hands over note n with
    // its text, reading it at once when it has not come in yet.
    RichTextBox *editor(int n) const;
    bool isNoteLoaded(int n) const;
    RichTextBox *loadedEditor(int n) const; // nullptr while note n is still being read
    // Note n's box as it stands, reading nothing: still empty while the note is being read (for
    // what follows the note into its box, like spell checking).
    RichTextBox *boxOf(int n) const;
    RichTextBox *ActiveEditor() const;
    RichTextBox *editorInView() const; // ActiveEditor, or nullptr when every tab is hidden
    int activeNote() const;            // the number of ActiveEditor's note
    bool isPanelVisible(int n) const;  // the container of note n is the one in view
    QTabBar *tabStrip() const;         // TabStrip1; each tab's data is its note number
    // What a locked note's tab shows in place of its editor until it is unlocked (made when
    // first asked for).
    LockedNotePanel *lockedPanel(int n) const;
    QString NoteDir() const;
    QString notePath(int n) const;
    QString noteCaption(int n) const; // the caption of note n's tab, or its default caption
    // The earlier versions of the note files, kept each time a file is replaced.
    const NoteHistory &noteHistory() const;
    bool NoteChanged(int n) const;
    void setNoteChanged(int n, bool changed);
    void FocusVisibleEditor();

    // What the preferences dialog applies to the window.
    void rebuildTabStrip(const std::array<TabChoice, 7> &tabs);
    void setSoundOff(bool off);
    void setLaunchCommandsVisible(bool visible);
    // Writes changed notes to the old directory, then switches and loads what the new one holds.
    void changeNoteDirectory(const QString &dir);
    // The file at path is about to be replaced by a command: if it is a note file, its version
    // is kept in that note's history first.
    void keepBeforeReplacing(const QString &path);
    void selectFirstTab();
    // Selects the first tab as the user's click would: the tab sound plays.
    void switchToFirstTab();

    // A short message in the status bar.
    void showStatus(const QString &message, int timeoutMs = 8000);
    // Tells of an event nobody asked for (see NoticeBar) in the status bar and the notice bar
    // above the note, never taking the keyboard; one notice per event.
    void showNotice(const QString &event, const QString &text, const QString &actionText = {},
                    std::function<void()> action = {});
    void dismissNotice(const QString &event);
    QStringList notices() const;

    // Runs the shutdown sequence once (also reached by closing the window). Asked during
    // start-up, it ends start-up at once instead, writing nothing: the notes may not be loaded.
    void shutdown();
    // A session checkpoint: the changed notes are written and the program runs on.
    void commitData();

    // Start-up: everything between process start and showing the window, in its fixed order.
    // False when the start-up password was not given, or the program was asked to end meanwhile
    // (endedDuringStartUp): the process must end at once, writing nothing (not even through
    // shutdown).
    bool startUp();
    bool endedDuringStartUp() const;
    // Shows the window in the state start-up left (or leaves it in the tray when started
    // minimised); the first paint applies "OnTop" again.
    void showAsStarted();
    // Brings the window back from the tray, the task bar or behind other windows, in its normal
    // state and in front; it ends not topmost until the next paint applies "OnTop".
    void bringBack();
    // A left click on the tray icon or the global hot key: the window back, or, when it is the
    // active window already, hidden to the tray (minimised where there is no tray).
    void toggleFromOutside();
    // A later start of the program asks for the window: brought back now, or once start-up is
    // over. During start-up a tray click only brings the password question or splash forward.
    void comeForward();
    // Centres the window on its screen at its current size.
    void CenterMe();
    // The notification-area icon (its menu's About item is wired by the help subsystem).
    TrayIcon *trayIcon() const;
    // Whether shutdown also ends the event loop (the program sets it; tests leave it off).
    void setQuitsOnShutdown(bool quits);
    bool hasShutDown() const;

signals:
    void activeNoteChanged(int n);
    // Start-up has loaded the notes and wants the font boxes filled (once) from note 1.
    void fontBoxesWanted();
    // Setup changed how long locked notes stay open without input (0: until locked by hand).
    void lockAfterMinutesChanged(int minutes);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool runStartUpSteps();

    struct Private;
    std::unique_ptr<Private> d;
};
