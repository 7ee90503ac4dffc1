#include "SettingKeys.h"
#include "SettingValue.h"

#include <QSet>
#include <QtTest>

class TestSettingValue : public QObject
{
    Q_OBJECT
private slots:
    void numericIsLongestLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks and trailing letters") << QStringLiteral("  12abc") << 12.0;
        QTest::newRow("no digits") << QStringLiteral("abc") << 0.0;
        QTest::newRow("fraction") << QStringLiteral("3.5x") << 3.5;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("negative coordinate") << QStringLiteral("-1200") << -1200.0;
        QTest::newRow("plus sign") << QStringLiteral("+7") << 7.0;
        QTest::newRow("lone sign") << QStringLiteral("-") << 0.0;
        QTest::newRow("dot without digits") << QStringLiteral("5.") << 5.0;
        QTest::newRow("leading dot") << QStringLiteral(".5") << 0.5;
        QTest::newRow("second dot ends it") << QStringLiteral("1.2.3") << 1.2;
        QTest::newRow("comma is not a decimal point") << QStringLiteral("1,5") << 1.0;
        QTest::newRow("inner blank ends it") << QStringLiteral("1 2") << 1.0;
        QTest::newRow("two") << QStringLiteral("2") << 2.0;
        QTest::newRow("arabic-indic digits are not ASCII digits") << QStringLiteral("\u0663") << 0.0;
        QTest::newRow("huge") << QStringLiteral("1") + QString(400, u'0') << qInf();
    }
    void numericIsLongestLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const double got = SettingValue::numeric(text);
        if (qIsInf(expected))
            QVERIFY(got == 0 || qIsInf(got) || got > 1e300); // never a crash, never garbage
        else
            QCOMPARE(got, expected);
    }

    void wholeNumberIsClampedToIntRange()
    {
        QCOMPARE(SettingValue::wholeNumber(QStringLiteral("99999999999")), std::numeric_limits<int>::max());
        QCOMPARE(SettingValue::wholeNumber(QStringLiteral("-99999999999")), std::numeric_limits<int>::min());
        QCOMPARE(SettingValue::wholeNumber(QStringLiteral("5805.9")), 5805);
        QCOMPARE(SettingValue::wholeNumber(QStringLiteral("-1200")), -1200);
    }

    void dropFinalNulRemovesOnlyOne()
    {
        const QChar nul(0);
        QCOMPARE(SettingValue::dropFinalNul(QStringLiteral("abc") + nul), QStringLiteral("abc"));
        QCOMPARE(SettingValue::dropFinalNul(QStringLiteral("abc") + nul + nul), QStringLiteral("abc") + nul);
        QCOMPARE(SettingValue::dropFinalNul(QStringLiteral("abc")), QStringLiteral("abc"));
        QCOMPARE(SettingValue::dropFinalNul(QString()), QString());
    }

    void yesIsTrimmedAndUpperCased()
    {
        QVERIFY(SettingValue::isYes(QStringLiteral(" yes ")));
        QVERIFY(SettingValue::isYes(QStringLiteral("YES")));
        QVERIFY(!SettingValue::isYes(QStringLiteral("Y")));
        QVERIFY(!SettingValue::isYes(QStringLiteral("TRUE")));
        QVERIFY(!SettingValue::isYes(QString()));
    }

    void keyTableIsCompleteAndUnique()
    {
        QSet<QString> seen;
        for (const auto &info : settingKeyTable()) {
            const QString key = QString::fromLatin1(info.key).toLower();
            QVERIFY2(!seen.contains(key), info.key);
            seen.insert(key);
        }
        for (int n = 1; n <= 7; ++n) {
            QVERIFY(seen.contains(SettingKey::tabShown(n).toLower()));
            QVERIFY(seen.contains(SettingKey::tabCaption(n).toLower()));
        }
        for (const QString &k : {SettingKey::OnTop, SettingKey::Network, SettingKey::Password,
                                 SettingKey::Dialer, SettingKey::DefaultFontSize, SettingKey::IEEnhanced,
                                 SettingKey::AutoCompletion, SettingKey::HotKey, SettingKey::SpellCheck})
            QVERIFY2(seen.contains(k.toLower()), qPrintable(k));
    }
};

QTEST_GUILESS_MAIN(TestSettingValue)
#include "tst_settingvalue.moc"
