#include "PassphraseStrength.h"

#include <QtTest>

class TestPassphraseStrength : public QObject
{
    Q_OBJECT
private slots:
    void rating_data()
    {
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<int>("score");
        QTest::addColumn<QString>("hint");

        const QString tooShort = QStringLiteral("Too short: at least 8 characters.");
        const QString common = QStringLiteral("Weak: a very common password.");
        const QString weak = QStringLiteral("Weak: add words or other characters.");
        const QString fair = QStringLiteral("Fair: a longer passphrase is safer.");
        QTest::newRow("empty") << "" << 0 << tooShort;
        QTest::newRow("seven random characters") << "x7#Qp!z" << 0 << tooShort;
        // Characters as the user counts them: seven letters taking fourteen UTF-16 units.
        QTest::newRow("seven characters beyond the BMP") << QString::fromUtf8("𝒜𝒷𝒸𝒹ℯ𝒻ℊ") << 0 << tooShort;
        QTest::newRow("the word password") << "password" << 0 << common;
        QTest::newRow("common, capital and digit after") << "Password1!" << 0 << common;
        QTest::newRow("common, digits around") << "2024qwerty99" << 0 << common;
        QTest::newRow("common digits") << "123456789" << 0 << common;
        QTest::newRow("one character repeated") << "aaaaaaaaaaaa" << 1 << weak;
        QTest::newRow("alphabet run") << "abcdefghijkl" << 1 << weak;
        QTest::newRow("falling digit run") << "98765432" << 1 << weak;
        QTest::newRow("short piece repeated") << "abcabcabcabc" << 1 << weak;
        QTest::newRow("common words strung together") << "monkeydragon" << 1 << weak;
        QTest::newRow("eight lower-case letters") << "mqvzkrte" << 2 << fair;
        QTest::newRow("eight of mixed kinds") << "k9Qm2xWb" << 2 << fair;
        QTest::newRow("common word with random rest") << "password-Xk9#mQ" << 3 << "Good";
        QTest::newRow("ten of every kind") << "k9#Qm2x!Wb" << 3 << "Good";
        QTest::newRow("four words") << "correct horse battery staple" << 4 << "Strong";
        QTest::newRow("twelve of every kind") << "k9#Qm2x!Wb$7" << 4 << "Strong";
        QTest::newRow("other alphabet") << QString::fromUtf8("Привет мир как дела") << 4 << "Strong";
    }

    void rating()
    {
        QFETCH(QString, passphrase);
        QFETCH(int, score);
        QFETCH(QString, hint);
        const PassphraseStrength::Rating rating = PassphraseStrength::rate(passphrase);
        QCOMPARE(rating.hint, hint);
        QCOMPARE(rating.score, score);
    }

    // Typing on never makes a passphrase look weaker than what was typed before, unless it turns
    // into a repeat or a run: the hint does not jump about while the user types random text.
    void typingRandomTextOnlyRaisesTheScore()
    {
        const QString typed = QStringLiteral("Gx7#pQ2!mZ9$wK4&");
        int last = 0;
        for (qsizetype n = 1; n <= typed.size(); ++n) {
            const int score = PassphraseStrength::rate(typed.left(n)).score;
            QVERIFY2(score >= last, qPrintable(typed.left(n)));
            last = score;
        }
        QCOMPARE(last, 4);
    }

    void lengthCountsCharactersNotUnits_data()
    {
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<bool>("enough");
        QTest::newRow("seven") << "1234567" << false;
        QTest::newRow("eight") << "12345678" << true;
        QTest::newRow("seven astral") << QString::fromUtf8("😀😀😀😀😀😀😀") << false;
        QTest::newRow("eight astral") << QString::fromUtf8("😀😀😀😀😀😀😀😀") << true;
        QTest::newRow("eight accented") << QString::fromUtf8("éèêëàâäç") << true;
    }

    void lengthCountsCharactersNotUnits()
    {
        QFETCH(QString, passphrase);
        QFETCH(bool, enough);
        QCOMPARE(PassphraseStrength::longEnough(passphrase), enough);
    }
};

QTEST_GUILESS_MAIN(TestPassphraseStrength)
#include "tst_passphrasestrength.moc"
