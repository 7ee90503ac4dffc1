#pragma once

#include <QString>

#include <array>

class SettingsStore;

// One of the seven fixed notes. Its editor box is TextN inside panel PictureN; its tab carries
// the note number as its tag, so tab switching never depends on a tab's position in the strip.
struct NoteTab
{
    int number = 0;
    QString fileName;             // "notes.rtf", ...
    QString defaultCaption;       // "Notes", ...
    bool shownWhenAbsent = false; // tabs 6 and 7 stay hidden unless the user shows them
    bool hasImage = false;        // only tabs 1 to 5 have a tab image

    QString captionKey() const; // "Tab1C" ...
    QString shownKey() const;   // "Tab1" ...
    QString iconName() const;   // "tab1" ... "tab5"; empty for tabs 6 and 7
};

namespace NoteTabs {

inline constexpr int Count = 7;

// The seven notes in tab order; n counts from 1.
const std::array<NoteTab, Count> &all();
const NoteTab &tab(int n);
bool isNote(int n);

// The note directory: the "Network" setting trimmed when it is not blank, else the program's own
// directory.
QString noteDirectory(const SettingsStore &settings);

// The note directory and the file name joined as they are: a directory that already ends in a
// separator gives a doubled one, which the file system accepts.
QString notePath(const QString &noteDir, int n);

// A tab strip takes "&" for an access key; a caption such as "R&D notes" is shown as typed by
// doubling it on the strip, and read back from the strip with it single again.
QString stripText(const QString &caption);
QString captionFromStrip(const QString &text);

} // namespace NoteTabs
