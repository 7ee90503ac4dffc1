#include "OnTopRule.h"
#include "SettingsStore.h"

#include <QTemporaryDir>
#include <QtTest>

// Reading "OnTop" puts it back in its proper form; the window's flag changes only on a change.
class TestOnTopRule : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void readsAndRewritesInProperForm_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("absent");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("absent") << QString() << true << false << "No";
        QTest::newRow("Yes") << "Yes" << false << true << "Yes";
        QTest::newRow("lower-case yes") << "yes" << false << true << "Yes";
        QTest::newRow("blanks and final NUL") << QStringLiteral(" YES") + QChar(0) << false << true << "Yes";
        QTest::newRow("No") << "No" << false << false << "No";
        QTest::newRow("anything else") << "1" << false << false << "No";
    }
    void readsAndRewritesInProperForm()
    {
        QFETCH(QString, stored);
        QFETCH(bool, absent);
        QFETCH(bool, on);
        QFETCH(QString, rewritten);
        SettingsStore store(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".ini"));
        if (!absent)
            store.SaveSettingValue("OnTop", stored);
        OnTopRule rule(store);
        QCOMPARE(rule.readAndNormalise(), on);
        QCOMPARE(store.GetSettingValue("OnTop"), rewritten);
    }

    void storesTheMenuState()
    {
        SettingsStore store(m_dir.filePath("menu.ini"));
        OnTopRule rule(store);
        rule.store(true);
        QCOMPARE(store.GetSettingValue("OnTop"), QStringLiteral("Yes"));
        rule.store(false);
        QCOMPARE(store.GetSettingValue("OnTop"), QStringLiteral("No"));
    }

    void aPaintInTheSameStateLeavesTheStoreAlone()
    {
        SettingsStore store(m_dir.filePath("paint.ini"));
        store.SaveSettingValue("OnTop", QStringLiteral("Yes"));
        const QDateTime before = QFileInfo(store.path()).lastModified();
        QTest::qWait(20);
        OnTopRule rule(store);
        QVERIFY(rule.readAndNormalise());
        QCOMPARE(QFileInfo(store.path()).lastModified(), before);
        QVERIFY(!OnTopRule::needsFlagChange(true, true));
        QVERIFY(OnTopRule::needsFlagChange(false, true));
    }
};

QTEST_GUILESS_MAIN(TestOnTopRule)
#include "tst_ontoprule.moc"
