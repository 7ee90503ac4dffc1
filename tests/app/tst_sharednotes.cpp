#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QDir>
#include <QDirIterator>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

// Notes on one shared note directory used by several running programs at once, each with its own
// settings (as two machines on a network drive), and a program killed right after typing.
class TestSharedNotes : public QObject
{
    Q_OBJECT

    // One machine: its own settings and data, the note directory shared with the others.
    struct Machine
    {
        QTemporaryDir dir;
        QString noteDir;
        QString config() const { return dir.filePath("config"); }
        QString ini() const { return config() + "/Quillbox Plus/Quillbox Plus.ini"; }
        QString sharedData; // the data directory, when several machines share one
        QString data() const { return sharedData.isEmpty() ? dir.filePath("data") : sharedData; }
        // The recovery copy of note n of this machine's note set; empty when there is none.
        QString recoveryCopy(int n) const
        {
            QDirIterator it(data() + QStringLiteral("/Quillbox Plus/recovery"),
                            {QStringLiteral("manifest.txt")}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString manifest = it.next();
                if (!read(manifest).contains(("settings=" + ini()).toUtf8()))
                    continue;
                const QString copy = QFileInfo(manifest).path() + QStringLiteral("/note%1.rtf").arg(n);
                return QFileInfo::exists(copy) ? copy : QString();
            }
            return {};
        }

        explicit Machine(const QString &notes, const QString &data = {}) : noteDir(notes), sharedData(data)
        {
            SettingsStore store(ini());
            store.SaveSettingValue("Network", noteDir);
            store.SaveSettingValue("NoSplash", QStringLiteral("1"));
            store.SaveSettingValue("AutoCompletion", QStringLiteral("NO"));
        }

        std::unique_ptr<QProcess> launch(const QString &program, const QStringList &args = {}) const
        {
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", config());
            env.insert("XDG_DATA_HOME", data());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            p->setProcessEnvironment(env);
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(program, args);
            return p;
        }

        // The program's window in a process driven through stdin (see note_editor.cpp).
        std::unique_ptr<QProcess> editor(const QStringList &args = {}) const
        {
            auto p = launch(QStringLiteral(NOTE_EDITOR), args);
            readUntilOk(*p, "ready");
            return p;
        }
    };

    // Lines the editor prints up to its "ok" (or another last line).
    static QStringList readUntilOk(QProcess &p, const QByteArray &last = "ok")
    {
        QStringList lines;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            if (!p.canReadLine() && !p.waitForReadyRead(200) && p.state() != QProcess::Running)
                break;
            while (p.canReadLine()) {
                const QByteArray line = p.readLine().chopped(1);
                if (line == last)
                    return lines;
                lines << QString::fromUtf8(line);
            }
        }
        lines << QStringLiteral("<no %1 from the editor>").arg(QString::fromLatin1(last));
        return lines;
    }
    static QStringList send(QProcess &p, const QString &command)
    {
        p.write(command.toUtf8() + '\n');
        return readUntilOk(p);
    }
    static void quit(QProcess &p)
    {
        send(p, QStringLiteral("quit"));
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
    }

    // The real program is up once it answers on its single-instance socket.
    static bool serving(const Machine &m)
    {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::serverName(m.ini()));
        return probe.waitForConnected(100);
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QStringList conflictCopies(const QString &noteDir)
    {
        return QDir(noteDir).entryList({"notes (conflict *).rtf"}, QDir::Files);
    }

private slots:
    void twoMachinesEditingOneNoteLoseNothing_data()
    {
        QTest::addColumn<bool>("atShutdown");
        QTest::newRow("written at a save point") << false;
        QTest::newRow("written at shutdown") << true;
    }
    void twoMachinesEditingOneNoteLoseNothing()
    {
        QFETCH(bool, atShutdown);
        QTemporaryDir shared;
        const QString notes = shared.filePath("notes.rtf");
        Machine first(shared.path());
        Machine second(shared.path());
        auto a = first.editor();
        auto b = second.editor();

        send(*a, "type 1 written on the first machine");
        send(*b, "type 1 written on the second machine");
        if (atShutdown) {
            quit(*a);
            quit(*b);
        } else {
            send(*a, "save 1");
            send(*b, "save 1");
        }

        // The note file holds the last writer's text, the conflict copy the other's.
        QVERIFY(read(notes).contains("written on the second machine"));
        const QStringList copies = conflictCopies(shared.path());
        QCOMPARE(copies.size(), 1);
        QVERIFY(read(shared.filePath(copies.first())).contains("written on the first machine"));

        // The second machine names both files: at once, or at its next start after a shutdown.
        if (atShutdown)
            b = second.editor();
        const QString told = send(*b, "shown").join('\n');
        QVERIFY2(told.contains(copies.first()), qPrintable(told));
        if (!atShutdown)
            QVERIFY2(told.contains(notes), qPrintable(told));

        // Closing both programs now overwrites neither version.
        if (!atShutdown)
            quit(*a);
        quit(*b);
        QVERIFY(read(notes).contains("written on the second machine"));
        QCOMPARE(conflictCopies(shared.path()).size(), 1);
    }

    void runningProgramsLeaveANoteChangedElsewhereAsItIs()
    {
        // Two real programs on one note directory; a third machine writes a note meanwhile.
        QTemporaryDir shared;
        Machine first(shared.path());
        Machine second(shared.path());
        auto a = first.launch(QStringLiteral(QUILLBOX_PROGRAM));
        auto b = second.launch(QStringLiteral(QUILLBOX_PROGRAM));
        for (const Machine *m : {&first, &second})
            QTRY_VERIFY_WITH_TIMEOUT(serving(*m), 20000);
        const QByteArray theirs = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 from a third machine\\par}";
        {
            QFile f(shared.filePath("web.rtf"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(theirs);
        }
        for (QProcess *p : {a.get(), b.get()}) {
            ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
            QVERIFY(p->waitForFinished(20000));
            QCOMPARE(p->exitCode(), 0);
        }
        QVERIFY(read(shared.filePath("web.rtf")).contains("from a third machine"));
        QCOMPARE(QDir(shared.path()).entryList({"*.rtf"}, QDir::Files).size(), 7);
    }

    void unchangedNotesSurviveStartAndExitByteForByte()
    {
        // A note written by another word processor, with a picture our reader does not keep.
        QTemporaryDir shared;
        const QString notes = shared.filePath("notes.rtf");
        QVERIFY(QFile::copy(QStringLiteral(QB_TEST_DATA_DIR "/notes/libreoffice-picture.rtf"), notes));
        const QByteArray before = read(notes);
        QVERIFY(before.contains("\\pict"));
        Machine machine(shared.path());
        auto p = machine.launch(QStringLiteral(QUILLBOX_PROGRAM));
        QTRY_VERIFY_WITH_TIMEOUT(serving(machine), 20000);
        ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
        QVERIFY(p->waitForFinished(20000));
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(read(notes), before);
        // The missing notes are created as before.
        QCOMPARE(QDir(shared.path()).entryList({"*.rtf"}, QDir::Files).size(), 7);
    }

    void programsSharingOneDataDirectoryKeepTheirOwnRecoveryCopies()
    {
        // Two profiles of one user: their own settings and notes, one data directory.
        QTemporaryDir notesA, notesB, data;
        Machine first(notesA.path(), data.path());
        Machine second(notesB.path(), data.path());
        auto a = first.editor();
        auto b = second.editor();
        send(*a, "type 1 typed in the first profile");
        send(*b, "type 1 typed in the second profile");
        QTRY_VERIFY_WITH_TIMEOUT(!first.recoveryCopy(1).isEmpty() && !second.recoveryCopy(1).isEmpty(),
                                 15000);

        // The first one dies; the second closes normally and removes only its own copies.
        ::kill(static_cast<pid_t>(a->processId()), SIGKILL);
        QVERIFY(a->waitForFinished(10000));
        quit(*b);
        QVERIFY(second.recoveryCopy(1).isEmpty());
        QVERIFY(!first.recoveryCopy(1).isEmpty());

        auto again = first.editor({"--yes"});
        QCOMPARE(send(*again, "text 1"), QStringList{"typed in the first profile"});
        quit(*again);
        QVERIFY(read(notesA.filePath("notes.rtf")).contains("typed in the first profile"));
        QVERIFY(!read(notesB.filePath("notes.rtf")).contains("first profile"));
    }

    void steadyTypingIsOfferedAfterAKill()
    {
        // Typing without a pause long enough for the recovery copy that follows a pause.
        QTemporaryDir shared;
        Machine machine(shared.path());
        auto p = machine.editor();
        send(*p, "steady 1 100");
        QElapsedTimer typing;
        typing.start();
        QTRY_VERIFY_WITH_TIMEOUT(!machine.recoveryCopy(1).isEmpty(), 15000);
        QTest::qWait(int(std::max<qint64>(0, 20000 - typing.elapsed())));
        const qsizetype typed = send(*p, "text 1").value(0).size();
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        QVERIFY(p->waitForFinished(10000));

        // At most the last two seconds or so are lost (ten keys a second), though typing never
        // paused.
        auto again = machine.editor({"--yes"});
        const QStringList offered = send(*again, "text 1");
        QCOMPARE(offered.size(), 1);
        QVERIFY2(offered.first() == QString(offered.first().size(), u'x') &&
                     offered.first().size() >= typed - 30,
                 qPrintable(QStringLiteral("%1 of %2 typed").arg(offered.first().size()).arg(typed)));
        quit(*again);
    }

    void programKilledAfterTypingOffersTheTextAtTheNextStart()
    {
        QTemporaryDir shared;
        Machine machine(shared.path());
        auto p = machine.editor();
        send(*p, "type 1 typed just before the kill");
        // The recovery copy follows a moment after typing stops; the note file itself is not
        // written before a save point.
        QTRY_VERIFY_WITH_TIMEOUT(!machine.recoveryCopy(1).isEmpty(), 15000);
        QTest::qWait(1000);
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        QVERIFY(p->waitForFinished(10000));
        QVERIFY(!read(shared.filePath("notes.rtf")).contains("typed just before the kill"));

        auto again = machine.editor({"--yes"});
        QCOMPARE(send(*again, "text 1"), QStringList{"typed just before the kill"});
        const QString told = send(*again, "shown").join('\n');
        QVERIFY2(told.contains("\"Notes\""), qPrintable(told));
        quit(*again);
        QVERIFY(read(shared.filePath("notes.rtf")).contains("typed just before the kill"));
        QVERIFY(machine.recoveryCopy(1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSharedNotes)
#include "tst_sharednotes.moc"
