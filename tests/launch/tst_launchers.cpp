#include "Dialogs.h"
#include "Launchers.h"
#include "MakerAddresses.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Show = Launcher::Show;

// The launch commands as the fake platform sees them: which command lines are started and which
// targets are opened, for each combination of settings.
class TestLaunchers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FakeLauncher m_launcher;
    FakeKeystrokeSender m_keys;
    std::unique_ptr<Launchers> m_launchers;
    int m_setupOpened = 0;
    QStringList m_status;

    void set(const QString &key, const QString &value) { QVERIFY(m_settings->SaveSettingValue(key, value)); }
    QStringList setupPrompts() const
    {
        QStringList titles;
        for (const Dialogs::Shown &s : Dialogs::shown()) {
            if (s.title == QLatin1String("Setup Your Preferences"))
                titles << s.text;
        }
        return titles;
    }
    QString executableFile(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return path;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("settings.ini")));
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("settings.ini")));
        m_launcher = FakeLauncher();
        m_keys = FakeKeystrokeSender();
        m_launchers = std::make_unique<Launchers>(*m_settings, m_launcher, m_keys);
        m_setupOpened = 0;
        m_status.clear();
        m_launchers->setOpenSetup([this] { ++m_setupOpened; });
        m_launchers->setShowStatus([this](const QString &s) { m_status << s; });
        m_launchers->setDialerFocusTimeout(300);
        Dialogs::clearSeams();
        Dialogs::setNeverBlock(true);
    }

    void systemHandlerModeReading_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("YES") << "YES" << true;
        QTest::newRow("lower case with blanks") << "  yes " << true;
        QTest::newRow("NO") << "NO" << false;
        QTest::newRow("Y") << "Y" << false;
        QTest::newRow("TRUE") << "TRUE" << false;
        QTest::newRow("empty") << "" << false;
    }
    void systemHandlerModeReading()
    {
        QFETCH(QString, value);
        QFETCH(bool, on);
        set(QStringLiteral("IEEnhanced"), value);
        set(QStringLiteral("Browser"), QStringLiteral("/usr/bin/browser"));
        m_launcher.handlerEntry = QStringLiteral("default-browser.desktop");
        m_launchers->LaunchBrowser(nullptr);
        if (on) {
            // The desktop's default browser on its own start page: no address is made up.
            QCOMPARE(m_launcher.handlerLaunches, QStringList{QStringLiteral("http")});
            QVERIFY(m_launcher.commandLines.isEmpty());
            QVERIFY(m_launcher.opened.isEmpty());
        } else {
            QCOMPARE(m_launcher.commandLines, QStringList{QStringLiteral("/usr/bin/browser")});
            QVERIFY(m_launcher.handlerLaunches.isEmpty());
            QVERIFY(m_launcher.opened.isEmpty());
        }
    }

    void systemHandlerModeNeverAsksForSetup()
    {
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        m_launcher.handlerEntry = QStringLiteral("default-browser.desktop");
        m_launchers->LaunchBrowser(nullptr);
        m_launchers->LaunchEmailProgram(nullptr);
        QCOMPARE(m_launcher.handlerLaunches, QStringList{QStringLiteral("http")});
        QCOMPARE(m_launcher.opened, QStringList{QStringLiteral("mailto:")});
        QVERIFY(setupPrompts().isEmpty());
        QCOMPARE(m_setupOpened, 0);
    }

    void systemHandlerModeWithoutADefaultBrowserSaysSo()
    {
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        m_launchers->LaunchBrowser(nullptr);
        QVERIFY(m_launcher.commandLines.isEmpty());
        QVERIFY(m_launcher.opened.isEmpty());
        QCOMPARE(m_status, QStringList{QStringLiteral("No default web browser is set on this desktop.")});
    }

    // A default handler that does not start is named, so that the user knows which one to mend.
    void defaultHandlerThatFailsIsNamedInStatusBar_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("web browser") << "browser"
                                     << "Could not start the default web browser (broken.desktop).";
        QTest::newRow("dialer") << "dialer"
                                << "Could not start the default dialer (broken.desktop).";
        QTest::newRow("number") << "number"
                                << "Could not start the default dialer (broken.desktop).";
    }
    void defaultHandlerThatFailsIsNamedInStatusBar()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        m_launcher.handlerEntry = QStringLiteral("broken.desktop");
        m_launcher.succeed = false;
        if (command == QLatin1String("browser"))
            m_launchers->LaunchBrowser(nullptr);
        else if (command == QLatin1String("dialer"))
            m_launchers->LaunchDialer();
        else
            m_launchers->DialNumber(nullptr, QStringLiteral("555"));
        QCOMPARE(m_status, QStringList{message});
    }

    void unconfiguredProgramShowsSetupPromptThenOpensSetup_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("absent") << QString();
        QTest::newRow("one character") << "x";
        QTest::newRow("blanks only") << "   ";
    }
    void unconfiguredProgramShowsSetupPromptThenOpensSetup()
    {
        QFETCH(QString, value);
        if (!value.isNull()) {
            set(QStringLiteral("Browser"), value);
            set(QStringLiteral("EMail"), value);
        }
        m_launchers->LaunchBrowser(nullptr);
        m_launchers->LaunchEmailProgram(nullptr);
        m_launchers->OpenWebAddress(nullptr, QStringLiteral("www.example.com"), true);
        m_launchers->ComposeEmail(nullptr, QStringLiteral("ann@example.com"), true);
        QVERIFY(m_launcher.commandLines.isEmpty());
        QVERIFY(m_launcher.opened.isEmpty());
        QCOMPARE(setupPrompts().size(), 4);
        QCOMPARE(m_setupOpened, 4);
        QVERIFY(setupPrompts().first().startsWith(
            QLatin1String("It appears as if you have not yet set up your Internet Preferences... Select "
                          "Applications | Setup from the main Quillbox Window.")));
    }

    void programCommandsStartTheTrimmedProgramAlone()
    {
        set(QStringLiteral("Browser"), QStringLiteral("  /opt/Web Browser/browse  "));
        set(QStringLiteral("EMail"), QStringLiteral(" /usr/bin/mailer "));
        set(QStringLiteral("EMailSettings"), QStringLiteral("-compose"));
        m_launchers->LaunchBrowser(nullptr);
        m_launchers->LaunchEmailProgram(nullptr);
        QCOMPARE(m_launcher.commandLines,
                 (QStringList{QStringLiteral("/opt/Web Browser/browse"), QStringLiteral("/usr/bin/mailer")}));
        QCOMPARE(m_launcher.commandShows, (QList<Show>{Show::Normal, Show::Normal}));
    }

    void webAddressCommandLine_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/usr/bin/browser"
                               << "www.example.com"
                               << "/usr/bin/browser www.example.com";
        QTest::newRow("blanks trimmed, path with blanks not quoted")
            << "  /opt/Web Browser/browse "
            << " http://example.org/a "
            << "/opt/Web Browser/browse http://example.org/a";
        QTest::newRow("final NUL dropped") << QStringLiteral("/usr/bin/browser") + QChar(0) << "x.org"
                                           << "/usr/bin/browser x.org";
        QTest::newRow("only one NUL dropped") << QStringLiteral("/usr/bin/b") + QChar(0) + QChar(0) << "x.org"
                                              << QStringLiteral("/usr/bin/b") + QChar(0) + " x.org";
    }
    void webAddressCommandLine()
    {
        QFETCH(QString, browser);
        QFETCH(QString, address);
        QFETCH(QString, expected);
        set(QStringLiteral("Browser"), browser);
        m_launchers->OpenWebAddress(nullptr, address, true);
        QCOMPARE(m_launcher.commandLines, QStringList{expected});
    }

    void oneCharacterBrowserWithNulAsksForSetup()
    {
        set(QStringLiteral("Browser"), QStringLiteral("b") + QChar(0));
        m_launchers->OpenWebAddress(nullptr, QStringLiteral("x.org"), true);
        QVERIFY(m_launcher.commandLines.isEmpty());
        QCOMPARE(m_setupOpened, 1);
    }

    void systemHandlerOpensAddressesUnchanged()
    {
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        m_launchers->OpenWebAddress(nullptr, QStringLiteral("http://example.org/ "), true);
        m_launchers->ComposeEmail(nullptr, QStringLiteral("ann@example.com"), true);
        QCOMPARE(m_launcher.opened, (QStringList{QStringLiteral("http://example.org/ "),
                                                 QStringLiteral("mailto:ann@example.com")}));
        QVERIFY(m_launcher.commandLines.isEmpty());
    }

    void aboutBoxLinksSkipTheSetupCheck()
    {
        m_launchers->OpenWebAddress(nullptr, MakerAddresses::aboutPage(), false);
        QCOMPARE(m_setupOpened, 0);
        QCOMPARE(m_launcher.commandLines, QStringList{QStringLiteral(" ") + MakerAddresses::aboutPage()});
    }

    void emailCommandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no options: one space") << "/usr/bin/mailer"
                                               << ""
                                               << "/usr/bin/mailer ann@example.com";
        QTest::newRow("options between program and address") << " /usr/bin/mailer "
                                                             << " -compose "
                                                             << "/usr/bin/mailer -compose ann@example.com";
        QTest::newRow("eudora: mailto option, address twice")
            << "/opt/Eudora/eudora"
            << "-ignored"
            << "/opt/Eudora/eudora mailto:ann@example.com ann@example.com";
        QTest::newRow("EUDORA in capitals") << "/opt/EUDORA.EXE"
                                            << ""
                                            << "/opt/EUDORA.EXE mailto:ann@example.com ann@example.com";
        QTest::newRow("Windows exch program: /n") << "/opt/Exchange/exch32.exe"
                                                  << "-other"
                                                  << "/opt/Exchange/exch32.exe /n ann@example.com";
        QTest::newRow("both, Windows program: exch wins") << "/opt/eudora-exch.EXE"
                                                          << ""
                                                          << "/opt/eudora-exch.EXE /n ann@example.com";
        QTest::newRow("exch program of this desktop: no Windows switch")
            << "/usr/bin/exchange-mail"
            << ""
            << "/usr/bin/exchange-mail ann@example.com";
        QTest::newRow("exch program of this desktop keeps typed options")
            << "/usr/bin/exchange-mail"
            << "--compose"
            << "/usr/bin/exchange-mail --compose ann@example.com";
        QTest::newRow("NUL dropped from program and options")
            << QStringLiteral("/usr/bin/mailer") + QChar(0) << QStringLiteral("-c") + QChar(0)
            << "/usr/bin/mailer -c ann@example.com";
    }
    void emailCommandLine()
    {
        QFETCH(QString, program);
        QFETCH(QString, options);
        QFETCH(QString, expected);
        set(QStringLiteral("EMail"), program);
        set(QStringLiteral("EMailSettings"), options);
        m_launchers->ComposeEmail(nullptr, QStringLiteral(" ann@example.com "), true);
        QCOMPARE(m_launcher.commandLines, QStringList{expected});
    }

    void dialerCommandOpensSetDialerOrSystemOne_data()
    {
        QTest::addColumn<QString>("dialer");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("handlerLaunches");
        QTest::newRow("empty: the desktop's tel: handler") << "" << QStringList() << QStringList{"tel"};
        QTest::newRow("blanks: the desktop's tel: handler") << "   " << QStringList() << QStringList{"tel"};
        QTest::newRow("set, trimmed") << " /usr/bin/phone " << QStringList{"/usr/bin/phone"} << QStringList();
    }
    void dialerCommandOpensSetDialerOrSystemOne()
    {
        QFETCH(QString, dialer);
        QFETCH(QStringList, opened);
        QFETCH(QStringList, handlerLaunches);
        set(QStringLiteral("Dialer"), dialer);
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES")); // plays no part
        m_launcher.handlerEntry = QStringLiteral("phone.desktop");
        m_launchers->LaunchDialer();
        QCOMPARE(m_launcher.opened, opened);
        QCOMPARE(m_launcher.handlerLaunches, handlerLaunches);
        QVERIFY(m_launcher.commandLines.isEmpty());
        QVERIFY(setupPrompts().isEmpty());
    }

    void terminalAndCalculatorUseTheClassicNames()
    {
        m_launchers->LaunchCommandPrompt();
        m_launchers->LaunchCalculatorProgram();
        QCOMPARE(m_launcher.opened, (QStringList{QStringLiteral("cmd"), QStringLiteral("calc.exe")}));
    }

    void failedLaunchSaysSoInStatusBar()
    {
        m_launcher.succeed = false;
        m_launchers->LaunchCalculatorProgram();
        QCOMPARE(m_status.size(), 1);
        QVERIFY(m_status.first().contains(QLatin1String("calculator")));
    }

    void numberIsTypedOnlyOnceDialerHasTheFocus()
    {
        const QString dialer = executableFile(QStringLiteral("phone dialer"));
        set(QStringLiteral("Dialer"), QStringLiteral(" ") + dialer + QStringLiteral(" "));
        m_launchers->setDialerFocusTimeout(5000);
        QSignalSpy typed(m_launchers.get(), &Launchers::numberTyped);
        m_keys.focusedPid = 1; // our own note still has the focus
        m_launcher.nextProcessId = 777;
        m_launchers->DialNumber(nullptr, QStringLiteral(" +44 (20) 7946-0000 "));
        QCOMPARE(m_launcher.commandLines, QStringList{dialer});
        QTest::qWait(250);
        QVERIFY(m_keys.sent.isEmpty());
        m_keys.focusedPid = 777;
        QTRY_COMPARE(typed.size(), 1);
        QCOMPARE(typed.first().first().toBool(), true);
        // Alt+N first, then the number typed exactly as written, waiting for the last keys.
        QCOMPARE(m_keys.sent,
                 (QStringList{QStringLiteral("%N"), QStringLiteral("{+}44 {(}20{)} 7946-0000")}));
        QCOMPARE(m_keys.waits, (QList<bool>{false, true}));
    }

    void numberIsNotTypedWhenDialerNeverTakesTheFocus()
    {
        set(QStringLiteral("Dialer"), executableFile(QStringLiteral("slowdialer")));
        QSignalSpy timedOut(m_launchers.get(), &Launchers::dialerFocusTimedOut);
        m_keys.focusedPid = 1;
        m_launchers->DialNumber(nullptr, QStringLiteral("555-1234"));
        QTRY_COMPARE(timedOut.size(), 1);
        QVERIFY(m_keys.sent.isEmpty());
        QCOMPARE(m_status.size(), 1);
    }

    // The desktop's dialer gets the number as a tel: address; no keys go anywhere.
    void emptyDialerSettingUsesTheSystemDialer()
    {
        m_launcher.handlerEntry = QStringLiteral("phone.desktop");
        m_keys.focusedPid = m_launcher.nextProcessId;
        m_launchers->DialNumber(nullptr, QStringLiteral(" +44 (20) 7946-0000 #2 "));
        QCOMPARE(m_launcher.handlerLaunches, QStringList{QStringLiteral("tel tel:+44(20)7946-0000%232")});
        QVERIFY(m_launcher.commandLines.isEmpty());
        QTest::qWait(150);
        QVERIFY(m_keys.sent.isEmpty());
        QCOMPARE(m_status, QStringList{QString()});
    }

    void missingDialerIsOpenedAndNothingTyped()
    {
        const QString missing = m_dir.filePath(QStringLiteral("no-such-dialer"));
        set(QStringLiteral("Dialer"), missing);
        m_keys.focusedPid = m_launcher.nextProcessId;
        m_launchers->DialNumber(nullptr, QStringLiteral("555"));
        QCOMPARE(m_launcher.opened, QStringList{missing});
        QVERIFY(m_launcher.commandLines.isEmpty());
        QTest::qWait(150);
        QVERIFY(m_keys.sent.isEmpty());
    }

    void noDialerAnywhereSaysSo()
    {
        m_launchers->DialNumber(nullptr, QStringLiteral("555"));
        m_launchers->LaunchDialer();
        QVERIFY(m_launcher.commandLines.isEmpty());
        QVERIFY(m_launcher.opened.isEmpty());
        QCOMPARE(
            m_status,
            QStringList(2, QStringLiteral("No dialer is installed. Choose one under Applications | Setup.")));
    }
};

QTEST_GUILESS_MAIN(TestLaunchers)
#include "tst_launchers.moc"
