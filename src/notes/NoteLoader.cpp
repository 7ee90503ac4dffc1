#include "NoteLoader.h"

#include "RtfWriter.h"

#include <QTextDocument>
#include <QThread>

#include <algorithm>

NoteLoader::NoteLoader(Deliver deliver, NoteStorageFor storage, QObject *parent)
    : QObject(parent), m_deliver(std::move(deliver)), m_storage(std::move(storage))
{
}

NoteLoader::~NoteLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
        m_ready.clear();
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void NoteLoader::start(const QList<std::pair<int, QString>> &notes, bool held)
{
    {
        const std::lock_guard lock(m_mutex);
        m_held = held;
        ++m_generation;
        m_queue.clear();
        m_ready.clear();
        for (const auto &[n, path] : notes)
            m_queue.push_back({n, path});
    }
    if (!m_worker.joinable())
        m_worker = std::thread([this] { work(); });
    m_changed.notify_all();
}

void NoteLoader::add(int n, const QString &path)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back({n, path});
    }
    if (!m_worker.joinable())
        m_worker = std::thread([this] { work(); });
    m_changed.notify_all();
}

void NoteLoader::release()
{
    {
        const std::lock_guard lock(m_mutex);
        m_held = false;
    }
    m_changed.notify_all();
}

void NoteLoader::cancel()
{
    const std::lock_guard lock(m_mutex);
    // A note being read now is dropped when it is done.
    ++m_generation;
    m_queue.clear();
    m_ready.clear();
}

bool NoteLoader::isPending(int n) const
{
    const std::lock_guard lock(m_mutex);
    return (m_reading == n && m_readingGeneration == m_generation) || m_ready.count(n) > 0 ||
           std::any_of(m_queue.begin(), m_queue.end(), [n](const Job &job) { return job.note == n; });
}

bool NoteLoader::isIdle() const
{
    const std::lock_guard lock(m_mutex);
    return (m_reading == 0 || m_readingGeneration != m_generation) && m_ready.empty() && m_queue.empty();
}

void NoteLoader::finishNow(int n)
{
    std::unique_lock lock(m_mutex);
    const auto queued =
        std::find_if(m_queue.begin(), m_queue.end(), [n](const Job &job) { return job.note == n; });
    if (queued != m_queue.end()) {
        // Not begun: reading it here is as quick as waiting for the worker to get to it.
        const QString path = queued->path;
        m_queue.erase(queued);
        lock.unlock();
        m_deliver(n, NoteFiles::read(m_storage(n), path));
        return;
    }
    m_changed.wait(lock, [this, n] { return m_reading != n; });
    const auto ready = m_ready.find(n);
    if (ready == m_ready.end())
        return;
    NoteFiles::Read read = std::move(ready->second);
    m_ready.erase(ready);
    lock.unlock();
    m_deliver(n, std::move(read));
}

void NoteLoader::deliverReady(int n, quint64 generation)
{
    std::unique_lock lock(m_mutex);
    const auto ready = m_ready.find(n);
    if (generation != m_generation || ready == m_ready.end())
        return; // handed over already by finishNow(), or no longer wanted
    NoteFiles::Read read = std::move(ready->second);
    m_ready.erase(ready);
    lock.unlock();
    m_deliver(n, std::move(read));
}

void NoteLoader::work()
{
    QThread *gui = thread();
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stop || (!m_held && !m_queue.empty()); });
        if (m_stop)
            return;
        const Job job = m_queue.front();
        m_queue.pop_front();
        const quint64 generation = m_generation;
        m_reading = job.note;
        m_readingGeneration = generation;
        lock.unlock();

        NoteFiles::Read read = NoteFiles::read(m_storage(job.note), job.path);
        // Encoded here once, and tracked from here on: the first recovery copy or save of a big
        // note then encodes, and reads, only what was typed in its editor.
        if (read.document) {
            read.paragraphs.trackChanges(read.document.get());
            rtf::write(read.document.get(), read.paragraphs);
        }

        lock.lock();
        m_reading = 0;
        if (generation == m_generation && !m_stop) {
            // The document was made here; from now on the GUI thread owns it.
            if (read.document)
                read.document->moveToThread(gui);
            m_ready[job.note] = std::move(read);
            QMetaObject::invokeMethod(
                this, [this, n = job.note, generation] { deliverReady(n, generation); },
                Qt::QueuedConnection);
        } else {
            lock.unlock();
            read = {}; // no longer wanted: dropped on the thread that made it
            lock.lock();
        }
        m_changed.notify_all();
    }
}
