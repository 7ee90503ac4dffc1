#pragma once

#include "NoteSearch.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QHash>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextDocument;

// "Search All Notes": a search field and a live list of the matches in every shown note. The
// search runs on a worker thread, at most once per pause in typing, so typing in the field or in
// a note never waits for it, even over seven big notes. Going to a match closes it.
class SearchAllNotesDialog final : public QDialog
{
    Q_OBJECT
public:
    struct ShownNote
    {
        int number = 0;
        QString caption;
        QTextDocument *document = nullptr; // none: the note is locked, and not searched
    };
    struct Hooks
    {
        std::function<QList<ShownNote>()> shownNotes; // in tab order
        // Switches to the note's tab, selects the match and puts the keyboard there; false when
        // the note cannot be shown.
        std::function<bool(int note, int position, int length)> goTo;
    };

    // How long typing must pause before the next search starts.
    static constexpr int DelayMs = 150;

    explicit SearchAllNotesDialog(Hooks hooks, QWidget *parent = nullptr);
    ~SearchAllNotesDialog() override;

    // Opens the dialog over the window (or brings the open one forward).
    static SearchAllNotesDialog *open(QWidget *window, Hooks hooks);

    QLineEdit *searchField() const { return m_field; }
    QListWidget *matchList() const { return m_list; }
    int searchesStarted() const { return m_searchesStarted; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleSearch();
    void startSearch();
    void searchFinished();
    void goToItem(QListWidgetItem *item);
    QList<NoteSearch::Note> snapshot();

    Hooks m_hooks;
    QLineEdit *m_field;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QListWidget *m_list;
    QLabel *m_status;
    QTimer m_delay;
    QFutureWatcher<NoteSearch::Result> m_watcher;
    std::shared_ptr<std::atomic_bool> m_cancel;
    bool m_rerun = false;       // the term changed while a search was running
    bool m_goWhenFound = false; // Enter came before the search ended
    int m_searchesStarted = 0;

    // The plain text of each note, taken again only when its document has changed.
    int m_lockedSkipped = 0; // in the notes of the last search
    struct Cached
    {
        QPointer<QTextDocument> document;
        int revision = -1;
        QString text;
    };
    QHash<int, Cached> m_texts;
};
