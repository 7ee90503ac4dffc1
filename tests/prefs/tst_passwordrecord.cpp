#include "PasswordRecord.h"

#include <QtTest>

namespace {
QString record(const QString &password)
{
    return QStringLiteral("580917264dKwpBXZMNQr8#hja") + password + QStringLiteral("719036825kq");
}
} // namespace

class TestPasswordRecord : public QObject
{
    Q_OBJECT
private slots:
    void recordKeepsTheFormEarlierSettingsUse()
    {
        QCOMPARE(PasswordRecord::wrap(QStringLiteral("open sesame")), record(QStringLiteral("open sesame")));
        QCOMPARE(PasswordRecord::prefix().size(), 25);
        QCOMPARE(PasswordRecord::suffix().size(), 11);
    }

    void recordHoldsPasswordWithoutSurroundingBlanks()
    {
        QCOMPARE(PasswordRecord::wrap(QStringLiteral("  secret \t")), record(QStringLiteral("secret")));
        QVERIFY(PasswordRecord::wrap(QStringLiteral("   ")).isEmpty());
    }

    void extractFindsThePassword_data()
    {
        const QChar nul(0);
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("password");
        QTest::newRow("as written") << record(QStringLiteral("secret")) << QStringLiteral("secret");
        QTest::newRow("one character") << record(QStringLiteral("x")) << QStringLiteral("x");
        QTest::newRow("inner blanks kept")
            << record(QStringLiteral("two words")) << QStringLiteral("two words");
        QTest::newRow("NUL at the end") << record(QStringLiteral("secret")) + nul << QStringLiteral("secret");
        QTest::newRow("NUL after trailing blanks")
            << record(QStringLiteral("secret")) + QStringLiteral("  ") + nul << QStringLiteral("secret");
        QTest::newRow("trailing blanks")
            << record(QStringLiteral("secret")) + QStringLiteral("   ") << QStringLiteral("secret");
        // The literals are not compared: only their lengths place the password.
        QTest::newRow("other literals")
            << QString(25, u'a') + QStringLiteral("pw") + QString(11, u'b') << QStringLiteral("pw");
        QTest::newRow("missing") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("    ") << QString();
        QTest::newRow("only NUL") << QString(nul) << QString();
        QTest::newRow("literals without password") << record(QString()) << QString();
        QTest::newRow("literals around blanks") << record(QStringLiteral("   ")) << QString();
        QTest::newRow("shorter than the prefix") << QStringLiteral("secret") << QString();
        QTest::newRow("one short of a password") << record(QStringLiteral("x")).left(36) << QString();
        QTest::newRow("NUL does not count as a character") << record(QString()) + nul << QString();
    }
    void extractFindsThePassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, password);
        QCOMPARE(PasswordRecord::extract(stored), password);
    }

    void answersMatch_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("matches");
        QTest::newRow("exact") << "secret"
                               << "secret" << true;
        QTest::newRow("blanks around the answer") << "  secret  "
                                                  << "secret" << true;
        QTest::newRow("other letter case") << "Secret"
                                           << "secret" << false;
        QTest::newRow("cancel") << ""
                                << "secret" << false;
        QTest::newRow("prefix of the password") << "secre"
                                                << "secret" << false;
        QTest::newRow("no password opens nothing") << ""
                                                   << "" << false;
    }
    void answersMatch()
    {
        QFETCH(QString, answer);
        QFETCH(QString, password);
        QFETCH(bool, matches);
        QCOMPARE(PasswordRecord::matches(answer, password), matches);
    }
};

QTEST_GUILESS_MAIN(TestPasswordRecord)
#include "tst_passwordrecord.moc"
