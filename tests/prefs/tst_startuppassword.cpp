#include "Dialogs.h"
#include "PasswordRecord.h"
#include "SettingKeys.h"
#include "SettingsStore.h"
#include "StartupPassword.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QString kTitle = QStringLiteral("Quillbox Plus - Password Protection");
const QString kFirst = QStringLiteral("Please Enter Your Password.");
const QString kAgain = QStringLiteral("That Password Was Incorrect; Please Enter Your Password.");

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestStartupPassword : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_store = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("settings.ini")));
        m_store->DeleteSetting(SettingKey::Password);
        Dialogs::clearSeams();
        Dialogs::setNeverBlock(true);
    }

    void startupAsksUntilTwoWrongAnswers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QStringList>("prompts");

        const QString secret = PasswordRecord::wrap(QStringLiteral("Secret"));
        const QStringList once{kFirst};
        const QStringList twice{kFirst, kAgain};
        QTest::newRow("no password set") << QString() << QStringList() << true << QStringList();
        QTest::newRow("blank record") << QStringLiteral("   ") << QStringList() << true << QStringList();
        QTest::newRow("right first time") << secret << QStringList{"Secret"} << true << once;
        QTest::newRow("blanks around the answer") << secret << QStringList{"  Secret "} << true << once;
        QTest::newRow("right at the second try") << secret << QStringList{"nope", "Secret"} << true << twice;
        QTest::newRow("two wrong answers") << secret << QStringList{"nope", "still no"} << false << twice;
        QTest::newRow("letter case counts") << secret << QStringList{"secret", "SECRET"} << false << twice;
        QTest::newRow("cancel twice") << secret << QStringList{"", ""} << false << twice;
        QTest::newRow("NUL at the end of the record")
            << secret + QChar(0) << QStringList{"Secret"} << true << once;
        // A damaged record must not lock the user out of the notes.
        QTest::newRow("record too short for a password")
            << secret.left(36) << QStringList() << true << QStringList();
        QTest::newRow("prefix alone") << PasswordRecord::prefix() << QStringList() << true << QStringList();
    }
    void startupAsksUntilTwoWrongAnswers()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, answers);
        QFETCH(bool, goesOn);
        QFETCH(QStringList, prompts);

        if (!stored.isEmpty())
            QVERIFY(m_store->SaveSettingValue(SettingKey::Password, stored));
        for (const QString &answer : answers)
            Dialogs::queueText(answer);

        QCOMPARE(askStartupPassword(*m_store, nullptr), goesOn);

        QStringList asked;
        for (const Dialogs::Shown &s : Dialogs::shown()) {
            QCOMPARE(s.kind, QStringLiteral("input"));
            QCOMPARE(s.title, kTitle);
            asked << s.text;
        }
        QCOMPARE(asked, prompts);
    }

    void wrongAnswersWriteNothing()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(QStringLiteral("pw"))));
        QVERIFY(m_store->SaveSettingValue(SettingKey::Network, QStringLiteral("/somewhere")));
        const QByteArray before = fileBytes(m_store->path());
        Dialogs::queueText(QStringLiteral("a"));
        Dialogs::queueText(QStringLiteral("b"));

        QVERIFY(!askStartupPassword(*m_store, nullptr));

        QCOMPARE(fileBytes(m_store->path()), before);
    }

    // Someone looking over the user's shoulder must not read the password off the screen.
    void promptMasksWhatIsTyped()
    {
        QVERIFY(m_store->SaveSettingValue(SettingKey::Password, PasswordRecord::wrap(QStringLiteral("pw"))));
        Dialogs::setNeverBlock(false);
        QLineEdit::EchoMode mode = QLineEdit::Normal;
        bool seen = false;
        QTimer poll;
        int tries = 0;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!box) {
                if (++tries > 200) // never hang the suite if no box shows
                    poll.stop();
                return;
            }
            seen = true;
            mode = box->textEchoMode();
            box->setTextValue(QStringLiteral("pw"));
            box->accept();
        });
        poll.start(20);
        const bool goesOn = askStartupPassword(*m_store, nullptr);
        QVERIFY(seen);
        QCOMPARE(mode, QLineEdit::Password);
        QVERIFY(goesOn);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
};

QTEST_MAIN(TestStartupPassword)
#include "tst_startuppassword.moc"
