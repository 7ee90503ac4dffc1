#include "SearchAllNotesDialog.h"

#include "SearchMatchDelegate.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace {
QPointer<SearchAllNotesDialog> s_open;
} // namespace

SearchAllNotesDialog::SearchAllNotesDialog(Hooks hooks, QWidget *parent)
    : QDialog(parent), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("SearchAllNotes"));
    setWindowTitle(QStringLiteral("Search All Notes"));

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd:"));
    m_field = new QLineEdit;
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setAccessibleName(QStringLiteral("Find"));
    m_field->setClearButtonEnabled(true);
    findLabel->setBuddy(m_field);
    m_matchCase = new QCheckBox(QStringLiteral("Match &Case"));
    m_wholeWord = new QCheckBox(QStringLiteral("&Whole Word"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("matchList"));
    m_list->setAccessibleName(QStringLiteral("Matches"));
    m_list->setItemDelegate(new SearchMatchDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_status = new QLabel;
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    // Enter goes to a match, never to the Close button.
    for (QAbstractButton *b : buttons->buttons())
        if (auto *push = qobject_cast<QPushButton *>(b)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }

    auto *fieldRow = new QHBoxLayout;
    fieldRow->addWidget(findLabel);
    fieldRow->addWidget(m_field, 1);
    auto *optionRow = new QHBoxLayout;
    optionRow->addWidget(m_matchCase);
    optionRow->addWidget(m_wholeWord);
    optionRow->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fieldRow);
    layout->addLayout(optionRow);
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);
    resize(560, 360);

    m_delay.setSingleShot(true);
    m_delay.setInterval(DelayMs);
    connect(&m_delay, &QTimer::timeout, this, &SearchAllNotesDialog::startSearch);
    connect(m_field, &QLineEdit::textChanged, this, &SearchAllNotesDialog::scheduleSearch);
    connect(m_matchCase, &QCheckBox::toggled, this, &SearchAllNotesDialog::scheduleSearch);
    connect(m_wholeWord, &QCheckBox::toggled, this, &SearchAllNotesDialog::scheduleSearch);
    connect(&m_watcher, &QFutureWatcher<NoteSearch::Result>::finished, this,
            &SearchAllNotesDialog::searchFinished);
    connect(m_list, &QListWidget::itemActivated, this, &SearchAllNotesDialog::goToItem);
    // Enter in the field goes to the chosen match, or the first one.
    // Enter straight after typing waits for the search of what was typed, then goes to its first
    // match.
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (m_delay.isActive() || m_watcher.isRunning()) {
            m_goWhenFound = true;
            m_delay.stop();
            startSearch();
            return;
        }
        QListWidgetItem *item = m_list->currentItem() ? m_list->currentItem() : m_list->item(0);
        if (item)
            goToItem(item);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The arrow keys in the field walk the list, so the hand need not leave the keyboard.
    m_field->installEventFilter(this);
}

SearchAllNotesDialog::~SearchAllNotesDialog()
{
    if (m_cancel)
        m_cancel->store(true);
    m_watcher.waitForFinished();
}

SearchAllNotesDialog *SearchAllNotesDialog::open(QWidget *window, Hooks hooks)
{
    if (!s_open) {
        s_open = new SearchAllNotesDialog(std::move(hooks), window);
        s_open->setAttribute(Qt::WA_DeleteOnClose); // forgets everything once closed
    }
    s_open->show();
    s_open->raise();
    s_open->activateWindow();
    s_open->m_field->setFocus();
    s_open->m_field->selectAll();
    return s_open;
}

bool SearchAllNotesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SearchAllNotesDialog::scheduleSearch()
{
    // Restarted by every keystroke: one search per pause, however fast the typing.
    m_delay.start();
}

QList<NoteSearch::Note> SearchAllNotesDialog::snapshot()
{
    QList<NoteSearch::Note> notes;
    m_lockedSkipped = 0;
    if (!m_hooks.shownNotes)
        return notes;
    for (const ShownNote &shown : m_hooks.shownNotes()) {
        if (!shown.document) {
            ++m_lockedSkipped;
            continue;
        }
        Cached &cached = m_texts[shown.number];
        if (cached.document != shown.document || cached.revision != shown.document->revision()) {
            cached.document = shown.document;
            cached.revision = shown.document->revision();
            cached.text = shown.document->toPlainText();
        }
        notes.append({shown.number, shown.caption, cached.text});
    }
    return notes;
}

void SearchAllNotesDialog::startSearch()
{
    if (m_watcher.isRunning()) {
        // The running search is out of date: stop it and search again once it has ended.
        m_cancel->store(true);
        m_rerun = true;
        return;
    }
    m_rerun = false;
    const QString term = m_field->text();
    if (term.isEmpty()) {
        m_list->clear();
        m_status->clear();
        return;
    }
    NoteSearch::Options options;
    options.matchCase = m_matchCase->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    m_cancel = std::make_shared<std::atomic_bool>(false);
    ++m_searchesStarted;
    m_watcher.setFuture(QtConcurrent::run([notes = snapshot(), term, options, cancel = m_cancel] {
        return NoteSearch::search(notes, term, options, 1000, cancel.get());
    }));
}

void SearchAllNotesDialog::searchFinished()
{
    if (m_rerun) {
        startSearch();
        return;
    }
    const NoteSearch::Result result = m_watcher.result();
    if (result.cancelled)
        return;
    m_list->clear();
    for (const NoteSearch::Match &match : result.matches) {
        auto *item = new QListWidgetItem(QStringLiteral("%1: %2").arg(match.caption, match.line));
        item->setData(SearchMatchDelegate::NoteRole, match.note);
        item->setData(SearchMatchDelegate::PositionRole, match.position);
        item->setData(SearchMatchDelegate::LengthRole, match.length);
        // Where the match sits in the item's text, for the highlight.
        item->setData(SearchMatchDelegate::HighlightRole, int(match.caption.size()) + 2 + match.lineStart);
        m_list->addItem(item);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    if (std::exchange(m_goWhenFound, false) && m_list->count() > 0)
        goToItem(m_list->item(0));
    const qsizetype n = result.matches.size();
    QString found = result.truncated ? QStringLiteral("The first %1 matches").arg(n)
                    : n == 1         ? QStringLiteral("1 match")
                                     : QStringLiteral("%1 matches").arg(n);
    if (m_lockedSkipped > 0) {
        found += m_lockedSkipped == 1
                     ? QStringLiteral("; 1 locked note was not searched")
                     : QStringLiteral("; %1 locked notes were not searched").arg(m_lockedSkipped);
    }
    m_status->setText(found);
}

// The window opens over the notes; left open, it would hide the match from the user whose next
// keys go into it. It closes once the match is selected in its note.
void SearchAllNotesDialog::goToItem(QListWidgetItem *item)
{
    if (!item || !m_hooks.goTo)
        return;
    if (m_hooks.goTo(item->data(SearchMatchDelegate::NoteRole).toInt(),
                     item->data(SearchMatchDelegate::PositionRole).toInt(),
                     item->data(SearchMatchDelegate::LengthRole).toInt()))
        close();
}
