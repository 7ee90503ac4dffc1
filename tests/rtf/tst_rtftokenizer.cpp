#include "RtfKeywords.h"
#include "RtfTokenizer.h"

#include <QtTest>

#include <limits>

namespace {

struct Word
{
    QByteArray name;
    int param = 0;
    bool hasParam = false;
    qsizetype end = 0; // where the tokenizer stands after the word

    bool operator==(const Word &) const = default;
};

// The first token of the bytes, which must be a control word.
Word firstWord(QByteArrayView bytes)
{
    rtf::Tokenizer tokens(bytes);
    const rtf::Token token = tokens.next();
    if (token.kind != rtf::TokenKind::ControlWord)
        return {};
    return {token.text.toByteArray(), token.param, token.hasParam, tokens.position()};
}

rtf::Keyword keywordOf(const QByteArray &word)
{
    rtf::Tokenizer tokens(word);
    const rtf::Token token = tokens.next();
    return rtf::lookupKeyword(token.text, token.head);
}

} // namespace

class TstRtfTokenizer : public QObject
{
    Q_OBJECT

private slots:
    // Names are measured eight letters at a time where eight bytes remain, one by one near the
    // end: both must find the same word, whatever length it has.
    void controlWordIsTheSameAtTheEndAndInside_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("param");
        QTest::addColumn<bool>("hasParam");
        QTest::addColumn<int>("length"); // bytes the word takes, its space included

        constexpr int max = std::numeric_limits<int>::max();
        QTest::newRow("one letter") << QByteArray("\\b") << QByteArray("b") << 0 << false << 2;
        QTest::newRow("off") << QByteArray("\\b0") << QByteArray("b") << 0 << true << 3;
        QTest::newRow("space eaten") << QByteArray("\\fs24 ") << QByteArray("fs") << 24 << true << 6;
        QTest::newRow("one space only") << QByteArray("\\par  ") << QByteArray("par") << 0 << false << 5;
        QTest::newRow("negative") << QByteArray("\\li-360") << QByteArray("li") << -360 << true << 7;
        QTest::newRow("minus without digits") << QByteArray("\\li-") << QByteArray("li") << 0 << false << 3;
        QTest::newRow("seven letters")
            << QByteArray("\\ansicpg1252") << QByteArray("ansicpg") << 1252 << true << 12;
        QTest::newRow("eight letters")
            << QByteArray("\\colortbl;") << QByteArray("colortbl") << 0 << false << 9;
        QTest::newRow("nine letters")
            << QByteArray("\\listtable") << QByteArray("listtable") << 0 << false << 10;
        QTest::newRow("long") << QByteArray("\\listoverridetable ") << QByteArray("listoverridetable") << 0
                              << false << 19;
        QTest::newRow("mixed case") << QByteArray("\\mmathPr7") << QByteArray("mmathPr") << 7 << true << 9;
        QTest::newRow("digit ends name") << QByteArray("\\f1a") << QByteArray("f") << 1 << true << 3;
        QTest::newRow("eight digits")
            << QByteArray("\\u12345678") << QByteArray("u") << 12345678 << true << 10;
        QTest::newRow("huge clamped") << QByteArray("\\u99999999999") << QByteArray("u") << max << true << 13;
        QTest::newRow("huge negative")
            << QByteArray("\\u-99999999999") << QByteArray("u") << -max << true << 14;
        QTest::newRow("high bytes end name")
            << QByteArray("\\ab\xE9\xC1") << QByteArray("ab") << 0 << false << 3;
        QTest::newRow("brackets and at end name")
            << QByteArray("\\Z@[`{") << QByteArray("Z") << 0 << false << 2;
    }
    void controlWordIsTheSameAtTheEndAndInside()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, name);
        QFETCH(int, param);
        QFETCH(bool, hasParam);
        QFETCH(int, length);
        const Word expected{name, param, hasParam, length};
        QCOMPARE(firstWord(input), expected);
        // Followed by more of a document, so that eight bytes remain after every part of the word.
        QCOMPARE(firstWord(input + "}{\\par}" + QByteArray(16, 'x')), expected);
    }

    void keywordsAreFoundByTheirWholeName_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<int>("keyword");

        QTest::newRow("short") << QByteArray("\\par") << int(rtf::Keyword::K_par);
        QTest::newRow("prefix of a keyword") << QByteArray("\\pa") << int(rtf::Keyword::Unknown);
        QTest::newRow("case matters") << QByteArray("\\PAR") << int(rtf::Keyword::Unknown);
        QTest::newRow("eight letters") << QByteArray("\\colortbl") << int(rtf::Keyword::K_colortbl);
        QTest::newRow("long") << QByteArray("\\listoverridetable") << int(rtf::Keyword::K_listoverridetable);
        QTest::newRow("long, last letter differs")
            << QByteArray("\\listoverridetablx") << int(rtf::Keyword::Unknown);
        QTest::newRow("long prefix of a long one")
            << QByteArray("\\listoverride") << int(rtf::Keyword::K_listoverride);
        QTest::newRow("nine letters") << QByteArray("\\ulthdashd") << int(rtf::Keyword::K_ulthdashd);
        QTest::newRow("ten letters") << QByteArray("\\ulthdashdd") << int(rtf::Keyword::K_ulthdashdd);
        QTest::newRow("eight letters of a longer one")
            << QByteArray("\\ulthdash") << int(rtf::Keyword::K_ulthdash);
        QTest::newRow("longer than any")
            << QByteArray("\\" + QByteArray(40, 'a')) << int(rtf::Keyword::Unknown);
    }
    void keywordsAreFoundByTheirWholeName()
    {
        QFETCH(QByteArray, word);
        QFETCH(int, keyword);
        QCOMPARE(int(keywordOf(word)), keyword);
        QCOMPARE(int(keywordOf(word + " plain text after the word")), keyword);
    }
};

QTEST_GUILESS_MAIN(TstRtfTokenizer)
#include "tst_rtftokenizer.moc"
