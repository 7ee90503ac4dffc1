#include "DictionaryLocator.h"
#include "RichTextBox.h"
#include "SettingsStore.h"
#include "SpellChecker.h"
#include "SpellHighlighter.h"
#include "SpellSession.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

// Spell checking with the en_US dictionary of the hunspell-en-us package.
class TestSpelling : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<SpellChecker> englishChecker(const QString &wordList = {})
    {
        auto checker = std::make_unique<SpellChecker>();
        checker->setPersonalWordList(wordList.isEmpty() ? m_dir.filePath(QStringLiteral("words.txt"))
                                                        : wordList);
        const auto found = DictionaryLocator::find({QStringLiteral("en_US")});
        if (!found.isValid() || !checker->open(found.affPath, found.dicPath))
            qFatal("the en_US dictionary of hunspell-en-us is not installed");
        return checker;
    }

    // The underlined stretches of a paragraph, as "start+length".
    static QStringList underlined(const QTextBlock &block)
    {
        QStringList spans;
        for (const QTextLayout::FormatRange &r : block.layout()->formats())
            if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
                spans << QStringLiteral("%1+%2").arg(r.start).arg(r.length);
        return spans;
    }

private slots:
    void wordsSkipNumbersAndAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "Hello wrld" << QStringList{"Hello", "wrld"};
        QTest::newRow("apostrophes") << "don't Anna’s 'quoted'" << QStringList{"don't", "Anna’s", "quoted"};
        QTest::newRow("digits and one letter") << "a b2c 42 x_y mp3 ok" << QStringList{"ok"};
        QTest::newRow("addresses") << "see www.exmple.org or anna@exmple.org or https://exmple.org/pth fin"
                                   << QStringList{"see", "or", "or", "fin"};
        QTest::newRow("punctuation") << "(well-known), end." << QStringList{"well", "known", "end"};
    }
    void wordsSkipNumbersAndAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QStringList got;
        for (const SpellHighlighter::Word &w : SpellHighlighter::wordsIn(text))
            got << text.mid(w.start, w.length);
        QCOMPARE(got, words);
    }

    void dictionaryForTheLanguageElseEnglish_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("found");
        QTest::newRow("exact") << QStringList{"de_AT"} << "de_AT";
        QTest::newRow("ui language form") << QStringList{"de-AT"} << "de_AT";
        QTest::newRow("another country") << QStringList{"de_CH.UTF-8"} << "de_AT";
        QTest::newRow("first that exists") << QStringList{"fr_FR", "de"} << "de_AT";
        QTest::newRow("none: English") << QStringList{"fr_FR", "C"} << "en_US";
        QTest::newRow("without its word file") << QStringList{"nl_NL"} << "en_US";
    }
    void dictionaryForTheLanguageElseEnglish()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, found);
        QTemporaryDir dir;
        for (const char *name : {"de_AT.aff", "de_AT.dic", "en_US.aff", "en_US.dic", "nl_NL.aff"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(DictionaryLocator::find(languages, {dir.path()}).language, found);
    }

    void checksSuggestsAndKeepsAddedWords()
    {
        const QString list = m_dir.filePath(QStringLiteral("added/words.txt"));
        {
            auto checker = englishChecker(list);
            QVERIFY(checker->isCorrect(QStringLiteral("house")));
            QVERIFY(!checker->isCorrect(QStringLiteral("huose")));
            const QStringList suggestions = checker->suggestions(QStringLiteral("huose"));
            QVERIFY(suggestions.contains(QStringLiteral("house")));
            QVERIFY(suggestions.size() <= 5);
            QVERIFY(!checker->isCorrect(QStringLiteral("Quillbox")));
            QSignalSpy changed(checker.get(), &SpellChecker::wordsChanged);
            checker->addToDictionary(QStringLiteral("Quillbox"));
            QCOMPARE(changed.count(), 1);
            QVERIFY(checker->isCorrect(QStringLiteral("Quillbox")));
        }
        // A later session knows the word from the personal list.
        QVERIFY(englishChecker(list)->isCorrect(QStringLiteral("Quillbox")));
        QVERIFY(!englishChecker()->isCorrect(QStringLiteral("Quillbox")));
    }

    void underlineStaysOutOfTheNoteAndItsFile()
    {
        auto checker = englishChecker();
        RichTextBox box;
        box.setText(QStringLiteral("A huose\nis fine"));
        const QByteArray before = box.TextRTF();
        QSignalSpy changed(&box, &RichTextBox::Change);
        auto highlighter = std::make_unique<SpellHighlighter>(box.document(), checker.get());
        QTRY_COMPARE(underlined(box.document()->firstBlock()), QStringList{"2+5"});
        QVERIFY(underlined(box.document()->lastBlock()).isEmpty());
        QCOMPARE(box.TextRTF(), before);
        QVERIFY(!box.document()->isModified());
        // Neither underlining nor taking the underlines away marks the note changed.
        highlighter.reset();
        QVERIFY(underlined(box.document()->firstBlock()).isEmpty());
        QCOMPARE(changed.count(), 0);
    }

    void aKeystrokeRechecksOnlyItsParagraph()
    {
        auto checker = englishChecker();
        RichTextBox box;
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("line %1 with some words").arg(i);
        box.setText(lines.join(u'\n'));
        SpellHighlighter highlighter(box.document(), checker.get());
        QTRY_VERIFY(highlighter.isComplete());
        QCOMPARE(highlighter.paragraphsChecked(), 200);
        const qint64 before = highlighter.paragraphsChecked();
        QTextCursor c(box.document()->findBlockByNumber(100));
        c.movePosition(QTextCursor::EndOfBlock);
        c.insertText(QStringLiteral(" xqzt"));
        QCOMPARE(highlighter.paragraphsChecked() - before, 1);
        QCOMPARE(underlined(box.document()->findBlockByNumber(100)).size(), 1);
    }

    void sessionFollowsTheSettingAndOffersSuggestions()
    {
        auto checker = englishChecker();
        SettingsStore settings(m_dir.filePath(QStringLiteral("session.ini")));
        RichTextBox box;
        box.resize(400, 200);
        box.setText(QStringLiteral("the huose"));
        box.show();
        QAction action;
        {
            // Absent setting: on, since there is a dictionary.
            SpellSession session(checker.get(), &settings, {&box});
            session.setAction(&action);
            QVERIFY(session.isOn() && action.isChecked() && action.isEnabled());
            QVERIFY(session.highlighter(&box));

            // Right click over the misspelt word: suggestions, then Add to Dictionary.
            QTextCursor c(box.document());
            c.setPosition(6);
            const QPoint at = box.viewport()->mapToGlobal(box.cursorRect(c).center());
            QMenu menu;
            QVERIFY(session.addContextItems(&menu, &box, at));
            QStringList captions;
            for (QAction *a : menu.actions())
                captions << a->text();
            QVERIFY(captions.contains(QStringLiteral("house")));
            QCOMPARE(captions.last(), QStringLiteral("Add to Dictionary"));
            menu.actions().at(captions.indexOf(QStringLiteral("house")))->trigger();
            QCOMPARE(box.Text(), QStringLiteral("the house"));

            // A correct word offers nothing, so the plain Edit menu shows.
            c.setPosition(1);
            QMenu none;
            QVERIFY(!session.addContextItems(&none, &box,
                                             box.viewport()->mapToGlobal(box.cursorRect(c).center())));
            QVERIFY(none.actions().isEmpty());

            action.setChecked(false);
            QVERIFY(!session.isOn() && !session.highlighter(&box));
            QCOMPARE(settings.GetSettingValue(QStringLiteral("SpellCheck")), QStringLiteral("No"));
        }
        SpellSession later(checker.get(), &settings, {&box});
        QVERIFY(!later.isOn());

        // Without a dictionary the command is greyed and off.
        SpellChecker none;
        settings.SaveSettingValue(QStringLiteral("SpellCheck"), QStringLiteral("Yes"));
        SpellSession withoutDictionary(&none, &settings, {&box});
        QAction greyed;
        withoutDictionary.setAction(&greyed);
        QVERIFY(!withoutDictionary.isOn() && !greyed.isEnabled() && !greyed.isChecked());
    }
};

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
