#include "LockedNotePanel.h"
#include "NoteSet.h"
#include "SearchAllNotesDialog.h"
#include "Secret.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

// Locked notes in the window: the screen locking locks them again, the tab shows its Unlock
// panel instead of the note and the note's commands go; unlocking there may keep the passphrase
// in the keyring, which opens the note at the next start.
class TestLockedNotesWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { QDir(ProgramPlaces::userDataDirectory()).removeRecursively(); }

    void aNoteLockedAgainIsOpenedFromItsPanelAndTheKeyring()
    {
        WindowFixture f;
        f.quietSettings();
        WindowFixture::writeFile(f.noteDir() + QStringLiteral("/notes.rtf"), WindowFixture::rtf("secret plan"));
        WindowFixture::writeFile(f.noteDir() + QStringLiteral("/web.rtf"), WindowFixture::rtf("open plan"));
        QVERIFY(f.start());
        f.showActive();
        Quillbox *w = f.window.get();
        QCOMPARE(w->notes().lock(1, Secret(QStringLiteral("correct horse"))), QString());
        QVERIFY(w->menuItem(QStringLiteral("locknow"))->isEnabled());

        f.fakes.screenLock->lock();
        QVERIFY(w->notes().isSealed(1));
        LockedNotePanel *panel = w->lockedPanel(1);
        QTRY_VERIFY(panel->isVisible());
        QVERIFY(!w->boxOf(1)->isVisible());
        QVERIFY(w->boxOf(1)->document()->isEmpty());
        for (const char *item : {"copy", "paste", "saveas", "clear", "removelock", "locknote", "locknow"})
            QVERIFY2(!w->menuItem(QString::fromLatin1(item))->isEnabled(), item);

        w->menuItem(QStringLiteral("searchall"))->trigger();
        auto *search = w->findChild<SearchAllNotesDialog *>();
        QVERIFY(search);
        QTest::keyClicks(search->searchField(), QStringLiteral("plan"));
        QTRY_COMPARE(search->matchList()->count(), 1);
        bool told = false;
        for (const QLabel *label : search->findChildren<QLabel *>())
            told = told || label->text().contains(QStringLiteral("1 locked note was not searched"));
        QVERIFY(told);
        search->close();

        panel->findChild<QCheckBox *>()->setChecked(true);
        auto *field = panel->findChild<QLineEdit *>();
        QTest::keyClicks(field, QStringLiteral("correct horse"));
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!w->notes().isSealed(1), 20000);
        QTRY_VERIFY(w->boxOf(1)->isVisible());
        QVERIFY(!panel->isVisible());
        QVERIFY(field->text().isEmpty());
        QCOMPARE(w->boxOf(1)->toPlainText(), QStringLiteral("secret plan"));
        QVERIFY(w->menuItem(QStringLiteral("copy"))->isEnabled());
        QTRY_COMPARE(f.fakes.keyring->entries.size(), size_t(1));
        QCOMPARE(f.settings->GetSettingValue(QStringLiteral("KeyringNotes")), QStringLiteral("1"));
        QVERIFY(!f.settings->GetSettingValue(QStringLiteral("KeyringNotes")).contains(QStringLiteral("horse")));

        // The next start opens it with the keyring's passphrase, asking nothing.
        const auto kept = f.fakes.keyring->entries;
        w->shutdown();
        f.window.reset();
        QVERIFY(f.start());
        f.fakes.keyring->entries = kept;
        f.showActive();
        w = f.window.get();
        QTRY_VERIFY_WITH_TIMEOUT(!w->notes().isSealed(1), 20000);
        QTRY_COMPARE(w->boxOf(1)->toPlainText(), QStringLiteral("secret plan"));
        QVERIFY(WindowFixture::readFile(f.noteDir() + QStringLiteral("/notes.rtf.gpg")).size() > 0);
        QVERIFY(!QFileInfo::exists(f.noteDir() + QStringLiteral("/notes.rtf")));
    }
};

QTEST_MAIN(TestLockedNotesWindow)
#include "tst_lockednoteswindow.moc"
