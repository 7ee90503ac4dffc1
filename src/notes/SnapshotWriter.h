#pragma once

#include "DurableFile.h"

#include <QObject>
#include <QThreadPool>

#include <functional>

// Stores a note's bytes on a worker thread, so a slow disk or network share never holds up
// typing. The caller encodes the note (a document may be read on one thread only, and a copy of
// it costs more than encoding the few paragraphs that changed). Jobs run one at a time, in the
// order given.
class SnapshotWriter final : public QObject
{
    Q_OBJECT
public:
    explicit SnapshotWriter(QObject *parent = nullptr);
    ~SnapshotWriter() override;

    // On the worker, hands bytes to store, whose answer comes back as written(tag, failure) on
    // this object's thread.
    void write(int tag, QByteArray bytes, std::function<DurableFile::Failure(const QByteArray &)> store);
    // Returns once every job given so far is done.
    void waitForDone();

signals:
    void written(int tag, const DurableFile::Failure &failure);

private:
    QThreadPool m_pool;
};
