#include "FinalLineBreak.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

// One final line break is removed after loading a note; the rest stays, formatting included.
class TestFinalLineBreak : public QObject
{
    Q_OBJECT

private slots:
    void dropsOneFinalLineBreak_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::newRow("paragraph end") << "abc\n"
                                       << "abc";
        QTest::newRow("two line breaks keep the first") << "abc\n\n"
                                                        << "abc\n";
        QTest::newRow("no line break") << "abc"
                                       << "abc";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only a line break") << "\n"
                                           << "";
        QTest::newRow("soft line break") << QStringLiteral("abc") + QChar(QChar::LineSeparator) << "abc";
        QTest::newRow("line break inside stays") << "a\nb"
                                                 << "a\nb";
    }
    void dropsOneFinalLineBreak()
    {
        QFETCH(QString, text);
        QFETCH(QString, after);
        QTextDocument doc;
        QTextCursor(&doc).insertText(text);
        dropFinalLineBreak(&doc);
        QCOMPARE(doc.toPlainText(), after);
    }

    void keepsTheFormattingOfTheRest()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("bold"), bold);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.setBlockFormat(centred);
        cursor.insertBlock();
        dropFinalLineBreak(&doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("bold"));
        QTextCursor check(&doc);
        check.setPosition(2);
        QCOMPARE(check.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(check.blockFormat().alignment(), Qt::AlignHCenter);
    }
};

QTEST_MAIN(TestFinalLineBreak)
#include "tst_finallinebreak.moc"
