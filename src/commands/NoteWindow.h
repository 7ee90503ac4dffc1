#pragma once

class QTabBar;
class QWidget;
class RichTextBox;

// What the note-set commands and printing need of the main window. The window offers it through a
// small adapter; tests offer seven boxes and a tab strip of their own.
class NoteWindow
{
public:
    virtual ~NoteWindow() = default;

    virtual RichTextBox *editor(int n) const = 0; // note boxes 1..7
    virtual RichTextBox *ActiveEditor() const = 0;
    virtual bool isPanelVisible(int n) const = 0; // the container of note n is the one in view
    virtual void setNoteChanged(int n, bool changed) = 0;
    virtual void FocusVisibleEditor() = 0;
    virtual QTabBar *tabStrip() const = 0; // each tab's data is its note number
    // The top-level window: parent of our dialogs and owner of the title shown while printing.
    virtual QWidget *window() const = 0;
    // A file is about to be replaced by a command (Save Copy As): when it is one of the note
    // files, its version goes to the note's history first.
    virtual void keepBeforeReplacing(const QString &path) { Q_UNUSED(path) }
    // Note n is locked and not open: its tab shows no text, and nothing of it is printed.
    virtual bool isSealed(int n) const { Q_UNUSED(n) return false; }
};
