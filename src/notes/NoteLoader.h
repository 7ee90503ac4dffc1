#pragma once

#include "NoteFiles.h"

#include <QList>
#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// Reads and parses note files on a thread of its own, one after the other in the order asked for
// (the note in view first), so that the window can be shown and used while a big note comes in.
// Each finished note is handed to the owner on the GUI thread. A note somebody needs right away
// is handed over at once by finishNow(), which waits for the worker or reads the file itself.
class NoteLoader final : public QObject
{
    Q_OBJECT
public:
    using Deliver = std::function<void(int n, NoteFiles::Read &&read)>;

    NoteLoader(Deliver deliver, NoteStorageFor storage, QObject *parent = nullptr);
    ~NoteLoader() override; // waits for the note being read, if any

    // Forgets what was asked before and reads these notes (number, path) in this order. Held, the
    // worker waits for release() before it begins (finishNow() still reads a note at once): at
    // start-up the window is painted before anything competes with it.
    void start(const QList<std::pair<int, QString>> &notes, bool held = false);
    void release();
    // Reads one more note, after those asked for (a locked note once its passphrase is given).
    void add(int n, const QString &path);
    // Forgets every note not yet handed over.
    void cancel();

    bool isPending(int n) const;
    bool isIdle() const;
    // Hands note n over now; nothing when it is not pending.
    void finishNow(int n);

private:
    struct Job
    {
        int note = 0;
        QString path;
    };
    void work();
    void deliverReady(int n, quint64 generation);

    Deliver m_deliver;
    NoteStorageFor m_storage;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue; // not begun
    int m_reading = 0;       // the note the worker reads now (0: none)
    quint64 m_readingGeneration = 0;
    std::map<int, NoteFiles::Read> m_ready; // read, not yet handed over
    quint64 m_generation = 0;
    bool m_stop = false;
    bool m_held = false;
    std::thread m_worker;
};
