#include "Secret.h"

#include <QtTest>

class TestSecret : public QObject
{
    Q_OBJECT
private slots:
    // The implicitly shared copy a library keeps is the one that matters.
    void wipingBytesOverwritesEverySharedCopy()
    {
        QByteArray bytes = QByteArrayLiteral("open sesame").toBase64(); // a heap buffer of its own
        const QByteArray kept = bytes;
        Secret::wipe(bytes);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(kept, QByteArray(kept.size(), '\0'));
    }
};

QTEST_GUILESS_MAIN(TestSecret)
#include "tst_secret.moc"
