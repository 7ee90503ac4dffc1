#include "linux/SecretServiceKeyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QtTest>

// The keyring against a real GNOME Keyring on a private session bus ("keyring" mode of
// with_private_bus.sh), and on a bus without a Secret Service or with no bus at all (the last case,
// in "bare" and "none" mode).
class TestSecretServiceKeyring : public QObject
{
    Q_OBJECT

    struct Answer
    {
        bool done = false;
        std::optional<Secret> secret;
        QString error;
    };
    using Call = std::function<void(Keyring &, const QString &key, std::shared_ptr<Answer>)>;

    // Asks and waits; a late answer lands in the shared record, not on a stack long gone.
    static Answer ask(Keyring &keyring, const QString &key, const Call &call)
    {
        auto a = std::make_shared<Answer>();
        call(keyring, key, a);
        if (!QTest::qWaitFor([a] { return a->done; }, 10000))
            return {false, std::nullopt, QStringLiteral("no answer in ten seconds")};
        return *a;
    }
    static Call store(const QByteArray &bytes)
    {
        return [bytes](Keyring &k, const QString &key, std::shared_ptr<Answer> a) {
            k.store(key, Secret(bytes.constData(), size_t(bytes.size())), [a](const QString &error) {
                *a = {true, std::nullopt, error};
            });
        };
    }
    static void fetch(Keyring &k, const QString &key, std::shared_ptr<Answer> a)
    {
        k.fetch(key, [a](std::optional<Secret> secret, const QString &error) {
            *a = {true, std::move(secret), error};
        });
    }
    static void forget(Keyring &k, const QString &key, std::shared_ptr<Answer> a)
    {
        k.forget(key, [a](const QString &error) { *a = {true, std::nullopt, error}; });
    }

private slots:
    void initTestCase()
    {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!QCoreApplication::arguments().contains(QStringLiteral("answersEveryCallWithAnError")))
            QVERIFY2(bus.isConnected() &&
                         bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")),
                     "a Secret Service on the bus: run by with_private_bus.sh keyring");
    }

    void keepsAndForgetsThePassphrase_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << "/home/ann/.local/share/Quillbox Plus/notes.rtf" << QByteArray("horse");
        QTest::newRow("beyond ASCII") << "tab2.rtf" << QString::fromUtf8("pässwört ✓ 鍵").toUtf8();
        // Passed as bytes, not text: nothing cuts a passphrase short at a NUL.
        QTest::newRow("NUL inside") << "tab3.rtf" << QByteArray("before\0after", 12);
        QTest::newRow("long") << "tab4.rtf" << QByteArray(4096, 'x');
    }
    void keepsAndForgetsThePassphrase()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, bytes);
        SecretServiceKeyring keyring;
        Answer a = ask(keyring, key, fetch);
        QVERIFY(a.done && a.error.isEmpty() && !a.secret);

        QCOMPARE(ask(keyring, key, store(bytes)).error, QString());
        a = ask(keyring, key, fetch);
        QCOMPARE(a.error, QString());
        QVERIFY(a.secret && *a.secret == Secret(bytes.constData(), size_t(bytes.size())));
        // Where other programs (the keyring's manager, a later version of ours) find it.
        QProcess lookup;
        lookup.start(QStringLiteral("secret-tool"),
                     {QStringLiteral("lookup"), QStringLiteral("server"), QStringLiteral("Quillbox Plus"),
                      QStringLiteral("user"), key});
        QVERIFY(lookup.waitForFinished(10000));
        QCOMPARE(QByteArray::fromBase64(lookup.readAllStandardOutput()), bytes);

        QCOMPARE(ask(keyring, key, forget).error, QString());
        a = ask(keyring, key, fetch);
        QVERIFY(a.done && a.error.isEmpty() && !a.secret);
        QCOMPARE(ask(keyring, key, forget).error, QString()); // nothing left to forget is no error
    }

    // The program may let go of its keyring (at shutdown, say) while QtKeychain still has the
    // passphrase queued: what gets stored must still be that passphrase.
    void storingFinishesAfterTheKeyringIsGone()
    {
        const QString key = QStringLiteral("tab6.rtf");
        auto keyring = std::make_unique<SecretServiceKeyring>();
        keyring->store(key, Secret(QStringLiteral("kept on")), [](const QString &) {});
        keyring.reset();
        SecretServiceKeyring later;
        const Answer a = ask(later, key, fetch);
        QVERIFY(a.secret && *a.secret == Secret(QStringLiteral("kept on")));
        QCOMPARE(ask(later, key, forget).error, QString());
    }

    void answersEveryCallWithAnError_data()
    {
        QTest::addColumn<Call>("call");
        QTest::newRow("store") << store("pw");
        QTest::newRow("fetch") << Call(fetch);
        QTest::newRow("forget") << Call(forget);
    }
    void answersEveryCallWithAnError()
    {
        QFETCH(Call, call);
        SecretServiceKeyring keyring;
        const Answer a = ask(keyring, QStringLiteral("notes.rtf"), call);
        QVERIFY2(a.done, "answered within ten seconds");
        QVERIFY2(a.error.startsWith(Keyring::notAvailableText() + QLatin1Char(' ')), qPrintable(a.error));
        QVERIFY(!a.secret);
    }
};

QTEST_GUILESS_MAIN(TestSecretServiceKeyring)
#include "tst_secretservicekeyring.moc"
