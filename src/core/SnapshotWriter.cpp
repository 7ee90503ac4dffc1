#include "SnapshotWriter.h"

#include "RtfWriter.h"

#include <QTextDocument>

SnapshotWriter::SnapshotWriter(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

SnapshotWriter::~SnapshotWriter()
{
    m_pool.waitForDone();
}

void SnapshotWriter::write(int tag, const QTextDocument *doc, std::function<bool(const QByteArray &)> store)
{
    // The copy belongs to no thread's event loop and is only read on the worker: a document may be
    // used on any one thread at a time.
    // The object outlives its jobs (its destructor waits for them); the answer is dropped if it
    // is gone by the time the answer would be delivered.
    m_pool.start([this, bytes = rtf::write(doc), store = std::move(store), tag] {
        const bool ok = store(bytes);
        QMetaObject::invokeMethod(
            this, [this, tag, ok] { emit written(tag, ok); }, Qt::QueuedConnection);
    });
}

void SnapshotWriter::waitForDone()
{
    m_pool.waitForDone();
}
