// Locked notes as OpenPGP messages, checked against the real gpg: what we write the gpg command
// line opens (AES-256, iterated and salted S2K), what it writes we open, and every way a message
// can fail to open gets the outcome the user is told.
#include "OpenPgp.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

using OpenPgp::Outcome;
Q_DECLARE_METATYPE(OpenPgp::Outcome)

namespace {

const QString passphrase = QStringLiteral("correct horse");

QByteArray rtfNote(qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    while (rtf.size() < bytes)
        rtf += "Buy milk, call Anna about the {\\b meeting} on Tuesday.\\par\n";
    return rtf + '}';
}

struct GpgRun
{
    int exit = -1;
    QByteArray out;
    QByteArray errors;
};

// Runs gpg in the command line's own home (never the user's): the words of command, then more.
GpgRun gpg(const char *command, const QStringList &more = {})
{
    QProcess process;
    process.start(QStringLiteral("gpg"), QString::fromUtf8(command).split(u' ') + more);
    GpgRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.exit = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

} // namespace

class TestOpenPgp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void roundTrip_data();
    void roundTrip();
    void wrongPassphraseFailsEvenRightAfterTheRightOne();
    void damagedMessage_data();
    void damagedMessage();
    void messageForAPublicKey();
    void gpgCommandLineOpensOurs_data();
    void gpgCommandLineOpensOurs();
    void weOpenTheCommandLines_data();
    void weOpenTheCommandLines();
    void callsFromSeveralThreadsAtOnce();
    void looksEncrypted_data();
    void looksEncrypted();

private:
    QString saved(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_runtime; // our runtime directory: the program's own gpg home goes in there
    QTemporaryDir m_cli;     // the command line's home, whose options must not reach us
    QTemporaryDir m_files;
};

void TestOpenPgp::initTestCase()
{
    QVERIFY(m_runtime.isValid() && m_cli.isValid() && m_files.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    // The user's own options ask for armour and another cipher; the program's messages stay binary
    // AES-256 all the same.
    qputenv("GNUPGHOME", QFile::encodeName(m_cli.path()));
    QFile conf(m_cli.filePath(QStringLiteral("gpg.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("armor\ncipher-algo CAMELLIA128\ns2k-cipher-algo CAMELLIA128\ns2k-digest-algo SHA1\n");
}

void TestOpenPgp::cleanupTestCase()
{
    // gpg started an agent for each home; they go with the test, before their folders do.
    for (const QString &home : {m_cli.path(), m_runtime.filePath(QStringLiteral("quillbox-plus-gnupg"))}) {
        QProcess gpgconf;
        gpgconf.start(QStringLiteral("gpgconf"),
                      {QStringLiteral("--homedir"), home, QStringLiteral("--list-dirs"),
                       QStringLiteral("agent-socket")});
        QVERIFY(gpgconf.waitForFinished());
        const QString socket = QString::fromLocal8Bit(gpgconf.readAllStandardOutput().trimmed());
        QProcess::execute(QStringLiteral("gpgconf"), {QStringLiteral("--homedir"), home,
                                                      QStringLiteral("--kill"), QStringLiteral("gpg-agent")});
        QTRY_VERIFY_WITH_TIMEOUT(!socket.isEmpty() && !QFile::exists(socket), 10000);
    }
}

QString TestOpenPgp::saved(const QString &name, const QByteArray &bytes)
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestOpenPgp::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QString>("passphrase");
    QTest::newRow("empty note") << QByteArray() << passphrase;
    QTest::newRow("one byte") << QByteArray("x") << passphrase;
    QTest::newRow("RTF note") << rtfNote(2000) << passphrase;
    QTest::newRow("1 MB note") << rtfNote(1 << 20) << passphrase;
    QTest::newRow("non-ASCII passphrase") << rtfNote(100) << QStringLiteral("pässwörd ✓");
}

void TestOpenPgp::roundTrip()
{
    QFETCH(QByteArray, plain);
    QFETCH(QString, passphrase);
    const OpenPgp::Result locked = OpenPgp::encrypt(plain, Secret(passphrase));
    QVERIFY2(locked, qPrintable(locked.detail));
    QVERIFY(OpenPgp::looksEncrypted(locked.bytes));
    if (plain.size() > 100)
        QVERIFY(!locked.bytes.contains(plain.left(40)));
    const OpenPgp::Result opened = OpenPgp::decrypt(locked.bytes, Secret(passphrase));
    QVERIFY2(opened, qPrintable(opened.detail));
    QCOMPARE(opened.bytes, plain);
}

void TestOpenPgp::wrongPassphraseFailsEvenRightAfterTheRightOne()
{
    const QByteArray note = rtfNote(500);
    const OpenPgp::Result locked = OpenPgp::encrypt(note, Secret(passphrase));
    QVERIFY2(locked, qPrintable(locked.detail));
    // A wrong passphrase before any right one, then after one: gpg-agent must not have kept the
    // session key of the right one.
    for (const char *wrong : {"correct horsf", "", "correct horse "}) {
        const OpenPgp::Result opened = OpenPgp::decrypt(locked.bytes, Secret(QString::fromUtf8(wrong)));
        QCOMPARE(opened.outcome, Outcome::WrongPassphrase);
        QVERIFY(opened.bytes.isEmpty());
        QCOMPARE(OpenPgp::decrypt(locked.bytes, Secret(passphrase)).bytes, note);
    }
    QCOMPARE(OpenPgp::describe(Outcome::WrongPassphrase), QStringLiteral("The passphrase is wrong."));
}

void TestOpenPgp::damagedMessage_data()
{
    QTest::addColumn<QByteArray>("message");
    const OpenPgp::Result locked = OpenPgp::encrypt(rtfNote(20000), Secret(passphrase));
    QVERIFY2(locked, qPrintable(locked.detail));
    const QByteArray good = locked.bytes;
    QByteArray flippedMiddle = good;
    flippedMiddle[good.size() / 2] = char(flippedMiddle[good.size() / 2] ^ 0x10);
    QByteArray unknownCipher = good;
    unknownCipher[3] = char(unknownCipher[3] ^ 0x10);
    QByteArray flippedEnd = good;
    flippedEnd[good.size() - 3] = char(flippedEnd[good.size() - 3] ^ 0x01);
    QByteArray junk(4096, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("cut after the passphrase packet") << good.left(16);
    QTest::newRow("cut in half") << good.left(good.size() / 2);
    QTest::newRow("last byte missing") << good.chopped(1);
    QTest::newRow("an unknown cipher in the passphrase packet") << unknownCipher;
    QTest::newRow("a flipped bit in the middle") << flippedMiddle;
    QTest::newRow("a flipped bit near the end") << flippedEnd;
    QTest::newRow("random bytes") << junk;
    QTest::newRow("random bytes after a passphrase packet's header") << good.left(2) + junk;
    QTest::newRow("an RTF note") << rtfNote(300);
    QTest::newRow("armour around nothing")
        << QByteArray("-----BEGIN PGP MESSAGE-----\n\n-----END PGP MESSAGE-----\n");
}

void TestOpenPgp::damagedMessage()
{
    QFETCH(QByteArray, message);
    const OpenPgp::Result opened = OpenPgp::decrypt(message, Secret(passphrase));
    QVERIFY2(opened.outcome == Outcome::Damaged,
             qPrintable(QStringLiteral("%1: %2").arg(int(opened.outcome)).arg(opened.detail)));
    QVERIFY(opened.bytes.isEmpty());
}

void TestOpenPgp::messageForAPublicKey()
{
    const GpgRun key = gpg("--batch --passphrase", {QString(), QStringLiteral("--quick-gen-key"),
                                                    QStringLiteral("Anna <anna@example.org>")});
    QVERIFY2(key.exit == 0, key.errors.constData());
    const GpgRun forAnna =
        gpg("--batch --no-armor --trust-model always --recipient anna@example.org --encrypt --output -",
            {saved(QStringLiteral("for-anna.rtf"), rtfNote(300))});
    QVERIFY2(forAnna.exit == 0, forAnna.errors.constData());
    QVERIFY(OpenPgp::looksEncrypted(forAnna.out));
    QCOMPARE(OpenPgp::decrypt(forAnna.out, Secret(passphrase)).outcome, Outcome::NotForPassphrase);
}

void TestOpenPgp::gpgCommandLineOpensOurs_data()
{
    QTest::addColumn<QString>("passphrase");
    QTest::newRow("ASCII") << passphrase;
    QTest::newRow("non-ASCII") << QStringLiteral("pässwörd ✓");
}

void TestOpenPgp::gpgCommandLineOpensOurs()
{
    QFETCH(QString, passphrase);
    const QByteArray note = rtfNote(5000);
    const OpenPgp::Result locked = OpenPgp::encrypt(note, Secret(passphrase));
    QVERIFY2(locked, qPrintable(locked.detail));
    const QString file = saved(QStringLiteral("notes.rtf.gpg"), locked.bytes);
    const GpgRun opened =
        gpg("--batch --pinentry-mode loopback --passphrase", {passphrase, QStringLiteral("--decrypt"), file});
    QVERIFY2(opened.exit == 0, opened.errors.constData());
    QCOMPARE(opened.out, note);
    QVERIFY2(opened.errors.contains("AES256"), opened.errors.constData());
    // The passphrase packet: cipher 9 is AES-256, S2K mode 3 is iterated and salted.
    const QByteArray packets = gpg("--batch --list-packets", {file}).out;
    QVERIFY2(packets.contains(":symkey enc packet: version 4, cipher 9, aead 0,s2k 3, hash 10"),
             packets.constData());
}

void TestOpenPgp::weOpenTheCommandLines_data()
{
    QTest::addColumn<QString>("form");
    QTest::newRow("binary") << QStringLiteral("--no-armor");
    QTest::newRow("ASCII armour") << QStringLiteral("--armor");
}

void TestOpenPgp::weOpenTheCommandLines()
{
    QFETCH(QString, form);
    const QByteArray note = rtfNote(5000);
    const GpgRun made = gpg("--batch --pinentry-mode loopback --passphrase",
                            {passphrase, form, QStringLiteral("--symmetric"), QStringLiteral("--output"),
                             QStringLiteral("-"), saved(QStringLiteral("typed.rtf"), note)});
    QVERIFY2(made.exit == 0, made.errors.constData());
    const QByteArray message = made.out;
    QVERIFY(OpenPgp::looksEncrypted(message));
    const OpenPgp::Result opened = OpenPgp::decrypt(message, Secret(passphrase));
    QVERIFY2(opened, qPrintable(opened.detail));
    QCOMPARE(opened.bytes, note);
    QCOMPARE(OpenPgp::decrypt(message, Secret(QStringLiteral("wrong"))).outcome, Outcome::WrongPassphrase);
}

void TestOpenPgp::callsFromSeveralThreadsAtOnce()
{
    QThreadPool pool;
    pool.setMaxThreadCount(4);
    const QList<int> notes{1, 2, 3, 4, 5, 6};
    const QList<bool> fine = QtConcurrent::blockingMapped(&pool, notes, [](int note) {
        const QByteArray plain = rtfNote(1000 * note);
        const Secret secret(QStringLiteral("passphrase %1").arg(note));
        const OpenPgp::Result locked = OpenPgp::encrypt(plain, secret);
        return locked && OpenPgp::decrypt(locked.bytes, secret).bytes == plain &&
               OpenPgp::decrypt(locked.bytes, Secret(QStringLiteral("passphrase 0"))).outcome ==
                   Outcome::WrongPassphrase;
    });
    QCOMPARE(fine, QList<bool>(notes.size(), true));
}

void TestOpenPgp::looksEncrypted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("encrypted");
    // First packets of real messages, old and new header formats.
    QTest::newRow("passphrase packet, old format") << QByteArray::fromHex("8c0d04090303") << true;
    QTest::newRow("passphrase packet, new format") << QByteArray::fromHex("c30d04090303") << true;
    QTest::newRow("public-key packet, old format") << QByteArray::fromHex("85010c03") << true;
    QTest::newRow("public-key packet, old format, long") << QByteArray::fromHex("84c1030c") << true;
    QTest::newRow("public-key packet, new format") << QByteArray::fromHex("c1c04c03") << true;
    QTest::newRow("protected data, new format") << QByteArray::fromHex("d2c0a301") << true;
    QTest::newRow("legacy encrypted data") << QByteArray::fromHex("a4e1b2f3a9") << true;
    QTest::newRow("compressed data") << QByteArray::fromHex("a3019d") << true;
    QTest::newRow("ASCII armour") << QByteArray("-----BEGIN PGP MESSAGE-----\n\njA0ECQMC") << true;
    QTest::newRow("RTF") << QByteArray("{\\rtf1\\ansi Hello}") << false;
    QTest::newRow("plain text") << QByteArray("Buy milk") << false;
    QTest::newRow("UTF-8 text opening with é") << QString::fromUtf8("éclairs for Anna").toUtf8() << false;
    QTest::newRow("UTF-8 text opening with Ó") << QString::fromUtf8("Ósk á morgun").toUtf8() << false;
    QTest::newRow("UTF-8 text opening with Ò") << QString::fromUtf8("Òscar").toUtf8() << false;
    QTest::newRow("UTF-8 text opening with ɉ") << QString::fromUtf8("ɉ ɉ ɉ").toUtf8() << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("a public key") << QByteArray::fromHex("99018d04") << false;
    QTest::newRow("a signature") << QByteArray::fromHex("890133040001") << false;
    QTest::newRow("armoured public key") << QByteArray("-----BEGIN PGP PUBLIC KEY BLOCK-----\n") << false;
}

void TestOpenPgp::looksEncrypted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, encrypted);
    QCOMPARE(OpenPgp::looksEncrypted(bytes), encrypted);
}

QTEST_GUILESS_MAIN(TestOpenPgp)
#include "tst_openpgp.moc"
