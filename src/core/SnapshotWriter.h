#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>

class QTextDocument;

// Writes a document out as RTF with the file work on a worker thread: the document is encoded at
// once on the caller's thread (a document may be read on one thread only, and a copy of it costs
// more than the encoding), and the bytes are stored beside it, so a slow disk or network share
// never holds up typing. Jobs run one at a time, in the order given.
class SnapshotWriter final : public QObject
{
    Q_OBJECT
public:
    explicit SnapshotWriter(QObject *parent = nullptr);
    ~SnapshotWriter() override;

    // Encodes doc now; on the worker, hands the bytes to store, whose answer comes back as
    // written(tag, ok) on this object's thread.
    void write(int tag, const QTextDocument *doc, std::function<bool(const QByteArray &)> store);
    // Returns once every job given so far is done.
    void waitForDone();

signals:
    void written(int tag, bool ok);

private:
    QThreadPool m_pool;
};
