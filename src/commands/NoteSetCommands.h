#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class NoteWindow;
class SettingsStore;

// New, Open, Save Copy As and Clear: the File-menu commands that act on the note of the shown
// tab. They change the editor box and clear the tab's changed flag; the note files themselves
// are written by the window's save points, never here.
class NoteSetCommands final
{
public:
    using Clock = std::function<QDateTime()>;

    NoteSetCommands(NoteWindow &window, SettingsStore &settings, Clock clock = &QDateTime::currentDateTime);

    // Offers to save a copy, then empties the shown note and gives it the default font.
    void NewNotes();
    // Offers to save a copy, then appends a chosen RTF or text file to the shown note.
    void OpenIntoNotes();
    // Writes the shown note as RTF to a file the user picks. True when the copy was written;
    // false when the user cancelled or the file could not be written (the user is told).
    bool SaveNotesCopy();
    // Offers to save a copy, then empties the shown note, keeping its font.
    void ClearNotes();

    // "Notes from Monday - 9-05a": weekday, 12-hour clock without leading zero, two-digit
    // minutes and a/p. Always English, whatever the desktop's language, so the name is the same
    // everywhere the note set is shared.
    static QString defaultCopyName(const QDateTime &when);

    // The file last added by Open; the next Open dialog starts there.
    QString lastOpenedFile() const { return m_lastOpened; }

    static const QString &fileFilter();

private:
    // Asks the question of New, Clear or Open; on Yes runs Save Copy As. Returns false only when
    // a copy was asked for and not written, which New and Clear take as "stop".
    // Asks whether to save a copy first, and makes it on Yes. Esc, the window's close control and
    // Cancel cancel the question, and with it the whole command.
    enum class Copy { Made, NotWanted, DialogCancelled, QuestionCancelled };
    Copy offerCopy(const QString &question);
    void emptyVisibleNotes(bool applyDefaultFont);

    NoteWindow &m_window;
    SettingsStore &m_settings;
    Clock m_clock;
    QString m_lastOpened;
};
