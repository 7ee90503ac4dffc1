#include "linux/SecretServiceKeyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QtTest>

// The keyring against a real GNOME Keyring on a private session bus, and without one: with_private_bus.sh
// runs the first three cases in "keyring" mode and the last in "bare" and "none" mode.
class TestSecretServiceKeyring : public QObject
{
    Q_OBJECT

    struct Answer
    {
        bool done = false;
        std::optional<Secret> secret;
        QString error;
    };

    // Waits for the keyring's answer; one that comes too late lands in the shared record, not on
    // a stack long gone.
    template <typename Call> static Answer ask(Call call)
    {
        auto a = std::make_shared<Answer>();
        call(a);
        if (!QTest::qWaitFor([a] { return a->done; }, 10000))
            return {false, std::nullopt, QStringLiteral("no answer in ten seconds")};
        return *a;
    }
    static Answer store(Keyring &keyring, const QString &key, const Secret &secret)
    {
        return ask([&](std::shared_ptr<Answer> a) {
            keyring.store(key, secret, [a](const QString &error) { *a = {true, std::nullopt, error}; });
        });
    }
    static Answer fetch(Keyring &keyring, const QString &key)
    {
        return ask([&](std::shared_ptr<Answer> a) {
            keyring.fetch(key, [a](std::optional<Secret> secret, const QString &error) {
                *a = {true, std::move(secret), error};
            });
        });
    }
    static Answer forget(Keyring &keyring, const QString &key)
    {
        return ask([&](std::shared_ptr<Answer> a) {
            keyring.forget(key, [a](const QString &error) { *a = {true, std::nullopt, error}; });
        });
    }

private slots:
    void initTestCase()
    {
        if (QCoreApplication::arguments().contains(QStringLiteral("answersEveryCallWithAnError")))
            return;
        const QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected() &&
                     bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")),
                 "a Secret Service on the session bus: run by with_private_bus.sh keyring");
    }

    void keepsAndForgetsThePassphrase_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << "/home/ann/.local/share/Quillbox Plus/notes.rtf"
                               << QByteArray("correct horse");
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
        const Secret secret(bytes.constData(), size_t(bytes.size()));

        Answer a = fetch(keyring, key);
        QVERIFY(a.done);
        QCOMPARE(a.error, QString());
        QVERIFY(!a.secret);

        QCOMPARE(store(keyring, key, secret).error, QString());
        a = fetch(keyring, key);
        QCOMPARE(a.error, QString());
        QVERIFY(a.secret);
        QVERIFY(*a.secret == secret);

        QCOMPARE(forget(keyring, key).error, QString());
        a = fetch(keyring, key);
        QVERIFY(a.done);
        QCOMPARE(a.error, QString());
        QVERIFY(!a.secret);
        // Forgetting what is not there is no error either.
        QCOMPARE(forget(keyring, key).error, QString());
    }

    // Another program (the keyring's own manager, a later version of ours) finds the entry under
    // our service name and the note's key.
    void storesUnderTheProgramsNameAndTheKey()
    {
        SecretServiceKeyring keyring;
        QCOMPARE(store(keyring, QStringLiteral("notes.rtf"), Secret(QStringLiteral("open sesame"))).error,
                 QString());
        QProcess lookup;
        lookup.start(QStringLiteral("secret-tool"),
                     {QStringLiteral("lookup"), QStringLiteral("server"), QStringLiteral("Quillbox Plus"),
                      QStringLiteral("user"), QStringLiteral("notes.rtf")});
        QVERIFY(lookup.waitForFinished(10000));
        QCOMPARE(lookup.exitCode(), 0);
        QCOMPARE(QByteArray::fromBase64(lookup.readAllStandardOutput()), QByteArray("open sesame"));
        QCOMPARE(forget(keyring, QStringLiteral("notes.rtf")).error, QString());
    }

    void storingAgainReplacesThePassphrase()
    {
        SecretServiceKeyring keyring;
        const QString key = QStringLiteral("tab5.rtf");
        QCOMPARE(store(keyring, key, Secret(QStringLiteral("first"))).error, QString());
        QCOMPARE(store(keyring, key, Secret(QStringLiteral("second"))).error, QString());
        const Answer a = fetch(keyring, key);
        QVERIFY(a.secret);
        QVERIFY(*a.secret == Secret(QStringLiteral("second")));
        QCOMPARE(forget(keyring, key).error, QString());
        QVERIFY(!fetch(keyring, key).secret);
    }

    // The program may drop its keyring (at shutdown, say) while the keyring still works on a
    // passphrase; the passphrase handed over must still be there when the keyring gets to it.
    void storingFinishesAfterTheKeyringIsGone()
    {
        const QString key = QStringLiteral("tab6.rtf");
        auto keyring = std::make_unique<SecretServiceKeyring>();
        keyring->store(key, Secret(QStringLiteral("kept on")), [](const QString &) {});
        keyring.reset();
        SecretServiceKeyring later;
        const Answer a = fetch(later, key);
        QCOMPARE(a.error, QString());
        QVERIFY(a.secret);
        QVERIFY(*a.secret == Secret(QStringLiteral("kept on")));
        QCOMPARE(forget(later, key).error, QString());
    }

    void answersEveryCallWithAnError_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("store") << "store";
        QTest::newRow("fetch") << "fetch";
        QTest::newRow("forget") << "forget";
    }
    void answersEveryCallWithAnError()
    {
        QFETCH(QString, call);
        SecretServiceKeyring keyring;
        const QString key = QStringLiteral("notes.rtf");
        const Answer a = call == QLatin1String("store")   ? store(keyring, key, Secret(QStringLiteral("pw")))
                         : call == QLatin1String("fetch") ? fetch(keyring, key)
                                                          : forget(keyring, key);
        QVERIFY2(a.done, "answered within ten seconds");
        QVERIFY2(a.error.startsWith(Keyring::notAvailableText()), qPrintable(a.error));
        QVERIFY2(a.error.size() > Keyring::notAvailableText().size() + 3, "the error says why");
        QVERIFY(!a.secret);
    }
};

QTEST_GUILESS_MAIN(TestSecretServiceKeyring)
#include "tst_secretservicekeyring.moc"
