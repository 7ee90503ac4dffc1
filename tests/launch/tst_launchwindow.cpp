#include "Dialogs.h"
#include "Platform.h"
#include "ProgramPlaces.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SettingsStore.h"

#include <QClipboard>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

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

    // An executable script that writes the arguments it was started with, one a line.
    QString stubProgram(const QString &name, const QString &out)
    {
        const QString program = path(name);
        QFile f(program);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toLocal8Bit() + "\"\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return program;
    }

private slots:
    void doubleClickHandsTheWholeItemOn_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("programKey");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("web address") << 2 << "Our news: www.example.com/news. Read it"
                                     << "example"
                                     << "www.example.com/news"
                                     << "Browser"
                                     << "www.example.com/news\n";
        QTest::newRow("hyphenated web address") << 2 << "Shop: https://my-site.example.org/a-b today"
                                                << "site"
                                                << "https://my-site.example.org/a-b"
                                                << "Browser"
                                                << "https://my-site.example.org/a-b\n";
        QTest::newRow("hyphenated mail address") << 3 << "Write to some-one@my-domain.org soon"
                                                 << "domain"
                                                 << "some-one@my-domain.org"
                                                 << "EMail"
                                                 << "some-one@my-domain.org\n";
        // The dialer is started alone; the number reaches it as keystrokes, not arguments.
        QTest::newRow("phone number with blanks and hyphens") << 4 << "Office (555) 123-4567, ask for Ann"
                                                              << "123"
                                                              << "(555) 123-4567"
                                                              << "Dialer"
                                                              << "\n";
    }

    // The running program on a real X display with this desktop's own platform: a double-click
    // in the web, e-mail or phone tab starts the configured program for the whole item.
    void doubleClickHandsTheWholeItemOn()
    {
        QFETCH(int, tab);
        QFETCH(QString, text);
        QFETCH(QString, clicked);
        QFETCH(QString, item);
        QFETCH(QString, programKey);
        QFETCH(QString, arguments);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        const QString out = path(programKey + QStringLiteral("-argv.txt"));
        QFile::remove(out);
        const QString program = stubProgram(QStringLiteral("stub ") + programKey, out);
        QVERIFY(!program.isEmpty());
        QDir().mkpath(path(QStringLiteral("notes")));
        QDir().mkpath(path(QStringLiteral("program")));
        ProgramPlaces::overrideProgramDirectory(path(QStringLiteral("program")));
        Dialogs::setNeverBlock(true);

        QFile::remove(path(QStringLiteral("settings.ini")));
        SettingsStore settings(path(QStringLiteral("settings.ini")));
        settings.SaveSettingValue(QStringLiteral("Network"), path(QStringLiteral("notes")));
        settings.SaveSettingValue(QStringLiteral("NoSplash"), QStringLiteral("1"));
        settings.SaveSettingValue(QStringLiteral("AutoCompletion"), QStringLiteral("No"));
        settings.SaveSettingValue(QStringLiteral("IEEnhanced"), QStringLiteral("NO"));
        settings.SaveSettingValue(QStringLiteral("EMailSettings"), QString());
        settings.SaveSettingValue(programKey, program); // a path with a blank, unquoted

        Platform platform = Platform::createNative();
        auto window = std::make_unique<Quillbox>(settings, platform);
        QVERIFY(window->startUp());
        window->showAsStarted();
        QTabBar *tabs = window->tabStrip();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->tabData(i).toInt() == tab)
                tabs->setCurrentIndex(i);
        }
        RichTextBox *box = window->editor(tab);
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        box->setText(text);

        QTextCursor at(box->document());
        at.setPosition(box->Text().indexOf(clicked) + 1);
        const QPoint point = box->cursorRect(at).center();
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, point);

        QTRY_COMPARE(contents(out), arguments);
        QCOMPARE(box->SelText(), item);
        QCOMPARE(QGuiApplication::clipboard()->text(), item);
        window->shutdown();
        window.reset();
        ProgramPlaces::overrideProgramDirectory(QString());
    }
};

QTEST_MAIN(TestLaunchWindow)
#include "tst_launchwindow.moc"
