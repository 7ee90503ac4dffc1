#include "SnapshotWriter.h"

SnapshotWriter::SnapshotWriter(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

SnapshotWriter::~SnapshotWriter()
{
    m_pool.waitForDone();
}

void SnapshotWriter::write(int tag, QByteArray bytes,
                           std::function<DurableFile::Failure(const QByteArray &)> store)
{
    // The object outlives its jobs (its destructor waits for them); the answer is dropped if it
    // is gone by the time the answer would be delivered.
    m_pool.start([this, bytes = std::move(bytes), store = std::move(store), tag] {
        const DurableFile::Failure failure = store(bytes);
        QMetaObject::invokeMethod(
            this, [this, tag, failure] { emit written(tag, failure); }, Qt::QueuedConnection);
    });
}

void SnapshotWriter::waitForDone()
{
    m_pool.waitForDone();
}
