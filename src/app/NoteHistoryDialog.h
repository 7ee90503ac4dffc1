#pragma once

#include "NoteHistory.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class RichTextBox;

// Puts an earlier version into the note as one change that Undo takes back.
void restoreNoteVersion(RichTextBox *box, const QByteArray &rtf);

// The earlier versions of one note with their times, a preview of the one selected, and Restore.
class NoteHistoryDialog final : public QDialog
{
    Q_OBJECT
public:
    NoteHistoryDialog(const NoteHistory &history, const QString &notePath, const QString &caption,
                      QWidget *parent = nullptr);

    QListWidget *versionList() const { return m_list; }
    RichTextBox *preview() const { return m_preview; }
    QPushButton *restoreButton() const { return m_restore; }

signals:
    // The user chose to restore this content (RTF) into the note.
    void restoreRequested(const QByteArray &rtf);

private:
    void showSelected();

    const NoteHistory &m_history;
    QList<NoteHistory::Version> m_versions;
    QListWidget *m_list = nullptr;
    RichTextBox *m_preview = nullptr;
    QPushButton *m_restore = nullptr;
};
