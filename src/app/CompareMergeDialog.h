#pragma once

#include "ConflictCopy.h"
#include "NoteHistory.h"
#include "ParagraphDiff.h"

#include <QDialog>

class QLabel;
class QPushButton;
class RichTextBox;

// What to do with a second version of a note.
enum class MergeChoice { KeepMine, KeepTheirs, KeepBoth };

// Puts the choice into the note's box as one change that Undo takes back: Keep Theirs replaces
// the text, Keep Both appends theirs below a separator line naming where it came from, Keep Mine
// leaves the box alone. Returns whether the box changed.
bool mergeIntoNote(RichTextBox *box, const QByteArray &theirsRtf, MergeChoice choice, const QString &from);

// The tab's text and a conflict copy side by side, each named by where it is (the tab may hold
// what the other computer wrote, and the copy what was typed here), the paragraphs that differ
// marked on both sides, and Keep Mine / Keep Theirs / Keep Both.
class CompareMergeDialog final : public QDialog
{
    Q_OBJECT
public:
    // mineRtf: the tab's text now; theirsRtf: the conflict copy, saved by `savedBy` (as
    // ConflictCopy::savedBy names it) at `savedAt`.
    CompareMergeDialog(const QString &caption, const QByteArray &mineRtf, const QByteArray &theirsRtf,
                       const QString &savedBy, const QDateTime &savedAt, QWidget *parent = nullptr);

    RichTextBox *mineView() const { return m_mine; }
    RichTextBox *theirsView() const { return m_theirs; }
    QPushButton *button(MergeChoice choice) const;
    const ParagraphDiff &differences() const { return m_diff; }

signals:
    void chosen(MergeChoice choice);

private:
    void markDifferences();

    RichTextBox *m_mine = nullptr;
    RichTextBox *m_theirs = nullptr;
    QPushButton *m_keepMine = nullptr;
    QPushButton *m_keepTheirs = nullptr;
    QPushButton *m_keepBoth = nullptr;
    ParagraphDiff m_diff;
};
