#include "Dialogs.h"
#include "RunCommand.h"
#include "RunDialog.h"
#include "fake/FakePlatform.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using Show = Launcher::Show;

// The Run dialog: what its command line starts or opens, and how long its contents live.
class TestRunDialog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program; // an executable file whose path holds a blank
    QString m_document;

    QString write(const QString &name, bool executable)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write("#!/bin/sh\n");
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return path;
    }
    static void click(RunDialog &dialog, const char *button)
    {
        auto *b = dialog.findChild<QPushButton *>(QLatin1String(button));
        QVERIFY(b);
        b->click();
    }

private slots:
    void initTestCase()
    {
        m_program = write(QStringLiteral("my tool"), true);
        m_document = write(QStringLiteral("letter.txt"), false);
        Dialogs::setNeverBlock(true);
    }
    void init() { Dialogs::clearSeams(); }

    void commandLineGoesToTheRightPlace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("program path with blanks, alone")
            << "  " + m_program + " " << QStringList{'"' + m_program + '"'} << QStringList{};
        QTest::newRow("installed program with arguments")
            << "sh -c true" << QStringList{QStringLiteral("sh -c true")} << QStringList{};
        QTest::newRow("quoted program with arguments")
            << '"' + m_program + "\" --flag x" << QStringList{'"' + m_program + "\" --flag x"}
            << QStringList{};
        QTest::newRow("document") << m_document << QStringList{} << QStringList{m_document};
        QTest::newRow("document with words after it: opened whole")
            << m_document + " extra" << QStringList{} << QStringList{m_document + " extra"};
        QTest::newRow("web address") << " https://example.org " << QStringList{}
                                     << QStringList{QStringLiteral("https://example.org")};
        QTest::newRow("classic program name") << "cmd" << QStringList{} << QStringList{QStringLiteral("cmd")};
        QTest::newRow("empty") << "   " << QStringList{} << QStringList{};
    }
    void commandLineGoesToTheRightPlace()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, started);
        QFETCH(QStringList, opened);
        FakeLauncher launcher;
        RunCommand::run(launcher, text, Show::Normal);
        QCOMPARE(launcher.commandLines, started);
        QCOMPARE(launcher.opened, opened);
    }

    void runMinimizedPassesTheMinimizedState()
    {
        FakeLauncher launcher;
        RunDialog dialog(launcher);
        dialog.commandLine()->setText(QStringLiteral("https://example.org"));
        dialog.runMinimized()->setChecked(true);
        click(dialog, "Command2");
        QCOMPARE(launcher.openShows, QList<Show>{Show::Minimized});
    }

    void cancelKeepsContentsRunEndsTheDialog()
    {
        FakeLauncher launcher;
        QPointer<RunDialog> dialog = new RunDialog(launcher);
        dialog->show();
        dialog->commandLine()->setText(QStringLiteral("cmd"));
        dialog->runMinimized()->setChecked(true);
        click(*dialog, "Command1");
        QVERIFY(dialog && !dialog->isVisible());
        dialog->show();
        QCOMPARE(dialog->commandLine()->text(), QStringLiteral("cmd"));
        QVERIFY(dialog->runMinimized()->isChecked());
        QVERIFY(launcher.opened.isEmpty());

        QTest::keyClick(dialog, Qt::Key_Escape); // Esc is Cancel
        QVERIFY(dialog && !dialog->isVisible());

        dialog->show();
        click(*dialog, "Command2");
        QCOMPARE(launcher.opened, QStringList{QStringLiteral("cmd")});
        QTRY_VERIFY(!dialog); // gone: the next opening starts empty
    }

    // A command line that starts nothing is told in the dialog, which stays open to mend it.
    void commandThatCannotStartIsToldAndStays()
    {
        FakeLauncher launcher;
        launcher.succeed = false;
        QPointer<RunDialog> dialog = new RunDialog(launcher);
        dialog->show();
        dialog->commandLine()->setText(QStringLiteral("no-such-program --now"));
        click(*dialog, "Command2");
        QVERIFY(dialog && dialog->isVisible());
        auto *told = dialog->findChild<QLabel *>(QStringLiteral("RunFailure"));
        QVERIFY(told && told->isVisible());
        QCOMPARE(told->text(), QStringLiteral("\"no-such-program --now\" could not be started or opened."));
        QCOMPARE(dialog->commandLine()->text(), QStringLiteral("no-such-program --now"));

        launcher.succeed = true;
        click(*dialog, "Command2");
        QTRY_VERIFY(!dialog);
    }

    void emptyRunClosesAndStartsNothing()
    {
        FakeLauncher launcher;
        QPointer<RunDialog> dialog = new RunDialog(launcher);
        dialog->show();
        click(*dialog, "Command2");
        QTRY_VERIFY(!dialog);
        QVERIFY(launcher.opened.isEmpty() && launcher.commandLines.isEmpty());
    }

    void browseFillsTheCommandLine()
    {
        FakeLauncher launcher;
        RunDialog dialog(launcher);
        dialog.commandLine()->setText(QStringLiteral("earlier"));
        Dialogs::queueFileName(QString()); // cancelled
        click(dialog, "Command3");
        QCOMPARE(dialog.commandLine()->text(), QStringLiteral("earlier"));
        Dialogs::queueFileName(m_program);
        click(dialog, "Command3");
        QCOMPARE(dialog.commandLine()->text(), m_program);
        QCOMPARE(Dialogs::shown().last().title, QStringLiteral("Select a File to Run"));
    }
};

QTEST_MAIN(TestRunDialog)
#include "tst_rundialog.moc"
