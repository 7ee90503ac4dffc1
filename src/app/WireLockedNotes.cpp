// Locked notes in the window: File > "Lock Note...", "Remove Lock..." and "Lock Now" (also in the
// tray menu), the Unlock panel of each locked tab, the desktop's keyring, and locking again after
// a time without input or when the screen locks.
#include "Dialogs.h"
#include "IdleWatch.h"
#include "Keyring.h"
#include "LockNoteDialog.h"
#include "LockedNotePanel.h"
#include "NoteSet.h"
#include "NoteTab.h"
#include "PassphraseDialog.h"
#include "Platform.h"
#include "IdleLockSetting.h"
#include "Quillbox.h"
#include "ScreenLock.h"
#include "Secret.h"
#include "SettingsStore.h"
#include "TrayIcon.h"
#include "Wiring.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

namespace {

// While gpg works on a worker, the window waits for a lock or its removal to end.
struct Busy
{
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
};

class LockedNotes final : public QObject
{
public:
    explicit LockedNotes(Quillbox &window) : QObject(&window), m_window(window), m_notes(window.notes())
    {
        connectMenu();
        connect(&m_notes, &NoteSet::sealed, this, [this](int n) { sealed(n); });
        connect(&m_notes, &NoteSet::unlocked, this, [this](int n) { unlocked(n); });
        connect(&m_notes, &NoteSet::unlockFailed, this,
                [this](int n, const QString &) { m_remember[slot(n)].reset(); });
        connect(&window, &Quillbox::activeNoteChanged, this, [this] { enableItems(); });
        connect(&m_notes, &NoteSet::saved, this, [this] { enableItems(); });

        m_idle = new IdleWatch(this);
        m_idleMinutes = IdleLockSetting::read(window.settings());
        connect(m_idle, &IdleWatch::idle, this, [this] { lockNow(QStringLiteral("after a time without input")); });
        connect(&window, &Quillbox::lockAfterMinutesChanged, this, [this](int minutes) {
            m_idleMinutes = minutes;
            enableItems();
        });
        if (ScreenLock *screen = window.platform().screenLock.get())
            connect(screen, &ScreenLock::screenLocked, this,
                    [this] { lockNow(QStringLiteral("as the screen locked")); });
        enableItems();
    }

private:
    static size_t slot(int n) { return static_cast<size_t>(n - 1); }

    Keyring *keyring() const { return m_window.platform().keyring.get(); }

    void connectMenu()
    {
        if (QAction *item = m_window.menuItem(QStringLiteral("locknote")))
            connect(item, &QAction::triggered, this, [this] { lock(m_window.activeNote()); });
        if (QAction *item = m_window.menuItem(QStringLiteral("removelock")))
            connect(item, &QAction::triggered, this, [this] { removeLock(m_window.activeNote()); });
        m_lockNow = m_window.menuItem(QStringLiteral("locknow"));
        if (m_lockNow)
            connect(m_lockNow, &QAction::triggered, this, [this] { lockNow({}); });
        if (TrayIcon *tray = m_window.trayIcon()) {
            QMenu *menu = tray->popupMenu();
            auto *item = new QAction(QStringLiteral("&Lock Now"), menu);
            item->setObjectName(QStringLiteral("popLockNow"));
            menu->addSeparator();
            menu->addAction(item);
            connect(item, &QAction::triggered, this, [this] { lockNow({}); }, Qt::QueuedConnection);
            m_trayLockNow = item;
        }
    }

    void connectPanel(int n)
    {
        LockedNotePanel *panel = m_window.lockedPanel(n);
        connect(panel, &LockedNotePanel::unlockRequested, this, [this, n, panel](const Secret &passphrase, bool remember) {
            panel->setBusy(true);
            // Kept for the keyring until the note opens; a passphrase that does not open it is
            // never stored.
            m_remember[slot(n)] = remember ? std::make_unique<Secret>(passphrase) : nullptr;
            m_forget[slot(n)] = !remember;
            m_notes.unlock(n, passphrase);
        });
    }

    void enableItems()
    {
        const int n = m_window.activeNote();
        const bool shown = m_window.isPanelVisible(n);
        bool anyOpen = false;
        for (int k = 1; k <= NoteTabs::Count; ++k)
            anyOpen = anyOpen || (m_notes.isLocked(k) && !m_notes.isSealed(k));
        if (QAction *item = m_window.menuItem(QStringLiteral("locknote")))
            item->setEnabled(shown && !m_notes.isLocked(n));
        if (QAction *item = m_window.menuItem(QStringLiteral("removelock")))
            item->setEnabled(shown && m_notes.isLocked(n) && !m_notes.isSealed(n));
        for (QAction *item : {m_lockNow, m_trayLockNow}) {
            if (item)
                item->setEnabled(anyOpen);
        }
        // The quiet spell counts while a locked note is open, not before.
        const int minutes = anyOpen ? m_idleMinutes : 0;
        if (minutes != std::exchange(m_idleArmed, minutes))
            m_idle->setMinutes(minutes);
    }

    // At start a locked note whose passphrase the keyring keeps is opened with it.
    void sealed(int n)
    {
        enableItems();
        LockedNotePanel *panel = m_window.lockedPanel(n);
        if (!std::exchange(m_panelWired[slot(n)], true))
            connectPanel(n);
        panel->clear();
        // Only a note the user chose to remember: asking the keyring may ask the user to unlock it.
        if (!keyring() || m_lockedByUser || !remembered().contains(n))
            return;
        const QString key = m_notes.path(n);
        QPointer<LockedNotePanel> guard(panel);
        keyring()->fetch(key, [this, n, key, guard](std::optional<Secret> secret, const QString &) {
            if (!secret || !guard || !m_notes.isSealed(n) || m_notes.path(n) != key || m_lockedByUser)
                return;
            guard->setRemember(true);
            guard->setBusy(true);
            m_notes.unlock(n, *secret);
        });
    }

    void unlocked(int n)
    {
        enableItems();
        const QString key = m_notes.path(n);
        if (std::unique_ptr<Secret> secret = std::move(m_remember[slot(n)]); secret && keyring()) {
            QPointer<QObject> alive(this);
            keyring()->store(key, *secret, [this, alive, n](const QString &error) {
                if (!alive)
                    return;
                if (error.isEmpty())
                    setRemembered(n, true);
                else
                    m_window.showStatus(QStringLiteral("The passphrase was not kept in the desktop's keyring: %1").arg(error));
            });
        } else if (std::exchange(m_forget[slot(n)], false)) {
            forgetInKeyring(n);
        }
    }

    // Which notes' passphrases the keyring keeps ("KeyringNotes", note numbers): never the
    // passphrase itself.
    QList<int> remembered() const
    {
        QList<int> notes;
        for (const QString &number : m_window.settings().GetSettingValue(QStringLiteral("KeyringNotes")).split(u','))
            notes << number.trimmed().toInt();
        return notes;
    }
    void setRemembered(int n, bool on)
    {
        QList<int> notes = remembered();
        notes.removeAll(n);
        notes.removeAll(0);
        if (on)
            notes << n;
        std::sort(notes.begin(), notes.end());
        QStringList numbers;
        for (int k : std::as_const(notes))
            numbers << QString::number(k);
        m_window.settings().SaveSettingValue(QStringLiteral("KeyringNotes"), numbers.join(u','));
    }
    void forgetInKeyring(int n, const QString &key = {})
    {
        if (!remembered().contains(n) || !keyring())
            return;
        setRemembered(n, false);
        keyring()->forget(key.isEmpty() ? m_notes.path(n) : key, [](const QString &) {});
    }

    void lock(int n)
    {
        if (!m_window.isPanelVisible(n) || m_notes.isLocked(n))
            return;
        const QString caption = m_window.noteCaption(n);
        LockNoteDialog dialog(caption, &m_window);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const Secret passphrase = dialog.takePassphrase();
        QString why;
        {
            Busy busy;
            why = m_notes.lock(n, passphrase);
        }
        if (!why.isEmpty()) {
            Dialogs::message(&m_window, QStringLiteral("Lock Note"), why, QMessageBox::Warning);
            return;
        }
        enableItems();
        m_window.showStatus(QStringLiteral("The note \"%1\" is locked: its file is %2.")
                                .arg(caption, QFileInfo(m_notes.path(n)).fileName()));
    }

    void removeLock(int n)
    {
        if (!m_notes.isLocked(n) || m_notes.isSealed(n))
            return;
        const QString caption = m_window.noteCaption(n);
        const QString key = m_notes.path(n);
        PassphraseDialog *dialog = PassphraseDialog::removeLock(caption, &m_window);
        connect(dialog, &PassphraseDialog::passphraseGiven, this, [this, n, dialog, caption, key](const Secret &passphrase) {
            QString why;
            {
                Busy busy;
                why = m_notes.removeLock(n, passphrase);
            }
            if (!why.isEmpty()) {
                dialog->showError(why);
                return;
            }
            dialog->accept();
            forgetInKeyring(n, key);
            enableItems();
            m_window.showStatus(QStringLiteral("The note \"%1\" is no longer locked.").arg(caption));
        });
        dialog->exec();
        delete dialog;
    }

    void lockNow(const QString &when)
    {
        // Locked by the user (or for them): the keyring does not open them again in this session.
        m_lockedByUser = true;
        const QStringList open = m_notes.lockNow();
        enableItems();
        if (!open.isEmpty()) {
            m_window.showNotice(QStringLiteral("lock now"),
                                QStringLiteral("These locked notes could not be saved, so they stay open rather "
                                               "than lose your text: %1.")
                                    .arg(open.join(QStringLiteral(", "))));
        } else if (!when.isEmpty()) {
            m_window.showStatus(QStringLiteral("The locked notes were locked again %1.").arg(when));
        }
    }

    Quillbox &m_window;
    NoteSet &m_notes;
    IdleWatch *m_idle = nullptr;
    int m_idleMinutes = 0;
    int m_idleArmed = 0;
    QAction *m_lockNow = nullptr;
    QAction *m_trayLockNow = nullptr;
    std::array<std::unique_ptr<Secret>, 7> m_remember{};
    std::array<bool, 7> m_forget{};
    std::array<bool, 7> m_panelWired{}; // a tab's panel is made when the note is first locked
    bool m_lockedByUser = false;
};

} // namespace

void wireLockedNotes(Quillbox &window)
{
    new LockedNotes(window);
}
