#include "Dialogs.h"
#include "DirectoryChooser.h"
#include "PasswordRecord.h"
#include "ProgramPlaces.h"
#include "RecordingTarget.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "SetupDialog.h"
#include "fake/FakePlatform.h"

#include <QCheckBox>
#include <QDir>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class TestSetApps : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_programDir.isValid());
        ProgramPlaces::overrideProgramDirectory(m_programDir.path());
        Dialogs::setNeverBlock(true);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("settings.ini")));
        m_launcher.webHandler = QStringLiteral("firefox %u");
        m_launcher.mailHandler = QStringLiteral("thunderbird %u");
        m_target = std::make_shared<RecordingTarget>();
        Dialogs::clearSeams();
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        m_dialog->show();
    }

    void cleanup() { delete m_dialog.data(); }

    void freshInstallationShowsDefaults()
    {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Setup"));
        QVERIFY(!m_dialog->isModal());
        QVERIFY(box("Check2")->isChecked());
        QVERIFY(box("Check1")->isChecked());
        for (const char *clear : {"Check3", "Check4", "Check5", "Check6", "Check8", "Check7"})
            QVERIFY2(!box(clear)->isChecked(), clear);
        for (const char *ticked : {"Check13", "Check12", "Check11", "Check10", "Check9"})
            QVERIFY2(box(ticked)->isChecked(), ticked);
        QCOMPARE(text("Text1")->text(), QStringLiteral("firefox"));
        QCOMPARE(text("Text2")->text(), QStringLiteral("thunderbird"));
        QCOMPARE(text("Text3")->text(), QString());
        QCOMPARE(text("Text6")->text(), QStringLiteral("Notes"));
        QCOMPARE(text("Text13")->text(), QStringLiteral("Other 3"));
        // The desktop's handlers are in use, so the programs cannot be picked; the dialer can.
        QVERIFY(!button("Command3")->isEnabled());
        QVERIFY(!button("Command4")->isEnabled());
        QVERIFY(!text("Text3")->isEnabled());
        QVERIFY(button("Command5")->isEnabled());
    }

    void untickingSystemHandlersEnablesProgramPicking()
    {
        box("Check2")->click();
        QVERIFY(button("Command3")->isEnabled());
        QVERIFY(button("Command4")->isEnabled());
        QVERIFY(text("Text3")->isEnabled());
    }

    void pickingProgramFillsBoxAndCancelKeepsIt()
    {
        box("Check2")->click();
        Dialogs::queueFileName(QStringLiteral("/usr/bin/chromium"));
        button("Command3")->click();
        QCOMPARE(text("Text1")->text(), QStringLiteral("/usr/bin/chromium"));
        Dialogs::queueFileName(QString());
        button("Command3")->click();
        QCOMPARE(text("Text1")->text(), QStringLiteral("/usr/bin/chromium"));

        Dialogs::queueFileName(QStringLiteral("/usr/bin/dialer"));
        button("Command5")->click();
        QCOMPARE(text("Text5")->text(), QStringLiteral("/usr/bin/dialer"));
        const auto shown = Dialogs::shown();
        QCOMPARE(shown.size(), 3);
        for (const auto &s : shown) {
            QCOMPARE(s.kind, QStringLiteral("open"));
            QCOMPARE(s.title, QStringLiteral("Select Your Program"));
        }
        button("Command6")->click();
        QVERIFY(text("Text5")->text().isEmpty());
    }

    void resetTabNamesChangesBoxesOnly()
    {
        text("Text7")->setText(QStringLiteral("Links"));
        box("Check12")->setChecked(false);
        box("Check7")->setChecked(true);
        button("Command7")->click();
        QCOMPARE(text("Text7")->text(), QStringLiteral("Web Pages"));
        QVERIFY(box("Check12")->isChecked());
        QVERIFY(!box("Check7")->isChecked());
        QVERIFY(m_store->keys().isEmpty());
    }

    void cancelWritesNothingAndCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Esc key") << "escape";
        QTest::newRow("window closed") << "close";
    }
    void cancelWritesNothingAndCloses()
    {
        QFETCH(QString, how);
        box("Check4")->click();
        text("Text6")->setText(QStringLiteral("Jottings"));
        text("Text14")->setText(QStringLiteral("pw"));
        text("Text15")->setText(QStringLiteral("pw"));
        if (how == "button")
            button("Command2")->click();
        else if (how == "escape")
            QTest::keyClick(m_dialog, Qt::Key_Escape);
        else
            m_dialog->close();
        QTRY_VERIFY(m_dialog.isNull());
        QVERIFY(m_store->keys().isEmpty());
        QVERIFY(m_target->calls.isEmpty());
    }

    void applyWritesAppliesAndCloses()
    {
        box("Check12")->setChecked(false);
        box("Check10")->setChecked(false);
        box("Check8")->setChecked(true);
        box("Check7")->setChecked(true);
        button("Command1")->click();
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_target->tags(), (QStringList{"1", "3", "5", "6", "7"}));
        QCOMPARE(m_store->GetSettingValue(QStringLiteral("Tab2")), QStringLiteral("NO"));
        QCOMPARE(m_store->GetSettingValue(QStringLiteral("IEEnhanced")), QStringLiteral("YES"));
        QCOMPARE(m_target->calls.last(), QStringLiteral("selectFirstTab"));
    }

    void lockAfterMinutesShowsNeverAndIsApplied()
    {
        auto *minutes = find<QSpinBox>("LockAfterMinutes");
        QCOMPARE(minutes->value(), 15);
        QCOMPARE(minutes->text(), QStringLiteral("15 min"));
        QCOMPARE(minutes->accessibleName(), QStringLiteral("Lock locked notes after no input for:"));
        QCOMPARE(minutes->maximum(), 1440);
        minutes->setValue(0);
        QCOMPARE(minutes->text(), QStringLiteral("Never"));
        button("Command1")->click();
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_store->GetSettingValue(QStringLiteral("LockAfterMinutes")), QStringLiteral("0"));
        QCOMPARE(m_target->lockAfterMinutes, QList<int>{0});

        // Opened again, the dialog shows what was stored.
        m_store->SaveSettingValue(QStringLiteral("LockAfterMinutes"), QStringLiteral("45"));
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        QCOMPARE(find<QSpinBox>("LockAfterMinutes")->text(), QStringLiteral("45 min"));
    }

    void hotKeyFieldTakesOneKeyThenEnterApplies()
    {
        auto *field = m_dialog->findChild<QKeySequenceEdit *>(QStringLiteral("HotKeyEdit"));
        QVERIFY(field);
        QCOMPARE(field->keySequence(), QKeySequence(QStringLiteral("Ctrl+Alt+N")));
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_J, Qt::ControlModifier | Qt::AltModifier);
        QTRY_VERIFY(!field->hasFocus());
        QTest::keyClick(m_dialog, Qt::Key_Return);
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_store->GetSettingValue(QStringLiteral("HotKey")), QStringLiteral("Ctrl+Alt+J"));
        QCOMPARE(m_target->hotKeys, QStringList{QStringLiteral("Ctrl+Alt+J")});
    }

    // Enter, Esc and Tab in the hot key box do what they do in the rest of the dialog; the key
    // stays as it was. A combination with Ctrl or Alt is still a hot key like any other.
    void hotKeyFieldLeavesEnterEscAndTabToTheDialog_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "applied";
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "applied";
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "cancelled";
        QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << "moved on";
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << "moved on";
        QTest::newRow("Ctrl+Alt+Enter")
            << int(Qt::Key_Return) << int(Qt::ControlModifier | Qt::AltModifier) << "Ctrl+Alt+Return";
    }
    void hotKeyFieldLeavesEnterEscAndTabToTheDialog()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, outcome);
        auto *field = m_dialog->findChild<QKeySequenceEdit *>(QStringLiteral("HotKeyEdit"));
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (outcome == "applied") {
            QTRY_VERIFY(m_dialog.isNull());
            QCOMPARE(m_store->GetSettingValue(QStringLiteral("HotKey")), QStringLiteral("Ctrl+Alt+N"));
        } else if (outcome == "cancelled") {
            QTRY_VERIFY(m_dialog.isNull());
            QVERIFY(m_store->keys().isEmpty());
        } else {
            QCOMPARE(field->keySequence().toString(QKeySequence::PortableText),
                     outcome == "moved on" ? QStringLiteral("Ctrl+Alt+N") : outcome);
            QTRY_VERIFY(!field->hasFocus());
            QVERIFY(m_dialog->isVisible());
        }
    }

    // The boxes mask what is typed until "Show" is ticked.
    void passwordBoxesAreMaskedUntilShown()
    {
        auto *show = m_dialog->findChild<QCheckBox *>(QStringLiteral("ShowPassword"));
        QVERIFY(show && !show->isChecked());
        for (bool shown : {false, true, false}) {
            show->setChecked(shown);
            for (const char *name : {"Text14", "Text15"})
                QCOMPARE(text(name)->echoMode(), shown ? QLineEdit::Normal : QLineEdit::Password);
        }
    }

    // The frame says whether the notes are locked at start, from opening on, as the password is
    // set or taken away.
    void passwordStatusSaysWhetherOneIsSet_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("setAfter");
        const QString secret = PasswordRecord::wrap(QStringLiteral("old"));
        QTest::newRow("none") << QString() << "" << false;
        QTest::newRow("stored") << secret << "" << true;
        QTest::newRow("damaged record locks nothing") << QStringLiteral("x") << "" << false;
        QTest::newRow("removed") << secret << "remove" << false;
        QTest::newRow("set at Apply") << QString() << "set" << true;
        QTest::newRow("confirmation did not match") << secret << "mismatch" << false;
    }
    void passwordStatusSaysWhetherOneIsSet()
    {
        QFETCH(QString, stored);
        QFETCH(QString, action);
        QFETCH(bool, setAfter);
        const QString set = QStringLiteral("A start-up password is set.");
        const QString none = QStringLiteral("No start-up password.");
        if (!stored.isEmpty())
            QVERIFY(m_store->SaveSettingValue(SettingKey::Password, stored));
        delete m_dialog.data();
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        QPointer<QLabel> status = m_dialog->findChild<QLabel *>(QStringLiteral("PasswordStatus"));
        QVERIFY(status);
        QCOMPARE(status->text(), PasswordRecord::extract(stored).isEmpty() ? none : set);

        text("Text14")->setText(QStringLiteral("new"));
        text("Text15")->setText(action == "mismatch" ? QStringLiteral("New") : QStringLiteral("new"));
        if (action == "remove")
            button("Command11")->click();
        else if (!action.isEmpty())
            button("Command1")->click(); // the dialog goes once events are processed
        QCOMPARE(status->text(), setAfter ? set : none);
    }

    void passwordMismatchKeepsDialogOpenWithEmptyBoxes()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(QStringLiteral("old"))));
        text("Text14")->setText(QStringLiteral("secret"));
        text("Text15")->setText(QStringLiteral("Secret"));
        button("Command1")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!m_dialog.isNull());
        QVERIFY(m_dialog->isVisible());
        QVERIFY(text("Text14")->text().isEmpty());
        QVERIFY(text("Text15")->text().isEmpty());
        QVERIFY(m_store->GetSettingValue(SettingKey::Password).isEmpty());
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown()[0].text, QStringLiteral("Password and confirmation don't match."));
    }

    void storedPasswordIsNeverShown()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(QStringLiteral("old"))));
        delete m_dialog.data();
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        QVERIFY(text("Text14")->text().isEmpty());
        QVERIFY(text("Text15")->text().isEmpty());
    }

    void removePasswordThenCancelStillRemoves()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(QStringLiteral("old"))));
        text("Text14")->setText(QStringLiteral("typed"));
        button("Command11")->click();
        QVERIFY(text("Text14")->text().isEmpty());
        QVERIFY(m_dialog->isVisible());
        button("Command2")->click();
        QTRY_VERIFY(m_dialog.isNull());
        QVERIFY(m_store->GetSettingValue(SettingKey::Password).isEmpty());
        QVERIFY(!m_store->keys().contains(QStringLiteral("drow")));
    }

    // The directory chosen in the tree is where Apply asks the window to load the notes from;
    // the window reloads what that directory holds (here web.rtf alone) and keeps the rest.
    void setNetworkPathMovesTheNotes()
    {
        QTemporaryDir notes;
        QVERIFY(notes.isValid());
        QFile web(notes.filePath(QStringLiteral("web.rtf")));
        QVERIFY(web.open(QIODevice::WriteOnly));
        web.write("{\\rtf1 links}");
        web.close();

        auto *chooser = m_dialog->findChild<DirectoryChooser *>();
        QVERIFY(chooser);
        QVERIFY(chooser->setCurrentPath(notes.path()));
        button("Command9")->click();
        QCOMPARE(text("Text11")->text(), notes.path());
        button("Command1")->click();
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_store->GetSettingValue(SettingKey::Network), notes.path());
        QCOMPARE(m_target->noteDirectory, notes.path());
    }

    void clearNetworkPathReturnsNotesToProgramDirectory()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Network, QStringLiteral("/srv/notes")));
        delete m_dialog.data();
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        QCOMPARE(text("Text11")->text(), QStringLiteral("/srv/notes"));
        button("Command8")->click();
        QVERIFY(text("Text11")->text().isEmpty());
        button("Command1")->click();
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_store->GetSettingValue(SettingKey::Network), QString());
        QCOMPARE(m_target->noteDirectory, m_programDir.path());
    }

    // A note directory inside a folder that Syncthing shares (its ".stfolder" marker above it) is
    // named as such under the path, from the stored setting and from a new choice alike.
    void tellsWhenTheNoteDirectoryIsKeptInSync()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("Sync/.stfolder") && QDir(root.path()).mkpath("Sync/work/notes"));
        QVERIFY(QDir(root.path()).mkpath("Local/notes"));
        const auto hint = [this] {
            auto *label = m_dialog->findChild<QLabel *>("SyncthingHint");
            return label && label->isVisibleTo(m_dialog) ? label->text() : QString();
        };
        QVERIFY(m_store->SaveSettingValue(SettingKey::Network, root.filePath("Sync/work/notes")));
        delete m_dialog.data();
        m_dialog = new SetupDialog(*m_store, &m_launcher, m_target);
        QCOMPARE(hint(), "This folder is kept in sync by Syncthing");

        auto *chooser = m_dialog->findChild<DirectoryChooser *>();
        QVERIFY(chooser->setCurrentPath(root.filePath("Local/notes")));
        button("Command9")->click();
        QCOMPARE(hint(), QString());
        QVERIFY(chooser->setCurrentPath(root.filePath("Sync")));
        button("Command9")->click();
        QCOMPARE(hint(), "This folder is kept in sync by Syncthing");
        button("Command8")->click();
        QCOMPARE(hint(), QString());
    }

    void chooserOffersHomeAndRejectsFiles()
    {
        DirectoryChooser chooser;
        QCOMPARE(chooser.places().value(0), QDir::homePath());
        QVERIFY(chooser.setCurrentPath(m_dir->path()));
        QCOMPARE(chooser.currentPath(), m_dir->path());
        QVERIFY(!chooser.setCurrentPath(m_store->path()));
        QVERIFY(!chooser.setCurrentPath(m_dir->filePath(QStringLiteral("missing"))));
        QCOMPARE(chooser.currentPath(), m_dir->path());
    }

private:
    QCheckBox *box(const char *name) const { return find<QCheckBox>(name); }
    QLineEdit *text(const char *name) const { return find<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    template <typename W> W *find(const char *name) const
    {
        W *w = m_dialog ? m_dialog->findChild<W *>(QString::fromLatin1(name)) : nullptr;
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    QTemporaryDir m_programDir;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeLauncher m_launcher;
    std::shared_ptr<RecordingTarget> m_target;
    QPointer<SetupDialog> m_dialog;
};

QTEST_MAIN(TestSetApps)
#include "tst_setupdialog.moc"
