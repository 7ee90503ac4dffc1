#include "Launchers.h"
#include "SettingsStore.h"
#include "linux/LinuxLauncher.h"
#include "linux/X11KeystrokeSender.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The Linux platform on a real X display: programs started detached with the right arguments,
// the desktop's opener receiving addresses, and keystrokes arriving in another program's window.
class TestLinuxDesktop : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A stub program that writes each of its arguments on a line of its own to a file.
    QString argvStub(const QString &name, const QString &out)
    {
        const QString file = path(name);
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + out.toLocal8Bit() + ".tmp\"\nmv \""
                + out.toLocal8Bit() + ".tmp\" \"" + out.toLocal8Bit() + "\"\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return file;
    }
    static QString contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(m_dir.isValid());
        m_oldPath = qgetenv("PATH");
        QDir().mkpath(path(QStringLiteral("bin")));
        qputenv("PATH", path(QStringLiteral("bin")).toLocal8Bit() + ':' + m_oldPath);
    }
    void cleanupTestCase() { qputenv("PATH", m_oldPath); }

    void commandLineStartsDetachedProgramWithItsArguments_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("argv");
        const QString stub = path(QStringLiteral("my stub"));
        QTest::newRow("quoted program, quoted argument")
            << '"' + stub + "\" one \"two words\"" << QStringLiteral("one\ntwo words\n");
        QTest::newRow("unquoted program path with a blank") << stub + " http://example.org/?a=1&b=2"
                                                            << QStringLiteral("http://example.org/?a=1&b=2\n");
        QTest::newRow("no shell: metacharacters are plain arguments")
            << '"' + stub + "\" ;touch $HOME/x `id` |cat" << QStringLiteral(";touch\n$HOME/x\n`id`\n|cat\n");
    }
    void commandLineStartsDetachedProgramWithItsArguments()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, argv);
        const QString out = path(QStringLiteral("argv.txt"));
        QFile::remove(out);
        QVERIFY(!argvStub(QStringLiteral("my stub"), out).isEmpty());
        LinuxLauncher launcher;
        qint64 pid = 0;
        QVERIFY(launcher.runCommandLine(commandLine, Launcher::Show::Normal, &pid));
        QVERIFY(pid > 0);
        QTRY_COMPARE(contents(out), argv);
    }

    void missingProgramIsReportedNotStarted()
    {
        LinuxLauncher launcher;
        QVERIFY(!launcher.runCommandLine(path(QStringLiteral("no such program")) + " x"));
        QVERIFY(!launcher.runCommandLine(QStringLiteral("   ")));
    }

    void openHandsTheAddressToXdgOpen()
    {
        const QString out = path(QStringLiteral("opened.txt"));
        QVERIFY(!argvStub(QStringLiteral("bin/xdg-open"), out).isEmpty());
        LinuxLauncher launcher;
        QVERIFY(launcher.shellOpen(QStringLiteral("mailto:ann@example.com"), Launcher::Show::Normal));
        QTRY_COMPARE(contents(out), QStringLiteral("mailto:ann@example.com\n"));
        QFile::remove(out);
        QVERIFY(launcher.shellOpen(QStringLiteral("https://example.org/a b"), Launcher::Show::Normal));
        QTRY_COMPARE(contents(out), QStringLiteral("https://example.org/a b\n"));
    }

    void classicProgramNamesStartThisDesktopsPrograms()
    {
        const QString out = path(QStringLiteral("terminal.txt"));
        QVERIFY(!argvStub(QStringLiteral("bin/x-terminal-emulator"), out).isEmpty());
        QVERIFY(!argvStub(QStringLiteral("bin/xcalc"), path(QStringLiteral("calc.txt"))).isEmpty());
        LinuxLauncher launcher;
        QVERIFY(launcher.shellOpen(QStringLiteral("cmd"), Launcher::Show::Normal));
        QTRY_VERIFY(QFile::exists(out));
        QVERIFY(launcher.shellOpen(QStringLiteral("calc.exe"), Launcher::Show::Normal));
        QTRY_VERIFY(QFile::exists(path(QStringLiteral("calc.txt"))));
    }

    // The desktop's default handler starts from its desktop entry, whole command line and all, as
    // the desktop starts it; one that cannot start says so.
    void defaultHandlerStartsItsWholeEntry_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("program"); // of the entry's Exec line, under the test folder
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("argv");
        using L = Launcher::HandlerLaunch;
        QTest::newRow("browser alone") << "http"
                                       << "browser wrapper"
                                       << "" << int(L::Started) << "--flag\n";
        QTest::newRow("dialer with a number")
            << "tel"
            << "browser wrapper"
            << "tel:+44(20)7946-0000" << int(L::Started) << "--flag\ntel:+44(20)7946-0000\n";
        QTest::newRow("program missing") << "http"
                                         << "no such browser"
                                         << "" << int(L::Failed) << "";
        QTest::newRow("no default set") << "mailto"
                                        << ""
                                        << "" << int(L::NoHandler) << "";
    }
    void defaultHandlerStartsItsWholeEntry()
    {
        QFETCH(QString, scheme);
        QFETCH(QString, program);
        QFETCH(QString, address);
        QFETCH(int, result);
        QFETCH(QString, argv);
        const QString out = path(QStringLiteral("handler-argv.txt"));
        QFile::remove(out);
        QVERIFY(!argvStub(QStringLiteral("browser wrapper"), out).isEmpty());
        const QString config = path(QStringLiteral("config")), data = path(QStringLiteral("data"));
        QDir().mkpath(config);
        QDir().mkpath(data + QStringLiteral("/applications"));
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", path(QStringLiteral("none")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", path(QStringLiteral("none")).toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
        QFile mimeapps(config + QStringLiteral("/mimeapps.list"));
        QVERIFY(mimeapps.open(QIODevice::WriteOnly));
        if (!program.isEmpty())
            mimeapps.write("[Default Applications]\nx-scheme-handler/" + scheme.toLatin1() +
                           "=wrapped.desktop\n");
        mimeapps.close();
        QFile entry(data + QStringLiteral("/applications/wrapped.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Wrapped\nExec=\"" + path(program).toUtf8() +
                    "\" --flag %u\n");
        entry.close();

        LinuxLauncher launcher;
        QString entryId;
        QCOMPARE(int(launcher.launchDefaultHandler(scheme, address, &entryId)), result);
        QCOMPARE(entryId, program.isEmpty() ? QString() : QStringLiteral("wrapped.desktop"));
        if (!argv.isEmpty())
            QTRY_COMPARE(contents(out), argv);
    }

    void keystrokesArriveInAnotherProgramsWindow()
    {
        const QString out = path(QStringLiteral("typed.txt"));
        QProcess probe;
        probe.start(QStringLiteral(KEYPROBE), {out});
        QVERIFY(probe.waitForStarted());
        X11KeystrokeSender keys;
        QTRY_COMPARE_WITH_TIMEOUT(keys.focusedWindowProcessId(), probe.processId(), 15000);
        QVERIFY(keys.sendKeys(QStringLiteral("+hello {(}1{)}+(ab)x{BS}{LEFT 2}{DEL}~"), true));
        QVERIFY(probe.waitForFinished(10000));
        QCOMPARE(contents(out), QStringLiteral("Hello (1)B\n"));
    }

    void dialedNumberIsTypedIntoTheDialerOnly()
    {
        const QString out = path(QStringLiteral("dialed.txt"));
        qputenv("KEYPROBE_OUT", out.toLocal8Bit());
        SettingsStore settings(path(QStringLiteral("settings.ini")));
        QVERIFY(settings.SaveSettingValue(QStringLiteral("Dialer"), QStringLiteral(KEYPROBE)));
        LinuxLauncher launcher;
        X11KeystrokeSender keys;
        Launchers launchers(settings, launcher, keys);
        launchers.setDialerFocusTimeout(15000);
        QSignalSpy typed(&launchers, &Launchers::numberTyped);
        launchers.DialNumber(nullptr, QStringLiteral(" +44 (20) 7946-0000 "));
        QTRY_COMPARE_WITH_TIMEOUT(typed.size(), 1, 20000);
        QVERIFY(typed.first().first().toBool());
        // Alt+N reached the dialer as Alt+N, then the number exactly as written.
        QTRY_COMPARE(contents(out), QStringLiteral("[Alt+N]+44 (20) 7946-0000"));
        QVERIFY(keys.sendKeys(QStringLiteral("~"), true)); // the probe ends on Enter
        QTRY_COMPARE(contents(out), QStringLiteral("[Alt+N]+44 (20) 7946-0000\n"));
    }
};

QTEST_MAIN(TestLinuxDesktop)
#include "tst_linuxdesktop.moc"
