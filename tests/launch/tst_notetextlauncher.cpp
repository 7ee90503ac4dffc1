#include "Dialogs.h"
#include "Launchers.h"
#include "NoteTextLauncher.h"
#include "RichTextBox.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

// Double-clicks in the note boxes: which item each tab picks out, what lands on the clipboard and
// what is handed on to the outside programs.
class TestNoteTextLauncher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FakeLauncher m_launcher;
    FakeKeystrokeSender m_keys;
    std::unique_ptr<Launchers> m_launchers;
    std::unique_ptr<NoteTextLauncher> m_notes;
    std::unique_ptr<RichTextBox> m_box;
    QStringList m_status;

    // What a double-click leaves behind: the box has selected the word under the mouse.
    void doubleClick(int tab, const QString &text, const QString &word, int occurrence = 0)
    {
        m_box->setText(text);
        int at = -1;
        for (int i = 0; i <= occurrence; ++i)
            at = text.indexOf(word, at + 1);
        QVERIFY2(at >= 0, "the clicked word is not in the text");
        m_box->setSelStart(at);
        m_box->setSelLength(word.size());
        m_notes->launchFromNote(nullptr, *m_box, tab);
    }
    void set(const QString &key, const QString &value) { QVERIFY(m_settings->SaveSettingValue(key, value)); }
    QString clipboardText() const { return QGuiApplication::clipboard()->text(); }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("s.ini")));
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("s.ini")));
        m_launcher = FakeLauncher();
        m_keys = FakeKeystrokeSender();
        m_launchers = std::make_unique<Launchers>(*m_settings, m_launcher, m_keys);
        m_status.clear();
        m_launchers->setShowStatus([this](const QString &s) { m_status << s; });
        m_notes = std::make_unique<NoteTextLauncher>(*m_launchers);
        m_box = std::make_unique<RichTextBox>();
        set(QStringLiteral("Browser"), QStringLiteral("/usr/bin/browser"));
        set(QStringLiteral("EMail"), QStringLiteral("/usr/bin/mailer"));
        Dialogs::clearSeams();
        Dialogs::setNeverBlock(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void eachTabPicksItsItem_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("item");
        QTest::newRow("notes tab stops at slashes") << 1 << "see path/to/page now"
                                                    << "to"
                                                    << "to";
        QTest::newRow("web tab keeps slashes") << 2 << "see path/to/page now"
                                               << "to"
                                               << "path/to/page";
        // Addresses and numbers are taken whole, hyphens and blanks inside them included; text
        // that is not an address still ends at the tab's delimiters.
        QTest::newRow("web tab takes a hyphenated address whole")
            << 2 << "see https://my-site.example.org/a-b now"
            << "site"
            << "https://my-site.example.org/a-b";
        QTest::newRow("web tab takes a hyphenated host name whole") << 2 << "(www.my-site.example.org)."
                                                                    << "example"
                                                                    << "www.my-site.example.org";
        QTest::newRow("web tab stops at a hyphen outside addresses") << 2 << "a well-known place"
                                                                     << "known"
                                                                     << "known";
        QTest::newRow("mail tab takes a hyphenated address whole")
            << 3 << "write to some-one@my-domain.org today"
            << "one"
            << "some-one@my-domain.org";
        QTest::newRow("mail tab keeps @ and dots, stops at ;") << 3 << "ann@example.com;bob.lee@example.org"
                                                               << "bob"
                                                               << "bob.lee@example.org";
        QTest::newRow("phone tab takes the number after the area code whole") << 4 << "(555) 123-4567"
                                                                              << "123"
                                                                              << "(555) 123-4567";
        QTest::newRow("phone tab takes the area code's number whole") << 4 << "call (555) 123-4567"
                                                                      << "555"
                                                                      << "(555) 123-4567";
        QTest::newRow("phone tab: a number with a country code and slashes")
            << 4 << "Tel. +49 (30) 1234-56; fax 030/765 43 21"
            << "765"
            << "030/765 43 21";
        QTest::newRow("phone tab: the second of two numbers") << 4 << "555-1234 555-9876"
                                                              << "9876"
                                                              << "555-9876";
        QTest::newRow("phone tab: words keep the delimiter rule") << 4 << "ask for Mary-Ann"
                                                                  << "Ann"
                                                                  << "Mary-Ann";
        QTest::newRow("item starts at the selection's start") << 1 << "alpha/beta"
                                                              << "/"
                                                              << "alpha";
        QTest::newRow("phone tab keeps dots and hyphens") << 4 << "fax 555.123-4567"
                                                          << "123"
                                                          << "555.123-4567";
        QTest::newRow("other tabs stop at colons") << 5 << "time: 10:30 pm"
                                                   << "30"
                                                   << "30";
        QTest::newRow("start of text") << 6 << "first word"
                                       << "first"
                                       << "first";
        QTest::newRow("end of text") << 7 << "the end"
                                     << "end"
                                     << "end";
        QTest::newRow("line break ends a web item") << 2 << "www.a.org\nwww.b.org"
                                                    << "b"
                                                    << "www.b.org";
        QTest::newRow("line break ends a phone item") << 4 << "555\n666-7"
                                                      << "555"
                                                      << "555";
    }
    void eachTabPicksItsItem()
    {
        QFETCH(int, tab);
        QFETCH(QString, text);
        QFETCH(QString, clicked);
        QFETCH(QString, item);
        m_keys.focusedPid = -1; // the dialer never gets the focus: nothing typed
        doubleClick(tab, text, clicked);
        QCOMPARE(m_box->SelText(), item);
        QCOMPARE(clipboardText(), item);
    }

    void clipboardHoldsPlainTextAndRtf()
    {
        doubleClick(1, QStringLiteral("alpha beta gamma"), QStringLiteral("beta"));
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("beta"));
        const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
        QVERIFY(rtf.startsWith("{\\rtf"));
        QVERIFY(rtf.contains("beta"));
        QVERIFY(!rtf.contains("alpha"));
        QVERIFY(m_launcher.commandLines.isEmpty() && m_launcher.opened.isEmpty());
    }

    void webTabOpensInConfiguredBrowser()
    {
        doubleClick(2, QStringLiteral("Our site: www.example.com. Thanks"), QStringLiteral("example"));
        QCOMPARE(m_launcher.commandLines, QStringList{QStringLiteral("/usr/bin/browser www.example.com")});
        QCOMPARE(clipboardText(), QStringLiteral("www.example.com"));
    }

    void webTabOpensWithDesktopHandler()
    {
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        doubleClick(2, QStringLiteral("(www.example.com/a)"), QStringLiteral("example"));
        QCOMPARE(m_launcher.opened, QStringList{QStringLiteral("http://www.example.com/a")});
        doubleClick(2, QStringLiteral("https://example.org/x,"), QStringLiteral("example"));
        QCOMPARE(m_launcher.opened.last(), QStringLiteral("https://example.org/x"));
    }

    void unsafeItemsAreCopiedButNotOpened_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clicked");
        QTest::newRow("program path in web tab") << 2 << "/usr/bin/xterm" << "xterm";
        QTest::newRow("desktop entry in web tab") << 2 << "/tmp/run.desktop" << "run";
        QTest::newRow("file link in web tab") << 2 << "file:///etc/passwd" << "passwd";
        QTest::newRow("script in web tab") << 2 << "~/bin/wipe.sh" << "wipe";
        QTest::newRow("attachment in mail tab") << 3 << "ann@example.com?attach=/etc/passwd" << "ann";
        QTest::newRow("file link in mail tab") << 3 << "file:///home/ann@x/secret" << "ann";
        QTest::newRow("command in phone tab") << 4 << "$(touch /tmp/x)"
                                              << "touch";
        QTest::newRow("option in phone tab") << 4 << "--version"
                                             << "version";
    }
    void unsafeItemsAreCopiedButNotOpened()
    {
        QFETCH(int, tab);
        QFETCH(QString, text);
        QFETCH(QString, clicked);
        m_launcher.handlerEntry = QStringLiteral("phone.desktop"); // a dialer is at hand
        for (const char *mode : {"YES", "NO"}) {
            set(QStringLiteral("IEEnhanced"), QString::fromLatin1(mode));
            m_status.clear();
            QGuiApplication::clipboard()->setText(QStringLiteral("before"));
            doubleClick(tab, text, clicked);
            QVERIFY(m_launcher.opened.isEmpty());
            QVERIFY(m_launcher.commandLines.isEmpty());
            QVERIFY(m_launcher.handlerLaunches.isEmpty());
            QCOMPARE(clipboardText(), m_box->SelText());
            QVERIFY(clipboardText() != QLatin1String("before"));
            QCOMPARE(m_status.size(), 1);
        }
    }

    void mailItemWithoutAtAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("launched");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("No") << int(QMessageBox::No) << false;
    }
    void mailItemWithoutAtAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, launched);
        Dialogs::queueButton(static_cast<QMessageBox::StandardButton>(answer));
        doubleClick(3, QStringLiteral("write to annlee today"), QStringLiteral("annlee"));
        QCOMPARE(Dialogs::shown().size(), 1);
        QCOMPARE(Dialogs::shown().first().title, QStringLiteral("Continue?"));
        QVERIFY(Dialogs::shown().first().text.startsWith(
            QLatin1String("The e-mail address you clicked on does not contain the standard @ symbol")));
        if (launched) {
            QCOMPARE(clipboardText(), QStringLiteral("annlee"));
            QCOMPARE(m_launcher.commandLines, QStringList{QStringLiteral("/usr/bin/mailer annlee")});
        } else {
            QCOMPARE(clipboardText(), QStringLiteral("before"));
            QVERIFY(m_launcher.commandLines.isEmpty());
        }
    }

    void mailItemWithAtGoesStraightToMailer()
    {
        doubleClick(3, QStringLiteral("<ann@example.com>"), QStringLiteral("ann"));
        QVERIFY(Dialogs::shown().isEmpty());
        QCOMPARE(m_launcher.commandLines, QStringList{QStringLiteral("/usr/bin/mailer ann@example.com")});
        set(QStringLiteral("IEEnhanced"), QStringLiteral("YES"));
        doubleClick(3, QStringLiteral("mailto:ann@example.com"), QStringLiteral("ann"));
        QCOMPARE(m_launcher.opened, QStringList{QStringLiteral("mailto:ann@example.com")});
    }

    void phoneTabDialsTheItem()
    {
        // With no dialer set, the desktop's dialer gets the whole number as a tel: address.
        m_launcher.handlerEntry = QStringLiteral("phone.desktop");
        doubleClick(4, QStringLiteral("Office (555) 123-4567"), QStringLiteral("123"));
        QCOMPARE(m_launcher.handlerLaunches, QStringList{QStringLiteral("tel tel:(555)123-4567")});

        const QString dialer = QCoreApplication::applicationFilePath(); // any existing file
        set(QStringLiteral("Dialer"), dialer);
        doubleClick(4, QStringLiteral("Office (555) 123-4567"), QStringLiteral("123"));
        QCOMPARE(m_launcher.commandLines, QStringList{dialer});
        m_keys.focusedPid = m_launcher.nextProcessId - 1;
        QTRY_COMPARE(m_keys.sent.size(), 2);
        // The whole number, typed as written (brackets are keys, not key-string syntax).
        QCOMPARE(m_keys.sent.last(), QStringLiteral("{(}555{)} 123-4567"));
    }

    void wordTabsLaunchNothing()
    {
        for (int tab : {1, 5, 6, 7})
            doubleClick(tab, QStringLiteral("www.example.com ann@example.com"), QStringLiteral("ann"));
        QVERIFY(m_launcher.commandLines.isEmpty());
        QVERIFY(m_launcher.opened.isEmpty());
        QVERIFY(Dialogs::shown().isEmpty());
    }
};

QTEST_MAIN(TestNoteTextLauncher)
#include "tst_notetextlauncher.moc"
