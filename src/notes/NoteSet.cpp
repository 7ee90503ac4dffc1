#include "NoteSet.h"

#include "FileHelpers.h"
#include "LockableStorage.h"
#include "NoteDocuments.h"
#include "NoteLoader.h"
#include "NoteStorage.h"
#include "NoteTab.h"
#include "NotesLog.h"
#include "RecoveryCopies.h"
#include "WriteFailureText.h"

#include <QFileInfo>
#include <QTextDocument>
#include <QTimer>

namespace {
size_t slot(int n)
{
    return static_cast<size_t>(n - 1);
}
} // namespace

NoteSet::NoteSet(const QString &settingsPath, const NoteStorage &storage, QObject *parent)
    : QObject(parent), m_storage(storage), m_stores([&storage] {
          std::array<std::unique_ptr<LockableStorage>, 7> stores;
          for (auto &store : stores)
              store = std::make_unique<LockableStorage>(storage);
          return stores;
      }()),
      m_notes(std::make_unique<NoteDocuments>()),
      m_files(std::make_unique<NoteFiles>([this](int n) -> const NoteStorage & { return store(n); })),
      m_safety(std::make_unique<NoteSafety>(
          *m_notes, *m_files, [this](int n) -> const NoteStorage & { return store(n); }, settingsPath)),
      m_loader(std::make_unique<NoteLoader>([this](int n, NoteFiles::Read &&read) { noteRead(n, std::move(read)); },
                                            [this](int n) -> const NoteStorage & { return store(n); }))
{
    m_notes->setLoading([this](int n) { finishLoading(n); });
    connect(m_safety.get(), &NoteSafety::directoryReturned, this, [this] {
        checkDirectory();
        saveChanged();
    });
    connect(m_safety.get(), &NoteSafety::directoryReturned, this, &NoteSet::directoryBack);
    connect(m_safety.get(), &NoteSafety::directoryGone, this, &NoteSet::directoryGone);
    connect(m_safety.get(), &NoteSafety::reloading, this, &NoteSet::reloading);
    connect(m_safety.get(), &NoteSafety::reloaded, this, &NoteSet::reloaded);
    connect(m_safety.get(), &NoteSafety::notice, this, &NoteSet::notice);
    connect(m_safety.get(), &NoteSafety::noticeOver, this, &NoteSet::noticeOver);
    connect(m_safety.get(), &NoteSafety::status, this, &NoteSet::status);
    connect(m_safety.get(), &NoteSafety::conflict, this, &NoteSet::conflict);
    m_retryWrites = new QTimer(this);
    m_retryWrites->setInterval(RetryWritesMs);
    connect(m_retryWrites, &QTimer::timeout, this, [this] { retryFailedWrites(); });
}

// The reading stops first: nothing may come in to the documents going away.
NoteSet::~NoteSet()
{
    m_loader.reset();
    m_safety.reset();
}

QTextDocument *NoteSet::document(int n) const
{
    return m_notes->document(n);
}

rtf::ParagraphCache *NoteSet::paragraphs(int n) const
{
    return m_notes->paragraphs(n);
}

void NoteSet::finishLoading(int n)
{
    if (NoteTabs::isNote(n) && m_loader->isPending(n))
        m_loader->finishNow(n);
}

bool NoteSet::isLoaded(int n) const
{
    return NoteTabs::isNote(n) && !m_loader->isPending(n);
}

bool NoteSet::isLoading() const
{
    return !m_loader->isIdle();
}

QByteArray NoteSet::bytes(int n)
{
    return m_notes->bytes(n);
}

QString NoteSet::directory() const
{
    return m_notes->directory();
}

QString NoteSet::path(int n) const
{
    return m_notes->path(n);
}

void NoteSet::setCaptions(std::function<QString(int)> caption)
{
    m_notes->setCaptions(std::move(caption));
}

void NoteSet::load(const QString &dir, int first, bool held)
{
    m_notes->setDirectory(dir);
    // A note is locked when its encrypted file is there; passphrases given for the notes of
    // another directory are forgotten.
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        const bool locked = QFileInfo::exists(NoteDocuments::lockedPath(m_notes->plainPath(n)));
        store(n).forgetKey();
        store(n).setLocked(locked);
        m_notes->setLockedFile(n, locked);
        m_unlocking[slot(n)] = false;
        m_keptWhileSealed[slot(n)].clear();
        const QString both = QStringLiteral("locked and plain %1").arg(n);
        if (locked && FileExists(m_notes->plainPath(n))) {
            emit notice(both, QStringLiteral("The note \"%1\" is in the note directory twice: locked as %2 and "
                                             "plain as %3. The tab shows the locked one; neither file is "
                                             "changed. Compare them and remove the one you do not need.")
                                  .arg(m_notes->caption(n), QFileInfo(path(n)).fileName(),
                                       QFileInfo(m_notes->plainPath(n)).fileName()));
        } else {
            emit noticeOver(both);
        }
    }
    QList<int> firstFirst{first};
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (n != first)
            firstFirst << n;
    }
    QList<std::pair<int, QString>> order;
    for (int n : firstFirst) {
        if (isSealed(n))
            m_notes->clear(n); // nothing of another directory's note stays shown
        else
            order.append({n, path(n)});
    }
    m_unreadable.clear();
    m_held = held;
    m_loader->start(order, held);
    m_notes->setAllUnchanged();
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!m_failureTold[slot(n)].isEmpty())
            emit noticeOver(QStringLiteral("write %1").arg(n));
    }
    m_failureTold.fill({});
    m_safety->notesLoaded();
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        m_safety->setSealed(n, isSealed(n));
        if (isSealed(n))
            emit sealed(n);
    }
}

void NoteSet::releaseLoading()
{
    if (std::exchange(m_held, false))
        m_loader->release();
}

void NoteSet::noteRead(int n, NoteFiles::Read &&read)
{
    const bool unlocking = std::exchange(m_unlocking[slot(n)], false);
    if (isLocked(n) && !store(n).hasKey()) {
        emit sealed(n); // locked again while it was read: nothing of it is shown
        return;
    }
    if (unlocking && read.loaded != NoteFiles::Loaded::Read) {
        // A wrong passphrase or a damaged file: the note stays sealed, its files as they are.
        store(n).forgetKey();
        emit unlockFailed(n, read.loaded == NoteFiles::Loaded::Missing
                                 ? QStringLiteral("The file of this note is gone.")
                                 : read.error);
        return;
    }
    const NoteDiskState disk = read.disk;
    const NoteFiles::Loaded how = read.loaded;
    QString why;
    // Editors may show the document replaced until they hear of the new one.
    const std::unique_ptr<QTextDocument> replaced = m_files->apply(n, *m_notes, std::move(read), &why);
    if (how == NoteFiles::Loaded::Unreadable)
        m_unreadable << QStringLiteral("%1 (%2)").arg(path(n), why);
    emit loaded(n);
    // Whatever showing it did to the document, loading is no edit of the user's.
    m_notes->setChanged(n, false);
    m_safety->noteLoaded(n, how == NoteFiles::Loaded::Read ? &disk : nullptr);
    if (unlocking) {
        m_safety->setSealed(n, false);
        if (const QStringList kept = std::exchange(m_keptWhileSealed[slot(n)], {}); !kept.isEmpty())
            m_safety->restoreKeptCopies(kept);
        emit unlocked(n);
    }
}

QStringList NoteSet::takeUnreadable()
{
    return std::exchange(m_unreadable, {});
}

bool NoteSet::isChanged(int n) const
{
    return m_notes->isChanged(n);
}

void NoteSet::setChanged(int n, bool changed)
{
    if (!NoteTabs::isNote(n) || isSealed(n))
        return;
    m_notes->setChanged(n, changed);
    // Typing never comes here; the commands and restores that replace a note's text do.
    if (m_safety->edited(n))
        m_safety->keepNextVersionApart(n);
}

bool NoteSet::isEdited(int n) const
{
    return NoteTabs::isNote(n) && m_safety->edited(n);
}

void NoteSet::markReplaced(int n)
{
    m_safety->markReplaced(n);
}

bool NoteSet::save(int n)
{
    return !isChanged(n) || m_closed || isSealed(n) || write(n);
}

bool NoteSet::write(int n)
{
    QString why;
    switch (m_safety->write(n, NoteSafety::Mode::Interactive, &why)) {
    case NoteSafety::Written::Yes:
        checkDirectory(); // a folder told unusable may have been mended
        break;
    case NoteSafety::Written::Unchanged:
        break;
    case NoteSafety::Written::TheirsKept:
        return true; // the note now holds the file as it is
    case NoteSafety::Written::Deferred:
        // The user was told once that the directory is away; the note is written when it is back.
        emit status(QStringLiteral("The note \"%1\" is kept here until the note directory is back.")
                        .arg(m_notes->caption(n)),
                    0);
        return false;
    case NoteSafety::Written::Failed:
        reportWriteFailure(n, why); // the note stays changed; the next save point tries again
        return false;
    }
    m_notes->setChanged(n, false);
    if (!m_failureTold[slot(n)].isEmpty()) {
        emit noticeOver(QStringLiteral("write %1").arg(n));
        emit status(QStringLiteral("The note \"%1\" is saved again.").arg(m_notes->caption(n)), 8000);
    }
    m_failureTold[slot(n)].clear();
    emit saved(n);
    return true;
}

void NoteSet::saveChanged()
{
    for (int n = 1; n <= NoteTabs::Count; ++n)
        save(n);
}

void NoteSet::reportWriteFailure(int n, const QString &why)
{
    // Tried again every few seconds, so the note is saved as soon as room is made or the folder
    // can be written again, without the user doing anything.
    if (!m_retryWrites->isActive())
        m_retryWrites->start();
    // Told once, and again only when the reason or the recovery copy's fate changes.
    if (m_failureTold[slot(n)] == why)
        return;
    m_failureTold[slot(n)] = why;
    // This notice tells what the one of an unusable note directory told, and more.
    emit noticeOver(QStringLiteral("note directory"));
    emit notice(QStringLiteral("write %1").arg(n), why);
    emit notSaved(n, why);
}

void NoteSet::retryFailedWrites()
{
    bool pending = false;
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (m_failureTold[slot(n)].isEmpty() || m_closed)
            continue;
        if (isChanged(n) || m_safety->edited(n)) {
            write(n);
        } else {
            // Written some other way meanwhile (changed elsewhere and followed, say).
            m_failureTold[slot(n)].clear();
            emit noticeOver(QStringLiteral("write %1").arg(n));
        }
        pending = pending || !m_failureTold[slot(n)].isEmpty();
    }
    if (!pending)
        m_retryWrites->stop();
}

// A note directory that cannot take the notes is told at every start and when it is chosen, not
// only at the first failed save, so nobody types a day's notes into a folder that keeps none.
void NoteSet::checkDirectory()
{
    const QString event = QStringLiteral("note directory");
    if (const DurableFile::Failure failure = DurableFile::folderProblem(directory()))
        emit notice(event, WriteFailureText::unusableNoteDirectory(failure, directory()));
    else
        emit noticeOver(event);
}

QStringList NoteSet::changeDirectory(const QString &dir, int first)
{
    // A changed note that cannot be written to the old directory is about to be replaced by what
    // the new one holds: it is kept in a copy first, and the user is told where.
    QStringList kept;
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!isChanged(n) || write(n))
            continue;
        if (const QString copy = m_safety->keepInRecoveredNotes(n); !copy.isEmpty())
            kept << copy;
    }
    // The recovery copies belonged to the notes of the old directory, which are written or kept.
    m_safety->dropRecoveryCopies();
    // The notes the new place holds replace the tabs' text; a tab whose file is not there keeps
    // its text and writes it there at its next save point.
    load(dir, first);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!FileExists(path(n)) && !m_notes->isEmpty(n)) {
            setChanged(n, true);
            m_safety->noteEdited(n);
        }
    }
    checkDirectory();
    return kept;
}

void NoteSet::keepBeforeReplacing(const QString &path)
{
    const QFileInfo target(path);
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (target.exists() && QFileInfo(this->path(n)) == target)
            m_safety->keepFileInHistory(n);
    }
}

void NoteSet::restoreKeptCopies()
{
    QStringList now;
    for (const QString &copy : RecoveryCopies::takeRemembered()) {
        const int n = RecoveryCopies::noteOf(copy);
        if (n != 0 && isSealed(n))
            m_keptWhileSealed[slot(n)] << copy; // restored once the note is unlocked
        else
            now << copy;
    }
    m_safety->restoreKeptCopies(now);
}

QList<NoteSafety::Offer> NoteSet::recoveryOffers(int only)
{
    QList<NoteSafety::Offer> offers = m_safety->recoveryOffers();
    if (only != 0)
        offers.removeIf([only](const NoteSafety::Offer &offer) { return offer.note != only; });
    return offers;
}

void NoteSet::restoreRecovery(const NoteSafety::Offer &offer)
{
    m_safety->restoreRecovery(offer);
}

void NoteSet::declineRecovery(const NoteSafety::Offer &offer)
{
    m_safety->declineRecovery(offer);
}

std::optional<QByteArray> NoteSet::secondVersion(const ConflictCopy &copy) const
{
    return m_safety->secondVersion(copy);
}

bool NoteSet::takeIntoHistory(const ConflictCopy &copy)
{
    return m_safety->takeIntoHistory(copy);
}

const NoteHistory &NoteSet::history() const
{
    return m_safety->history();
}

void NoteSet::close()
{
    if (std::exchange(m_closed, true))
        return;
    // Every note with something new here is written; one nobody changed keeps its file byte for
    // byte, and one that changed only elsewhere keeps their version. A changed note that cannot
    // be written (note directory gone, disk full) goes to a copy in "Recovered notes"; nothing
    // here waits on a dialog.
    // A note still being read was never shown, so nobody changed it: its file stays as it is. A
    // note whose file is missing has nothing to read and is created as always.
    std::array<bool, 7> reading{};
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!isLoaded(n) && !FileExists(path(n)))
            m_loader->finishNow(n);
        reading[slot(n)] = !isLoaded(n);
    }
    m_loader->cancel();
    QStringList recovered;
    std::array<bool, 7> safe{};
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        const bool changed = m_safety->edited(n) || isChanged(n);
        safe[slot(n)] = true;
        if (reading[slot(n)] || isSealed(n))
            continue;
        const NoteSafety::Written written = m_safety->write(n, NoteSafety::Mode::Shutdown);
        if (written != NoteSafety::Written::Failed && written != NoteSafety::Written::Deferred)
            continue;
        if (!changed)
            continue;
        if (const QString copy = m_safety->keepInRecoveredNotes(n); !copy.isEmpty()) {
            recovered << copy;
        } else {
            safe[slot(n)] = false; // its crash-recovery copy is all that is left
            qCWarning(lcNotes) << "note" << n << "could not be kept in a recovery copy either";
        }
    }
    if (!recovered.isEmpty())
        RecoveryCopies::remember(recovered);
    m_safety->finish(safe);
}
