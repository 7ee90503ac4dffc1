#include "NoteTab.h"
#include "SettingsStore.h"
#include "TabStripBuilder.h"

#include <QTemporaryDir>
#include <QtTest>


// Which tabs the strip gets, with which captions and tags, from the stored settings.
class TestTabStripBuilder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static QString describe(const TabStripBuilder::Plan &plan)
    {
        QStringList parts;
        for (const TabStripBuilder::Tab &t : plan.tabs)
            parts << QStringLiteral("%1:%2%3").arg(t.note).arg(t.caption, t.iconName.isEmpty() ? "" : "*");
        return parts.join(QLatin1Char('|'));
    }

private slots:
    void buildsFromSettings_data()
    {
        QTest::addColumn<QStringList>("settings"); // key=value pairs
        QTest::addColumn<QString>("tabs");         // note:caption, * when the tab has an image
        QTest::newRow("first start")
            << QStringList{} << "1:Notes*|2:Web Pages*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|5:Other*";
        QTest::newRow("tab 1 hidden") << QStringList{"Tab1=NO", "Tab2="}
                                      << "2:Web Pages*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|5:Other*";
        QTest::newRow("tab 6 shown without caption")
            << QStringList{"Tab6=YES"}
            << "1:Notes*|2:Web Pages*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|5:Other*|6:Other 2";
        QTest::newRow("tab 6 blank or NO stays away")
            << QStringList{"Tab6=", "Tab7=NO"}
            << "1:Notes*|2:Web Pages*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|5:Other*";
        QTest::newRow("captions are trimmed")
            << QStringList{"Tab1C=  Shopping  ", "Tab2=NO", "Tab3=NO", "Tab4=NO", "Tab5=NO"} << "1:Shopping*";
        QTest::newRow("blank caption gives the default")
            << QStringList{"Tab7=YES", "Tab7C=   ", "Tab1=NO", "Tab2=NO", "Tab3=NO", "Tab4=NO", "Tab5=NO"}
            << "7:Other 3";
        QTest::newRow("lower-case yes neither shows nor hides")
            << QStringList{"Tab6=yes", "Tab2=no"}
            << "1:Notes*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|5:Other*";
        QTest::newRow("blanks around YES")
            << QStringList{"Tab7= YES "}
            << "1:Notes*|2:Web Pages*|3:E-Mail Addresses*|4:Phone/Fax Numbers*|"
               "5:Other*|7:Other 3";
    }
    void buildsFromSettings()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, tabs);
        SettingsStore store(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".ini"));
        for (const QString &pair : settings)
            store.SaveSettingValue(pair.section('=', 0, 0), pair.section('=', 1));
        QCOMPARE(describe(TabStripBuilder::fromSettings(store)), tabs);
    }

    void notePathsKeepTheDirectoryAsGiven()
    {
        QCOMPARE(NoteTabs::notePath("/srv/notes", 1), QStringLiteral("/srv/notes/notes.rtf"));
        QCOMPARE(NoteTabs::notePath("/srv/notes/", 7), QStringLiteral("/srv/notes//tab7.rtf"));
        const QStringList names = {"notes.rtf", "web.rtf",  "email.rtf", "phone.rtf",
                                   "other.rtf", "tab6.rtf", "tab7.rtf"};
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(NoteTabs::tab(n).fileName, names[n - 1]);
    }

    void noteDirectoryIsTrimmedNetworkSetting()
    {
        SettingsStore store(m_dir.filePath("network.ini"));
        store.SaveSettingValue("Network", QStringLiteral("  /mnt/share/notes  "));
        QCOMPARE(NoteTabs::noteDirectory(store), QStringLiteral("/mnt/share/notes"));
        store.SaveSettingValue("Network", QStringLiteral("   "));
        QVERIFY(!NoteTabs::noteDirectory(store).trimmed().isEmpty()); // the program's own directory
    }
};

QTEST_GUILESS_MAIN(TestTabStripBuilder)
#include "tst_tabstripbuilder.moc"
