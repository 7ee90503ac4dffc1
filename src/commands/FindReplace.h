#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class RichTextBox;

// The Find and Replace dialog's rules, without the dialog: which caption the Find button shows,
// whether the replace row is shown, whether Replace and Replace All are enabled, the status line
// and the two drop-down lists. Every search uses the box passed in, the active one of the moment.
class FindReplace final
{
public:
    static inline const QString FindCaption = QStringLiteral("&Find");
    static inline const QString FindNextCaption = QStringLiteral("&Find Next");
    static inline const QString ReplaceModeCaption = QStringLiteral("&Replace...");
    static inline const QString ReplaceCaption = QStringLiteral("&Replace");
    static inline const QString NotFound = QStringLiteral("Text not found.");

    // The options passed to RichTextBox::Find: 2 whole word, 4 match case.
    static int options(bool wholeWord, bool matchCase);

    // The dialog opens with the box's selected text as the search text and first list entry.
    void open(const QString &selectedText);

    // Returns true when a match was found and selected.
    bool find(RichTextBox *box, const QString &what, int options);
    // In find mode only switches to replace mode. Returns false with an error text when the
    // note cannot be changed.
    bool replace(RichTextBox *box, const QString &what, const QString &with, int options,
                 QString *error);
    bool replaceAll(RichTextBox *box, const QString &what, const QString &with, int options,
                    QString *error);

    // Replaces every match from the start of the note, left to right, each search resuming after
    // the text just inserted; one undo step. Linear in the note's length. Returns the count.
    static int replaceAllMatches(RichTextBox *box, const QString &what, const QString &with,
                                 int options);

    // What a search looked for, kept after the dialog closes for F3 and Shift+F3 in the note.
    struct Search
    {
        QString what;
        int options = 0;
    };
    // The next match after the selection (or the previous one before it), going round the end
    // of the note; selects it and returns true, or false when the note holds none.
    static bool findAgain(RichTextBox *box, const Search &search, bool backward);

    // Where a window at `window` goes so that it leaves `match` in view: where it is when it does
    // not cover it, else the nearest place above, below, left or right of the match that lies
    // within `screen`. A window that fits nowhere stays. All in screen coordinates.
    static QRect placeClearOf(const QRect &window, const QRect &match, const QRect &screen);

    QString findButtonCaption() const { return m_foundOnce ? FindNextCaption : FindCaption; }
    QString replaceButtonCaption() const { return m_replaceMode ? ReplaceCaption : ReplaceModeCaption; }
    bool replaceMode() const { return m_replaceMode; }
    bool replaceEnabled() const { return m_replaceEnabled; }
    QString status() const { return m_status; }
    QString searchText() const { return m_searchText; }
    const QStringList &findList() const { return m_findList; }
    const QStringList &replaceList() const { return m_replaceList; }

private:
    void notFound();

    bool m_foundOnce = false;
    bool m_replaceMode = false;
    bool m_replaceEnabled = true;
    QString m_status;
    QString m_searchText;
    QStringList m_findList;
    QStringList m_replaceList;
};
