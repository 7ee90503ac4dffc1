#pragma once

#include <functional>

class RichTextBox;

// How the editing commands reach the note boxes without knowing the main window: the box of the
// selected tab (ActiveEditor), the box whose tab is in view, and FocusVisibleEditor.
struct EditorAccess
{
    std::function<RichTextBox *()> active;
    std::function<RichTextBox *()> shown;
    std::function<void()> focusShown;

    RichTextBox *activeBox() const { return active ? active() : nullptr; }
    RichTextBox *shownBox() const { return shown ? shown() : nullptr; }
    void focusShownBox() const
    {
        if (focusShown)
            focusShown();
    }
};
