#include "Dialogs.h"
#include "PasswordRecord.h"
#include "Preferences.h"
#include "ProgramPlaces.h"
#include "RecordingTarget.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QTemporaryDir>
#include <QtTest>

using Result = Preferences::ApplyResult;
Q_DECLARE_METATYPE(Preferences::ApplyResult)

namespace {
using Pairs = QList<QPair<QString, QString>>;
}

class TestPreferences : public QObject
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
        m_launcher = FakeLauncher();
        m_launcher.webHandler = QStringLiteral("/usr/bin/firefox-esr %u");
        m_launcher.mailHandler = QStringLiteral("thunderbird -compose %u");
        Dialogs::clearSeams();
    }

    void freshInstallationOpensWithDefaults()
    {
        const PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        QVERIFY(v.useSystemHandlers);
        QVERIFY(v.startMinimized);
        QVERIFY(!v.noSplash);
        QVERIFY(!v.noSound);
        QVERIFY(!v.showInTaskBar);
        QVERIFY(!v.hideLaunchCommands);
        QCOMPARE(v.emailOptions, QString()); // no Windows "/n" for a mail program of this desktop
        QCOMPARE(v.browser, QStringLiteral("/usr/bin/firefox-esr"));
        QCOMPARE(v.email, QStringLiteral("thunderbird"));
        QCOMPARE(v.dialer, QString());
        QCOMPARE(v.noteDirectory, QString());
        const QStringList names{"Notes", "Web Pages", "E-Mail Addresses", "Phone/Fax Numbers",
                                "Other", "Other 2",   "Other 3"};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(v.tabNames[i], names[i]);
            QCOMPARE(v.tabShown[i], i < 5);
        }
        QVERIFY(v.password.isEmpty() && v.confirmation.isEmpty());
    }

    void storedProgramsWinOverDesktopHandlers()
    {
        m_store->SaveSettingValue(SettingKey::Browser, QStringLiteral("chromium --incognito"));
        m_store->SaveSettingValue(SettingKey::EMail, QStringLiteral("  "));
        const PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        QCOMPARE(v.browser, QStringLiteral("chromium --incognito"));
        QCOMPARE(v.email, QStringLiteral("thunderbird"));
    }

    void handlerCommandIsCutBeforeFirstBlank_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("program");
        QTest::newRow("with field code") << "firefox %u"
                                         << "firefox";
        QTest::newRow("several arguments") << "/usr/bin/thunderbird -compose %u"
                                           << "/usr/bin/thunderbird";
        QTest::newRow("bare program") << "epiphany"
                                      << "epiphany";
        QTest::newRow("none registered") << ""
                                         << "";
        QTest::newRow("blanks around") << "  links  -g "
                                       << "links";
        // Cutting inside the quotes would name a program that does not exist.
        QTest::newRow("quoted path with blanks") << "\"/opt/My Browser/browser\" --new %u"
                                                 << "\"/opt/My Browser/browser\"";
    }
    void handlerCommandIsCutBeforeFirstBlank()
    {
        QFETCH(QString, command);
        QFETCH(QString, program);
        QCOMPARE(Preferences::handlerProgram(command), program);
    }

    // Each box follows its own key's rule; the table lists the values users and older versions wrote.
    void openingReadsBoxesByTheirRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("IEEnhanced NO") << "IEEnhanced"
                                       << "NO"
                                       << "handlers" << false;
        QTest::newRow("IEEnhanced yes any case") << "IEEnhanced"
                                                 << " yes "
                                                 << "handlers" << true;
        QTest::newRow("IEEnhanced blank") << "IEEnhanced"
                                          << "  "
                                          << "handlers" << false;
        QTest::newRow("IEEnhanced other") << "IEEnhanced"
                                          << "maybe"
                                          << "handlers" << false;
        QTest::newRow("StartMin 0") << "StartMin"
                                    << "0"
                                    << "minimized" << false;
        QTest::newRow("StartMin 2") << "StartMin"
                                    << "2"
                                    << "minimized" << true;
        QTest::newRow("StartMin blank") << "StartMin"
                                        << "  "
                                        << "minimized" << false;
        QTest::newRow("StartMin word") << "StartMin"
                                       << "no"
                                       << "minimized" << false;
        QTest::newRow("NoSplash 1") << "NoSplash"
                                    << "1"
                                    << "splash" << true;
        QTest::newRow("NoSplash word") << "NoSplash"
                                       << "yes"
                                       << "splash" << false;
        QTest::newRow("NoSound 1") << "NoSound"
                                   << " 1"
                                   << "sound" << true;
        QTest::newRow("ShowinTaskBar YES") << "ShowinTaskBar"
                                           << " YES "
                                           << "taskbar" << true;
        QTest::newRow("ShowinTaskBar yes lower case") << "ShowinTaskBar"
                                                      << "yes"
                                                      << "taskbar" << false;
        QTest::newRow("DisplayApps YES hides") << "DisplayApps"
                                               << "YES"
                                               << "hideapps" << true;
        QTest::newRow("DisplayApps Yes") << "DisplayApps"
                                         << "Yes"
                                         << "hideapps" << false;
        QTest::newRow("Tab1 NO") << "Tab1"
                                 << "NO"
                                 << "tab1" << false;
        QTest::newRow("Tab1 no keeps default") << "Tab1"
                                               << "no"
                                               << "tab1" << true;
        QTest::newRow("Tab6 YES") << "Tab6"
                                  << " YES"
                                  << "tab6" << true;
        QTest::newRow("Tab6 yes keeps default") << "Tab6"
                                                << "yes"
                                                << "tab6" << false;
    }
    void openingReadsBoxesByTheirRules()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, box);
        QFETCH(bool, ticked);
        QVERIFY(m_store->SaveSettingValue(key, value));
        const PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        const QHash<QString, bool> boxes{{"handlers", v.useSystemHandlers},
                                         {"minimized", v.startMinimized},
                                         {"splash", v.noSplash},
                                         {"sound", v.noSound},
                                         {"taskbar", v.showInTaskBar},
                                         {"hideapps", v.hideLaunchCommands},
                                         {"tab1", v.tabShown[0]},
                                         {"tab6", v.tabShown[5]}};
        QVERIFY(boxes.contains(box));
        QCOMPARE(boxes.value(box), ticked);
    }

    void openingReadsTextsAsStored()
    {
        m_store->SaveSettingValue(SettingKey::EMailSettings, QStringLiteral("-compose"));
        m_store->SaveSettingValue(SettingKey::Dialer, QStringLiteral("  /usr/bin/dialer  "));
        m_store->SaveSettingValue(SettingKey::tabCaption(3), QStringLiteral("Mail"));
        m_store->SaveSettingValue(SettingKey::tabCaption(4), QStringLiteral("   "));
        m_store->SaveSettingValue(SettingKey::Network, QStringLiteral("/srv/notes"));
        const PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        QCOMPARE(v.emailOptions, QStringLiteral("-compose"));
        QCOMPARE(v.dialer, QStringLiteral("/usr/bin/dialer"));
        QCOMPARE(v.tabNames[2], QStringLiteral("Mail"));
        QCOMPARE(v.tabNames[3], QStringLiteral("Phone/Fax Numbers"));
        QCOMPARE(v.noteDirectory, QStringLiteral("/srv/notes"));
    }

    void immediateApplyOnFreshInstallationWrites()
    {
        RecordingTarget target;
        const PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);

        const Pairs expected{{"IEEnhanced", "YES"},
                             {"StartMin", "1"},
                             {"NoSplash", "0"},
                             {"NoSound", "0"},
                             {"ShowinTaskBar", "NO"},
                             {"DisplayApps", "NO"},
                             {"Tab1", "YES"},
                             {"Tab2", "YES"},
                             {"Tab3", "YES"},
                             {"Tab4", "YES"},
                             {"Tab5", "YES"},
                             {"Tab6", "NO"},
                             {"Tab7", "NO"},
                             {"Tab1C", "Notes"},
                             {"Tab6C", "Other 2"},
                             {"EMailSettings", ""},
                             {"Browser", "/usr/bin/firefox-esr"},
                             {"EMail", "thunderbird"},
                             {"Dialer", ""},
                             {"Network", ""},
                             {"LockAfterMinutes", "15"}};
        for (const auto &[key, value] : expected)
            QCOMPARE(m_store->GetSettingValue(key), value);
        QVERIFY(m_store->GetSettingValue(SettingKey::Password).isEmpty());

        QCOMPARE(target.calls, (QStringList{"setSoundOff", "rebuildTabStrip", "setLaunchCommandsVisible",
                                            "changeNoteDirectory", "selectFirstTab"}));
        QVERIFY(!target.soundOff);
        QVERIFY(target.launchCommandsVisible);
        QCOMPARE(target.tags(), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(target.noteDirectory, m_programDir.path());
        QCOMPARE(target.lockAfterMinutes, QList<int>{15});
        QVERIFY(Dialogs::shown().isEmpty());
    }

    // Minutes without input before unlocked notes lock again. Anything but a whole number of
    // minutes up to a day reads as the default, so that a hand-edited value never means "never".
    void lockAfterMinutesReadsByItsRules_data()
    {
        QTest::addColumn<QString>("stored"); // null: no such key
        QTest::addColumn<int>("minutes");
        QTest::newRow("absent") << QString() << 15;
        QTest::newRow("blank") << "  " << 15;
        QTest::newRow("never") << "0" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("blanks around") << " 30 " << 30;
        QTest::newRow("a day") << "1440" << 1440;
        QTest::newRow("over a day") << "1441" << 15;
        QTest::newRow("negative") << "-5" << 15;
        QTest::newRow("fraction") << "7.5" << 15;
        QTest::newRow("with unit") << "30 min" << 15;
        QTest::newRow("word") << "never" << 15;
        QTest::newRow("beyond int") << "99999999999" << 15;
    }

    void lockAfterMinutesReadsByItsRules()
    {
        QFETCH(QString, stored);
        QFETCH(int, minutes);
        if (!stored.isNull())
            QVERIFY(m_store->SaveSettingValue(SettingKey::LockAfterMinutes, stored));
        QCOMPARE(Preferences::read(*m_store, &m_launcher).lockAfterMinutes, minutes);
    }

    void applyStoresLockAfterMinutes_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("applied");
        QTest::newRow("never") << 0 << "0" << 0;
        QTest::newRow("five") << 5 << "5" << 5;
        QTest::newRow("a day") << 1440 << "1440" << 1440;
        QTest::newRow("out of range") << 5000 << "15" << 15;
        QTest::newRow("negative") << -1 << "15" << 15;
    }

    void applyStoresLockAfterMinutes()
    {
        QFETCH(int, chosen);
        QFETCH(QString, stored);
        QFETCH(int, applied);
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.lockAfterMinutes = chosen;
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);
        QCOMPARE(m_store->GetSettingValue(SettingKey::LockAfterMinutes), stored);
        QCOMPARE(target.lockAfterMinutes, QList<int>{applied});
        QCOMPARE(Preferences::read(*m_store, &m_launcher).lockAfterMinutes, applied);
    }

    void hiddenTabsLeaveTheStrip_data()
    {
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("tabs 2 and 4 hidden, 6 and 7 shown")
            << QList<bool>{true, false, true, false, true, true, true}
            << QStringList{"1", "3", "5", "6", "7"};
        QTest::newRow("all hidden") << QList<bool>(7, false) << QStringList();
        QTest::newRow("only tab 7") << QList<bool>{false, false, false, false, false, false, true}
                                    << QStringList{"7"};
    }
    void hiddenTabsLeaveTheStrip()
    {
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, tags);
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        for (int i = 0; i < 7; ++i)
            v.tabShown[i] = shown[i];

        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);

        QCOMPARE(target.tags(), tags);
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(m_store->GetSettingValue(SettingKey::tabShown(n)), shown[n - 1] ? "YES" : "NO");
        // With no tab to select, Apply still finishes and the dialog closes.
        QVERIFY(target.calls.contains("selectFirstTab"));
    }

    void blankNameGivesDefaultCaptionWhileKeyHoldsEmpty()
    {
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.tabNames[1] = QStringLiteral("    ");
        v.tabNames[2] = QStringLiteral("  Mail  ");
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);

        QCOMPARE(target.tabs[1].caption, QStringLiteral("Web Pages"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::tabCaption(2)), QString());
        QVERIFY(m_store->keys().contains(QStringLiteral("Tab2C")));
        QCOMPARE(target.tabs[2].caption, QStringLiteral("Mail"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::tabCaption(3)), QStringLiteral("Mail"));
    }

    void applyWritesTextsTrimmedOrAsTheyStand()
    {
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.browser = QStringLiteral(" firefox ");
        v.emailOptions = QStringLiteral(" -compose ");
        v.dialer = QStringLiteral("  /usr/bin/dialer ");
        v.noteDirectory = QStringLiteral("  /srv/notes ");
        // A folder that is not there yet (a share not mounted): taken once the user says so.
        Dialogs::queueButton(QMessageBox::Yes);
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);
        QVERIFY(Dialogs::shown().value(0).text.startsWith("Quillbox Plus cannot write to /srv/notes: the "
                                                          "folder does not exist."));
        QCOMPARE(m_store->GetSettingValue(SettingKey::Browser), QStringLiteral(" firefox "));
        QCOMPARE(m_store->GetSettingValue(SettingKey::EmailSettings), QStringLiteral(" -compose "));
        QCOMPARE(m_store->GetSettingValue(SettingKey::Dialer), QStringLiteral("/usr/bin/dialer"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::Network), QStringLiteral("/srv/notes"));
        QCOMPARE(target.noteDirectory, QStringLiteral("/srv/notes"));
    }

    void unusableNoteDirectoryDeclinedChangesNothing()
    {
        RecordingTarget target;
        QTemporaryDir dir;
        const QString plainFile = dir.filePath(QStringLiteral("notes"));
        QFile(plainFile).open(QIODevice::WriteOnly);
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.browser = QStringLiteral("changed");
        v.noteDirectory = plainFile;
        Dialogs::queueButton(QMessageBox::No);
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::NoteDirectoryKept);
        QVERIFY(Dialogs::shown().value(0).text.contains("a file stands where the folder should be"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::Browser), QString());
        QCOMPARE(m_store->GetSettingValue(SettingKey::Network), QString());
        QVERIFY(target.noteDirectory.isEmpty());
    }

    void applyTurnsSoundAndLaunchCommandsOff()
    {
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.noSound = true;
        v.hideLaunchCommands = true;
        v.useSystemHandlers = false;
        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), Result::Done);
        QVERIFY(target.soundOff);
        QVERIFY(!target.launchCommandsVisible);
        QCOMPARE(m_store->GetSettingValue(SettingKey::DisplayApps), QStringLiteral("YES"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::NoSound), QStringLiteral("1"));
        QCOMPARE(m_store->GetSettingValue(SettingKey::IEEnhanced), QStringLiteral("NO"));
    }

    void passwordOnApply_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("after");

        const QString old = PasswordRecord::wrap(QStringLiteral("old"));
        const QString secret = PasswordRecord::wrap(QStringLiteral("secret"));
        QTest::newRow("set, blanks around dropped") << ""
                                                    << "  secret "
                                                    << "  secret " << Result::Done << secret;
        QTest::newRow("replaces the old one unasked") << old << "secret"
                                                      << "secret" << Result::Done << secret;
        QTest::newRow("both blank keeps the old one") << old << "  "
                                                      << "" << Result::Done << old;
        QTest::newRow("trailing blank differs") << old << "secret"
                                                << "secret " << Result::PasswordMismatch << "";
        QTest::newRow("letter case differs") << old << "Secret"
                                             << "secret" << Result::PasswordMismatch << "";
        QTest::newRow("confirmation alone") << old << ""
                                            << "secret" << Result::PasswordMismatch << "";
        QTest::newRow("mismatch with nothing stored") << ""
                                                      << "a"
                                                      << "b" << Result::PasswordMismatch << "";
    }
    void passwordOnApply()
    {
        QFETCH(QString, before);
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(Result, result);
        QFETCH(QString, after);
        if (!before.isEmpty())
            QVERIFY(m_store->SaveSettingValue(SettingKey::Password, before));
        RecordingTarget target;
        PreferenceValues v = Preferences::read(*m_store, &m_launcher);
        v.password = password;
        v.confirmation = confirmation;
        v.tabNames[0] = QStringLiteral("Jottings");

        QCOMPARE(Preferences::apply(v, *m_store, target, nullptr), result);

        QCOMPARE(m_store->GetSettingValue(SettingKey::Password), after);
        // Everything before the password is written and applied even on a mismatch.
        QCOMPARE(m_store->GetSettingValue(SettingKey::tabCaption(1)), QStringLiteral("Jottings"));
        const bool mismatch = result == Result::PasswordMismatch;
        QCOMPARE(target.calls.contains("selectFirstTab"), !mismatch);
        const auto shown = Dialogs::shown();
        QCOMPARE(shown.size(), mismatch ? 1 : 0);
        if (mismatch) {
            QCOMPARE(shown[0].title, QStringLiteral("Quillbox Plus"));
            QCOMPARE(shown[0].text, QStringLiteral("Password and confirmation don't match."));
        }
    }

    void removingAMissingPasswordIsHarmless()
    {
        Preferences::removePassword(*m_store);
        QVERIFY(m_store->GetSettingValue(SettingKey::Password).isEmpty());
    }

    // A store that cannot be written must not look as if everything had been saved.
    void unwritableStoreIsReported()
    {
        QFile blocker(m_dir->filePath(QStringLiteral("not-a-dir")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore broken(m_dir->filePath(QStringLiteral("not-a-dir/settings.ini")));
        RecordingTarget target;
        PreferenceValues v = Preferences::read(broken, &m_launcher);
        v.password = v.confirmation = QStringLiteral("secret");
        v.noSound = true;

        QCOMPARE(Preferences::apply(v, broken, target, nullptr), Result::PasswordNotSaved);

        // The window still follows the dialog for this session.
        QVERIFY(target.calls.contains("rebuildTabStrip"));
        const auto shown = Dialogs::shown();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].text.contains(QStringLiteral("could not be saved")));
        QVERIFY(shown[1].text.contains(QStringLiteral("not protected")));
    }

    void resetTabsRestoresNamesAndVisibility()
    {
        PreferenceValues v;
        v.tabNames.fill(QStringLiteral("x"));
        v.tabShown.fill(false);
        v.tabShown[6] = true;
        Preferences::resetTabs(v);
        QCOMPARE(v.tabNames[0], QStringLiteral("Notes"));
        QCOMPARE(v.tabNames[6], QStringLiteral("Other 3"));
        for (int i = 0; i < 7; ++i)
            QCOMPARE(v.tabShown[i], i < 5);
    }

private:
    QTemporaryDir m_programDir;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeLauncher m_launcher;
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
