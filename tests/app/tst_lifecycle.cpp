#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

// The real program as a process: one instance per settings file, and the requests to end it
// (system shutdown, terminal, session manager) run the full shutdown instead of killing it.
class TestLifecycle : public QObject
{
    Q_OBJECT

    // One user's world: settings, data and notes in a temporary directory.
    struct User
    {
        QTemporaryDir dir;
        QString config() const { return dir.filePath("config"); }
        QString notes() const { return dir.filePath("notes"); }
        QString ini() const { return config() + "/Quillbox Plus/Quillbox Plus.ini"; }

        User()
        {
            QDir().mkpath(notes());
            SettingsStore store(ini());
            store.SaveSettingValue("Network", notes());
            store.SaveSettingValue("NoSplash", QStringLiteral("1"));
            store.SaveSettingValue("AutoCompletion", QStringLiteral("NO"));
        }

        std::unique_ptr<QProcess> launch(const QString &program = QStringLiteral(QUILLBOX_PROGRAM)) const
        {
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", config());
            env.insert("XDG_DATA_HOME", dir.filePath("data"));
            env.insert("QT_QPA_PLATFORM", "offscreen");
            p->setProcessEnvironment(env);
            p->setProgram(program);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start();
            return p;
        }

        // Running and answering on its instance socket.
        bool waitUntilServing() const
        {
            const QString name = SingleInstance::serverName(ini());
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < 20000) {
                QLocalSocket probe;
                probe.connectToServer(name);
                if (probe.waitForConnected(200))
                    return true;
                QTest::qWait(100);
            }
            return false;
        }
    };

    static void endWith(QProcess &p, int signalNumber)
    {
        ::kill(static_cast<pid_t>(p.processId()), signalNumber);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

private slots:
    // Answered and ended without a display, touching no setting and no note.
    void helpAndVersionPrintAndEnd_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("printed");
        QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("--version");
        QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral("quillbox 5.3");
    }
    void helpAndVersionPrintAndEnd()
    {
        QFETCH(QString, option);
        QFETCH(QString, printed);
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUILLBOX_PROGRAM), {option});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(QString::fromLocal8Bit(p.readAllStandardOutput()).contains(printed),
                 qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
        QCOMPARE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // A copy of the program in any folder (a build folder, say) keeps its notes in the user's data
    // folder, where removing that folder cannot take them along; one marked portable keeps them
    // beside itself.
    void notesGoBesideTheProgramOnlyForAPortableCopy_data()
    {
        QTest::addColumn<bool>("portable");
        QTest::newRow("a copy in a build folder") << false;
        QTest::newRow("a portable copy") << true;
    }
    void notesGoBesideTheProgramOnlyForAPortableCopy()
    {
        QFETCH(bool, portable);
        QTemporaryDir exeDir;
        const QString copy = exeDir.filePath(QStringLiteral("quillbox"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner));
        if (portable)
            QFile(exeDir.filePath(QStringLiteral("portable"))).open(QIODevice::WriteOnly);
        User user;
        SettingsStore(user.ini()).DeleteSetting(QStringLiteral("Network"));
        auto p = user.launch(copy);
        QVERIFY(user.waitUntilServing());
        endWith(*p, SIGTERM);
        const QString data = user.dir.filePath(QStringLiteral("data/Quillbox Plus/notes.rtf"));
        QCOMPARE(QFileInfo::exists(data), !portable);
        QCOMPARE(QFileInfo::exists(exeDir.filePath(QStringLiteral("notes.rtf"))), portable);
    }

    void laterStartAsksTheRunningOneToComeForward()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("a/Quillbox Plus.ini");
        SingleInstance running(ini);
        QVERIFY(running.claim());
        QSignalSpy forward(&running, &SingleInstance::activationRequested);
        SingleInstance later(ini);
        QVERIFY(!later.claim());
        QVERIFY(forward.wait(5000));
        // Another settings file has a socket of its own.
        SingleInstance elsewhere(dir.filePath("b/Quillbox Plus.ini"));
        QVERIFY(elsewhere.claim());
        QCOMPARE(forward.count(), 1);
    }

    void instanceSocketIsInAPrivateDirectory_data()
    {
        QTest::addColumn<QString>("runtimeDir"); // "private", "open to everyone" or "none"
        QTest::newRow("XDG_RUNTIME_DIR") << "private";
        QTest::newRow("XDG_RUNTIME_DIR open to everyone") << "open to everyone";
        QTest::newRow("no XDG_RUNTIME_DIR") << "none";
    }
    void instanceSocketIsInAPrivateDirectory()
    {
        QFETCH(QString, runtimeDir);
        QTemporaryDir root;
        const QString runtime = root.filePath("run");
        QDir().mkpath(runtime);
        const bool open = runtimeDir == "open to everyone";
        QFile::setPermissions(runtime, QFileDevice::Permissions(open ? 0x7777 : 0x7700));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", root.filePath("cache").toLocal8Bit());
        if (runtimeDir == "none")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());

        const QString ini = root.filePath("config/Quillbox Plus.ini");
        const QString socket = SingleInstance::serverName(ini);
        const QString expected =
            runtimeDir == "private" ? runtime : root.filePath("cache/quillbox-plus/runtime");
        QCOMPARE(QFileInfo(socket).absolutePath(), expected);
        QCOMPARE(QFile::permissions(expected) & 0x0077, QFileDevice::Permissions());
        {
            SingleInstance running(ini);
            QVERIFY(running.claim());
            QVERIFY(QFileInfo(socket).exists());
            SingleInstance later(ini);
            QVERIFY(!later.claim());
        }
        savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
        savedCache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", savedCache);
    }

    void aSocketTakenInTheSharedTemporaryDirectoryDoesNotStopUs()
    {
        // Anyone may create the socket the program once listened on in /tmp.
        QTemporaryDir dir;
        const QString ini = dir.filePath("Quillbox Plus.ini");
        const QByteArray hash =
            QCryptographicHash::hash(QFileInfo(ini).absoluteFilePath().toUtf8(), QCryptographicHash::Sha256)
                .toHex();
        const QString publicName = "quillbox-plus-" + QString::fromLatin1(hash.left(24));
        QLocalServer squatter;
        QLocalServer::removeServer(publicName);
        QVERIFY(squatter.listen(publicName));
        QVERIFY(squatter.fullServerName().startsWith(QDir::tempPath()));

        SingleInstance ours(ini);
        QVERIFY(ours.claim());
        QVERIFY(!squatter.hasPendingConnections());
    }

    void secondStartWithTheSameSettingsLeavesTheFirst()
    {
        User user;
        auto first = user.launch();
        QVERIFY(first->waitForStarted());
        QVERIFY(user.waitUntilServing());

        auto second = user.launch();
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        // Another settings location is another user, who runs on their own.
        User other;
        auto third = other.launch();
        QVERIFY(other.waitUntilServing());
        QCOMPARE(third->state(), QProcess::Running);

        endWith(*third, SIGTERM);
        endWith(*first, SIGTERM);
    }

    void endRequestsRunTheShutdown_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void endRequestsRunTheShutdown()
    {
        QFETCH(int, signalNumber);
        User user;
        auto program = user.launch();
        QVERIFY(user.waitUntilServing());
        endWith(*program, signalNumber);
        // Shutdown wrote all seven notes and the window's size.
        QCOMPARE(QDir(user.notes()).entryList({"*.rtf"}, QDir::Files).size(), 7);
        SettingsStore store(user.ini());
        QVERIFY(!store.GetSettingValue("Height").isEmpty());
        QVERIFY(!store.GetSettingValue("Width").isEmpty());
        QCOMPARE(store.GetSettingValue("OnTop"), QStringLiteral("No"));

        // And the instance socket is gone with it: the next start runs normally.
        auto again = user.launch();
        QVERIFY(user.waitUntilServing());
        QCOMPARE(again->state(), QProcess::Running);
        endWith(*again, SIGTERM);
    }
};

QTEST_GUILESS_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
