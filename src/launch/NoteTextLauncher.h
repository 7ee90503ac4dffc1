#pragma once

#include <QString>

class Launchers;
class QWidget;
class RichTextBox;

// A double-click in a note picks out the whole item around the click (a word, a web or e-mail
// address, a phone number), copies it, and in the web, e-mail and phone tabs hands it on. What is
// handed on belongs to the tab's position, not its caption: tab 2 opens web addresses whatever
// the user named it.
class NoteTextLauncher final
{
public:
    explicit NoteTextLauncher(Launchers &launchers);

    // The characters that end an item in note tab 1..7 (line breaks always do).
    static QString delimiters(int tab);

    // Selects the longest run of non-delimiters that holds the start of the current selection.
    static void SelectDelimitedItem(RichTextBox &box, const QString &delimiters);

    // Puts the selection on the clipboard as plain text and as RTF.
    static void CopySelectionToClipboard(const RichTextBox &box);

    // The double-click handler of note tab 1..7's box.
    void launchFromNote(QWidget *owner, RichTextBox &box, int tab);

private:
    void openWebItem(QWidget *owner, const QString &item);
    void composeToItem(QWidget *owner, const QString &item);
    void dialItem(QWidget *owner, const QString &item);

    Launchers &m_launchers;
};
