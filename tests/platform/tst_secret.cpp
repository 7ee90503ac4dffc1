#include "Secret.h"

#include <QtTest>

// A passphrase handed to a library in a QByteArray is overwritten where every copy sees it: the
// implicitly shared copy the library keeps is the one that matters.
class TestSecret : public QObject
{
    Q_OBJECT
private slots:
    void wipingBytesOverwritesEverySharedCopy()
    {
        QByteArray bytes = QByteArrayLiteral("open sesame").toBase64(); // a heap buffer of its own
        const QByteArray kept = bytes;                                  // shares it
        Secret::wipe(bytes);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(kept, QByteArray(kept.size(), '\0'));
    }

    void wipingRawDataLeavesItsBufferAlone()
    {
        static const char text[] = "read-only text";
        QByteArray raw = QByteArray::fromRawData(text, qsizetype(sizeof text - 1));
        Secret::wipe(raw);
        QVERIFY(raw.isEmpty());
        QCOMPARE(QByteArray(text), QByteArray("read-only text"));
    }
};

QTEST_GUILESS_MAIN(TestSecret)
#include "tst_secret.moc"
