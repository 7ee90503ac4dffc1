#include "Dialogs.h"
#include "Platform.h"
#include "ProgramPlaces.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SettingsStore.h"

#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

// The running program on a real X display with this desktop's own platform: a double-click on a
// web address in tab 2 starts the configured browser with that address.
class TestLaunchWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QString contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void doubleClickOnWebAddressStartsTheBrowser()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        const QString out = path(QStringLiteral("browser-argv.txt"));
        const QString browser = path(QStringLiteral("stub browser"));
        {
            QFile f(browser);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toLocal8Bit() + "\"\n");
            f.close();
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        }
        QDir().mkpath(path(QStringLiteral("notes")));
        QDir().mkpath(path(QStringLiteral("program")));
        ProgramPlaces::overrideProgramDirectory(path(QStringLiteral("program")));
        Dialogs::setNeverBlock(true);

        SettingsStore settings(path(QStringLiteral("settings.ini")));
        settings.SaveSettingValue(QStringLiteral("Network"), path(QStringLiteral("notes")));
        settings.SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
        settings.SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("No"));
        settings.SaveSettingValue(QStringLiteral("IEEnhanced"), QStringLiteral("NO"));
        settings.SaveSettingValue(QStringLiteral("Browser"), browser); // a path with a blank, unquoted

        Platform platform = Platform::createNative();
        auto window = std::make_unique<Quillbox>(settings, platform);
        QVERIFY(window->startUp());
        window->showAsStarted();
        QTabBar *tabs = window->tabStrip();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabData(i).toInt() == 2)
                tabs->setCurrentIndex(i);
        }
        RichTextBox *box = window->editor(2);
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        box->setText(QStringLiteral("Our news: www.example.com/news. Read it"));

        QTextCursor at(box->document());
        at.setPosition(box->Text().indexOf(QLatin1String("example")) + 2);
        const QPoint point = box->cursorRect(at).center();
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, point);

        QTRY_COMPARE(contents(out), QStringLiteral("www.example.com/news\n"));
        QCOMPARE(box->SelText(), QStringLiteral("www.example.com/news"));
        window->shutdown();
        window.reset();
        ProgramPlaces::overrideProgramDirectory(QString());
    }
};

QTEST_MAIN(TestLaunchWindow)
#include "tst_launchwindow.moc"
