#include "linux/DesktopHandlers.h"
#include "linux/DesktopPrograms.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Finding this desktop's registered web and mail programs and its terminal and calculator, with
// stub programs and desktop entries in a private folder instead of the real system.
class TestDesktopHandlers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;

    QString write(const QString &relative, const QByteArray &content, bool executable = false)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(content);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return path;
    }
    QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    QStringList bin() const { return {m_dir.filePath(QStringLiteral("bin"))}; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldPath = qgetenv("PATH");
        // A stub xdg-mime answering from a table, first on PATH.
        write(QStringLiteral("bin/xdg-mime"),
              "#!/bin/sh\n"
              "case \"$3\" in\n"
              "  x-scheme-handler/http) echo stub-browser.desktop ;;\n"
              "  x-scheme-handler/mailto) echo mail-client.desktop ;;\n"
              "  x-scheme-handler/tel) echo ;;\n"
              "esac\n",
              true);
        qputenv("PATH", m_dir.filePath(QStringLiteral("bin")).toLocal8Bit() + ':' + m_oldPath);
        qputenv("XDG_DATA_HOME", data().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_dir.filePath(QStringLiteral("nowhere")).toLocal8Bit());
        write(QStringLiteral("data/applications/stub-browser.desktop"),
              "[Desktop Entry]\nName=Stub\nExec=/opt/stub/browser --new-window %u\n"
              "[Desktop Action private]\nExec=/opt/stub/browser --private %u\n");
        // "mail-client.desktop" lives as mail/client.desktop, the nested form of its id.
        write(QStringLiteral("data/applications/mail/client.desktop"),
              "[Desktop Action compose]\nExec=wrong\n[Desktop Entry]\nExec = env GDK_BACKEND=x11 mailer -compose %U\n");
    }
    void cleanupTestCase() { qputenv("PATH", m_oldPath); }

    void registeredProgramsComeFromTheDefaultEntry()
    {
        QCOMPARE(DesktopHandlers::defaultEntryId(QStringLiteral("x-scheme-handler/http")),
                 QStringLiteral("stub-browser.desktop"));
        QCOMPARE(DesktopHandlers::registeredProgram(QStringLiteral("x-scheme-handler/http")),
                 QStringLiteral("/opt/stub/browser"));
        QCOMPARE(DesktopHandlers::registeredProgram(QStringLiteral("x-scheme-handler/mailto")),
                 QStringLiteral("mailer"));
        QCOMPARE(DesktopHandlers::registeredProgram(QStringLiteral("x-scheme-handler/tel")), QString());
    }

    void programOfExecLine_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("program");
        QTest::newRow("field code") << "firefox-esr %u" << "firefox-esr";
        QTest::newRow("options") << "/usr/bin/chromium --incognito %U" << "/usr/bin/chromium";
        QTest::newRow("quoted path with blanks") << "\"/opt/My Browser/run\" %u" << "\"/opt/My Browser/run\"";
        QTest::newRow("env prefix") << "env A=1 B=2 browser %u" << "browser";
        QTest::newRow("only a field code") << "%u" << "";
        QTest::newRow("empty") << "" << "";
    }
    void programOfExecLine()
    {
        QFETCH(QString, exec);
        QFETCH(QString, program);
        QCOMPARE(DesktopHandlers::programOfExec(exec), program);
    }

    void missingOrOddEntriesGiveNothing()
    {
        QCOMPARE(DesktopHandlers::findEntry(QStringLiteral("absent.desktop"), {data()}), QString());
        QCOMPARE(DesktopHandlers::findEntry(QStringLiteral("../escape.desktop"), {data()}), QString());
        QCOMPARE(DesktopHandlers::execLine(m_dir.filePath(QStringLiteral("no-file"))), QString());
        const QString noExec = write(QStringLiteral("data/applications/noexec.desktop"), "[Desktop Entry]\nName=x\n");
        QCOMPARE(DesktopHandlers::execLine(noExec), QString());
    }

    void firstInstalledTerminalAndCalculator()
    {
        qunsetenv("TERMINAL");
        QCOMPARE(DesktopPrograms::terminal(bin()), QString());
        QCOMPARE(DesktopPrograms::calculator(bin()), QString());

        const QString xterm = write(QStringLiteral("bin/xterm"), "#!/bin/sh\n", true);
        const QString kcalc = write(QStringLiteral("bin/kcalc"), "#!/bin/sh\n", true);
        QCOMPARE(DesktopPrograms::terminal(bin()), xterm);
        QCOMPARE(DesktopPrograms::calculator(bin()), kcalc);

        // An earlier calculator of the list wins; a file that cannot run does not count.
        write(QStringLiteral("bin/gnome-calculator"), "not a program");
        QCOMPARE(DesktopPrograms::calculator(bin()), kcalc);
        const QString gnome = write(QStringLiteral("bin/gnome-calculator"), "#!/bin/sh\n", true);
        QCOMPARE(DesktopPrograms::calculator(bin()), gnome);

        // The user's $TERMINAL comes before the usual ones, x-terminal-emulator before both.
        const QString kitty = write(QStringLiteral("bin/kitty"), "#!/bin/sh\n", true);
        qputenv("TERMINAL", "kitty --single-instance");
        QCOMPARE(DesktopPrograms::terminal(bin()), kitty + QStringLiteral(" --single-instance"));
        // A $TERMINAL that is not installed falls back on the usual list, where kitty precedes xterm.
        qputenv("TERMINAL", "not-installed");
        QCOMPARE(DesktopPrograms::terminal(bin()), kitty);
        const QString debian = write(QStringLiteral("bin/x-terminal-emulator"), "#!/bin/sh\n", true);
        QCOMPARE(DesktopPrograms::terminal(bin()), debian);
        qunsetenv("TERMINAL");
    }
};

QTEST_GUILESS_MAIN(TestDesktopHandlers)
#include "tst_desktophandlers.moc"
