#include "QuillboxPrivate.h"

#include "AppIcons.h"
#include "AppLog.h"
#include "CommandToolbar.h"
#include "Dialogs.h"
#include "FileHelpers.h"
#include "FormatToolbar.h"
#include "MenuTree.h"
#include "NamedComboBox.h"
#include "NoteStorage.h"
#include "NoteTab.h"
#include "LockedNotePanel.h"
#include "NoticeBar.h"
#include "Platform.h"
#include "ProgramPlaces.h"
#include "RichTextBox.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "TabStripKeys.h"
#include "TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyleOption>
#include <QTabBar>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

namespace {
QString tabIconFile(const QString &iconName)
{
    static const QHash<QString, QString> files = {
        {QStringLiteral("tab1"), QStringLiteral("accessories-text-editor-16.png")},
        {QStringLiteral("tab2"), QStringLiteral("internet-web-browser-16.png")},
        {QStringLiteral("tab3"), QStringLiteral("internet-mail-16.png")},
        {QStringLiteral("tab4"), QStringLiteral("x-office-address-book-16.png")},
        {QStringLiteral("tab5"), QStringLiteral("folder-16.png")},
    };
    return files.value(iconName);
}

// Tabs with the style's padding halved: the five default captions then fit the window's width.
class CompactTabs final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
    // The strip holding the keyboard shows it however the keyboard came there: a click on a tab
    // gives it the keyboard too, and some styles draw the mark only after keyboard moves.
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *tab = qstyleoption_cast<const QStyleOptionTab *>(option);
        if (element == CE_TabBarTabLabel && tab && (tab->state & State_HasFocus)) {
            QStyleOptionTab marked(*tab);
            marked.state |= State_KeyboardFocusChange;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// What the tab strip needs for the tabs a first start shows, each caption whole.
int defaultTabsWidth(QTabBar *like)
{
    QTabBar probe;
    probe.setStyle(like->style());
    probe.setFont(like->font());
    probe.setExpanding(false);
    for (const NoteTab &tab : NoteTabs::all()) {
        const QString iconFile = tabIconFile(tab.iconName());
        if (!iconFile.isEmpty()) // tabs 6 and 7 start hidden
            probe.addTab(appIcon(iconFile), NoteTabs::stripText(tab.defaultCaption));
    }
    return probe.sizeHint().width();
}
} // namespace

Quillbox::Private::Private(Quillbox *window, SettingsStore &store, Platform &services)
    : q(window), settings(&store), platform(&services), onTop(store), notes(store.path(), NoteStorage::plain())
{
    notes.setCaptions([this](int n) { return noteCaption(n); });
    connectNotes();
    // A message gone (its time up, or cleared once its matter is over) takes its tooltip and its
    // notice with it.
    QObject::connect(q->statusBar(), &QStatusBar::messageChanged, q, [this](const QString &message) {
        if (message.isEmpty()) {
            q->statusBar()->setToolTip(QString());
            noticeBar->dismiss(QStringLiteral("status"));
        }
    });
}

// What happens to the notes is shown in the status bar and above the note.
void Quillbox::Private::connectNotes()
{
    QObject::connect(&notes, &NoteSet::loaded, q, [this](int n) { noteLoaded(n); });
    QObject::connect(&notes, &NoteSet::sealed, q, [this](int n) { showSealed(n); });
    QObject::connect(&notes, &NoteSet::unlocked, q, [this](int n) {
        lockedPanel(n)->clear();
        showSealed(n);
        if (q->isPanelVisible(n))
            boxes[slot(n)]->setFocus(Qt::OtherFocusReason);
        // What a crash left of it could not be offered before.
        QTimer::singleShot(0, q, [this, n] { offerRecovery(n); });
    });
    QObject::connect(&notes, &NoteSet::unlockFailed, q,
                     [this](int n, const QString &why) { lockedPanel(n)->showError(why); });
    QObject::connect(&notes, &NoteSet::notice, q,
                     [this](const QString &event, const QString &text) { q->showNotice(event, text); });
    QObject::connect(&notes, &NoteSet::noticeOver, q, &Quillbox::dismissNotice);
    QObject::connect(&notes, &NoteSet::status, q, &Quillbox::showStatus);
    QObject::connect(&notes, &NoteSet::reloading, q, [this](int n) {
        const RichTextBox *box = boxes[slot(n)];
        reloadedView = {box->textCursor().anchor(), box->textCursor().position(),
                        box->verticalScrollBar()->value(), box->horizontalScrollBar()->value()};
    });
    // The caret and the view stay where they were, as far as the note now reaches.
    QObject::connect(&notes, &NoteSet::reloaded, q, [this](int n) {
        RichTextBox *box = boxes[slot(n)];
        const int last = box->document()->characterCount() - 1;
        QTextCursor cursor(box->document());
        cursor.setPosition(std::clamp(reloadedView.anchor, 0, last));
        cursor.setPosition(std::clamp(reloadedView.position, 0, last), QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
        box->verticalScrollBar()->setValue(reloadedView.vertical);
        box->horizontalScrollBar()->setValue(reloadedView.horizontal);
    });
}

void Quillbox::Private::buildWidgets()
{
    MenuTree::build(q->menuBar(), items, menus);

    commandBar = new CommandToolbar(q);
    q->addToolBar(Qt::TopToolBarArea, commandBar);
    q->addToolBarBreak(Qt::TopToolBarArea);

    auto *fontBar = new QToolBar(QStringLiteral("Font"), q);
    fontBar->setObjectName(QStringLiteral("fontBoxes"));
    fontBar->setMovable(false);
    fontName = new NamedComboBox(QStringLiteral("Font name"), fontBar);
    fontName->setObjectName(QStringLiteral("cmbFontName"));
    fontName->setEditable(true);
    fontName->setInsertPolicy(QComboBox::NoInsert);
    fontName->setMinimumContentsLength(16);
    fontSize = new NamedComboBox(QStringLiteral("Font size"), fontBar);
    fontSize->setObjectName(QStringLiteral("cmbFontSize"));
    fontSize->setEditable(true);
    fontSize->setInsertPolicy(QComboBox::NoInsert);
    fontSize->setMinimumContentsLength(3);
    // Their text fields too are named by the job, not by the value they show.
    fontName->lineEdit()->setAccessibleName(QStringLiteral("Font name"));
    fontSize->lineEdit()->setAccessibleName(QStringLiteral("Font size"));
    fontBar->addWidget(fontName);
    fontBar->addWidget(fontSize);
    q->addToolBar(Qt::TopToolBarArea, fontBar);

    formatBar = new FormatToolbar(q);
    q->addToolBar(Qt::TopToolBarArea, formatBar);

    auto *central = new QWidget(q);
    central->setObjectName(QStringLiteral("surface"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(0);
    tabs = new QTabBar(central);
    tabs->setObjectName(QStringLiteral("TabStrip1"));
    // Selecting a tab takes the focus, as clicking a tab did in the original design: that is
    // what makes the note being left write itself back.
    tabs->setFocusPolicy(Qt::StrongFocus);
    tabs->setDrawBase(true);
    tabs->setExpanding(false);
    auto *tabStyle = new CompactTabs(QApplication::style()->name());
    tabStyle->setParent(tabs);
    tabs->setStyle(tabStyle);
    stack = new QStackedWidget(central);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        auto *panel = new QWidget(stack);
        panel->setObjectName(QStringLiteral("Picture%1").arg(n));
        auto *panelLayout = new QVBoxLayout(panel);
        panelLayout->setContentsMargins(1, 3, 1, 3);
        auto *box = new RichTextBox(panel);
        box->setObjectName(QStringLiteral("Text%1").arg(n));
        // Stands in for the note while its file is still being read.
        auto *loading = new QLabel(QStringLiteral("Loading…"), panel);
        loading->setObjectName(QStringLiteral("Loading%1").arg(n));
        loading->setAlignment(Qt::AlignCenter);
        loading->setAutoFillBackground(true);
        loading->setBackgroundRole(QPalette::Base);
        // Holds the keyboard for the note, which takes it over once it is in.
        loading->setFocusPolicy(Qt::StrongFocus);
        loading->hide();
        panelLayout->addWidget(loading);
        panelLayout->addWidget(box);
        loadingLabels[slot(n)] = loading;
        stack->addWidget(panel);
        panels[slot(n)] = panel;
        boxes[slot(n)] = box;
        // The box shows the note's document, which the note set owns.
        box->showDocument(notes.document(n), notes.paragraphs(n));
        connectNote(n);
    }
    noticeBar = new NoticeBar(central);
    layout->addWidget(tabs);
    layout->addWidget(noticeBar);
    layout->addWidget(stack, 1);
    q->setCentralWidget(central);
    QObject::connect(tabs, &QTabBar::currentChanged, q, [this](int index) { tabSelected(index); });
    new TabStripKeys(tabs, q, [this](bool typing) -> QWidget * {
        if (tabs->count() == 0)
            return nullptr;
        if (typing && !notes.isSealed(active))
            return q->editor(active);
        return keyboardHolder(active);
    });

    // The design size, 7245 x 5805 twips outside, is also the smallest the window may become. A
    // first start opens it wider when the desktop's font needs more room for the toolbars' buttons
    // or the default tabs' captions, so that all of them are in view.
    const WindowGeometry g = converter();
    const QSize design = g.toPixels(QSize(WindowGeometry::MinWidth, WindowGeometry::MinHeight));
    const QMargins margins = layout->contentsMargins();
    const int content =
        std::max({commandBar->sizeHint().width(), fontBar->sizeHint().width() + formatBar->sizeHint().width(),
                  defaultTabsWidth(tabs) + margins.left() + margins.right()});
    // A few pixels beyond the toolbars' own hint: their layout keeps a margin of its own.
    sizeWindow(design.expandedTo(QSize(content + 12, 0)));
    updateMinimumSize();
}

void Quillbox::Private::connectNote(int n)
{
    // Leaving a note is a save point.
    QObject::connect(boxes[slot(n)], &RichTextBox::LostFocus, q, [this, n] { notes.save(n); });
}

void Quillbox::Private::applyTabStrip(const TabStripBuilder::Plan &plan)
{
    {
        const QSignalBlocker block(tabs);
        while (tabs->count() > 0)
            tabs->removeTab(0);
        for (const TabStripBuilder::Tab &tab : plan.tabs) {
            const QString iconFile = tabIconFile(tab.iconName);
            const QString text = NoteTabs::stripText(tab.caption);
            const int index = iconFile.isEmpty() ? tabs->addTab(text) : tabs->addTab(appIcon(iconFile), text);
            tabs->setTabData(index, tab.note);
            // A screen reader names each note after its tab.
            if (NoteTabs::isNote(tab.note))
                boxes[slot(tab.note)]->setAccessibleName(tab.caption);
        }
    }
    // Exactly one panel is in view, that of the selected tab: the active note's tab when it is
    // still there, else the first tab. With no tab at all, no note is shown.
    stack->setHidden(plan.tabs.isEmpty());
    enableNoteCommands(!plan.tabs.isEmpty() && !notes.isSealed(active));
    int index = 0;
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabData(i).toInt() == active)
            index = i;
    }
    if (tabs->count() > 0) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentIndex(index);
        showNoteOfTab(index);
    }
}

void Quillbox::Private::enableNoteCommands(bool on)
{
    // The commands that act on the note in view: with every tab hidden there is none, and they
    // must not reach a hidden note. The font boxes go too, or typing would land in them.
    static const char *const menuItems[] = {
        "new",           "open",           "saveas", "notehistory", "clear",     "print",   "printalltext",
        "EditSelectAll", "copy",           "paste",  "cut",         "font",      "boldmnu", "italicmnu",
        "underlinemnu",  "setdefaultfont", "find",   "Insert",      "pasteplain"};
    static const char *const buttons[] = {"New", "Open", "SaveAs", "Print", "Clear",           "InsertTime",
                                          "Cut", "Copy", "Paste",  "Font",  "Find and Replace"};
    for (const char *name : menuItems) {
        if (QAction *item = items.value(QString::fromLatin1(name)))
            item->setEnabled(on);
    }
    for (const char *key : buttons) {
        if (QAction *button = commandBar->button(QString::fromLatin1(key)))
            button->setEnabled(on);
    }
    for (QAction *button : formatBar->actions())
        button->setEnabled(on);
    // Undo and Redo follow the shown note's history once a tab is shown again.
    if (!on) {
        for (const char *name : {"undo", "redo"}) {
            if (QAction *item = items.value(QString::fromLatin1(name)))
                item->setEnabled(false);
        }
    }
    fontName->setEnabled(on);
    fontSize->setEnabled(on);
}

void Quillbox::Private::tabSelected(int index)
{
    if (index < 0)
        return;
    playTabSound();
    showNoteOfTab(index);
}

void Quillbox::Private::showNoteOfTab(int index)
{
    bool ok = false;
    const int n = tabs->tabData(index).toInt(&ok);
    if (!ok || !NoteTabs::isNote(n))
        return; // a tab without a note number changes nothing
    active = n;
    stack->setCurrentIndex(n - 1);
    enableCommandsOfNoteInView();
    emit q->activeNoteChanged(n);
}

void Quillbox::Private::playTabSound()
{
    if (soundOff)
        return;
    // A "vek.wav" of the user's own beside the program replaces the one we ship.
    const QString own = ProgramPlaces::programDirectory() + QStringLiteral("/vek.wav");
    const QString shipped = ProgramPlaces::dataDirectory() + QStringLiteral("/sounds/vek.wav");
    if (FileExists(own))
        platform->sound->playAsync(own);
    else if (FileExists(shipped))
        platform->sound->playAsync(shipped);
}

QString Quillbox::Private::noteCaption(int n) const
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabData(i).toInt() == n)
            return NoteTabs::captionFromStrip(tabs->tabText(i));
    }
    return NoteTabs::tab(n).defaultCaption;
}

void Quillbox::Private::loadNotes(const QString &dir, int first, bool held)
{
    loadingHeld = held;
    notes.load(dir, first, held);
    showLoadingOfNotes();
}

void Quillbox::Private::releaseLoading()
{
    if (std::exchange(loadingHeld, false))
        notes.releaseLoading();
}

void Quillbox::Private::noteLoaded(int n)
{
    RichTextBox *box = boxes[slot(n)];
    if (box->document() != notes.document(n))
        box->showDocument(notes.document(n), notes.paragraphs(n));
    showLoading(n, false);
    // Start-up tells of unreadable notes at its end; later ones once all are in.
    if (!startingUp && !notes.isLoading()) {
        const QStringList files = notes.takeUnreadable();
        if (!files.isEmpty())
            QTimer::singleShot(0, q, [this, files] { reportUnreadable(files); });
    }
}

void Quillbox::Private::showLoadingOfNotes()
{
    for (int n = 1; n <= NoteTabs::Count; ++n)
        showLoading(n, !notes.isLoaded(n));
}

void Quillbox::Private::showLoading(int n, bool loading)
{
    const bool waitedForByKeyboard = q->focusWidget() == loadingLabels[slot(n)];
    const bool sealed = notes.isSealed(n);
    loadingLabels[slot(n)]->setVisible(loading && !sealed);
    if (sealed)
        lockedPanel(n)->show();
    else if (lockedPanels[slot(n)])
        lockedPanels[slot(n)]->hide();
    boxes[slot(n)]->setVisible(!loading && !sealed);
    boxes[slot(n)]->setReadOnly(loading || sealed);
    if (!loading && waitedForByKeyboard)
        keyboardHolder(n)->setFocus(Qt::OtherFocusReason);
}

void Quillbox::Private::showSealed(int n)
{
    const bool hadKeyboard = q->isPanelVisible(n) && q->focusWidget() &&
                             panels[slot(n)]->isAncestorOf(q->focusWidget());
    if (notes.isSealed(n))
        lockedPanel(n)->setNoteCaption(noteCaption(n));
    showLoading(n, !notes.isLoaded(n));
    if (hadKeyboard)
        keyboardHolder(n)->setFocus(Qt::OtherFocusReason);
    enableCommandsOfNoteInView();
}

void Quillbox::Private::enableCommandsOfNoteInView()
{
    enableNoteCommands(tabs->count() > 0 && !notes.isSealed(active));
}

LockedNotePanel *Quillbox::Private::lockedPanel(int n)
{
    LockedNotePanel *&locked = lockedPanels[slot(n)];
    if (!locked) {
        // Made when the note is first shown locked: most notes never are.
        locked = new LockedNotePanel(panels[slot(n)]);
        locked->setObjectName(QStringLiteral("Locked%1").arg(n));
        locked->hide();
        // Between the "Loading…" label and the editor.
        static_cast<QBoxLayout *>(panels[slot(n)]->layout())->insertWidget(1, locked);
    }
    return locked;
}

QWidget *Quillbox::Private::keyboardHolder(int n)
{
    if (notes.isSealed(n))
        return lockedPanel(n);
    if (!notes.isLoaded(n))
        return loadingLabels[slot(n)];
    return boxes[slot(n)];
}

void Quillbox::Private::reportUnreadable(const QStringList &files)
{
    if (files.isEmpty())
        return;
    Dialogs::message(
        q, QStringLiteral("Quillbox Plus"),
        QStringLiteral("These note files could not be read, so their tabs start empty:\n\n%1\n\n"
                       "The files are left as they are. If you type into such a note, the file is "
                       "first kept under another name beside it.")
            .arg(files.join(QLatin1Char('\n'))),
        QMessageBox::Warning);
}

void Quillbox::Private::offerRecovery(int only)
{
    for (const NoteSafety::Offer &offer : notes.recoveryOffers(only)) {
        const auto answer = Dialogs::message(
            q, QStringLiteral("Quillbox Plus"),
            QStringLiteral("Quillbox Plus did not close properly last time. The tab \"%1\" holds text "
                           "from %2 that was not saved.\n\nRestore it?")
                .arg(noteCaption(offer.note), QLocale().toString(offer.saved, QLocale::ShortFormat)),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            notes.restoreRecovery(offer);
        else if (answer == QMessageBox::No)
            notes.declineRecovery(offer);
        // Unanswered (the program is ending): offered again at the next start.
    }
}
