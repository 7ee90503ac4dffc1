// Every file of the RTF corpus (real files from rich edit, Word, LibreOffice, TextEdit, pandoc and
// others) must read to the same text LibreOffice extracts, apart from the listed files where
// LibreOffice itself is wrong or where we show the document differently on purpose.
#include "DocumentText.h"
#include "RtfReader.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <QtTest>

namespace {

const QString corpusDir = QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// White space folded to single spaces; list labels at the start of a line dropped (LibreOffice's
// text export writes them, our reader turns them into real lists).
QString normalised(QString text)
{
    static const QRegularExpression label(
        QStringLiteral("^[ "
                       "\\t\\x{a0}]*(?:[\\x{2022}\\x{b7}\\x{25aa}\\x{25cf}\\x{25e6}\\x{2013}\\x{f0b7}\\x{"
                       "f0a7}o\\x{a7}\\-\\*]"
                       "|\\(?(?:[0-9]{1,3}|[a-zA-Z]|[ivxlcdmIVXLCDM]{1,6})[.)])[ \\t\\x{a0}]+"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression space(QStringLiteral("\\s+"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    text = text.normalized(QString::NormalizationForm_C).replace(QChar(0xA0), u' ');
    text.remove(label);
    return text.replace(space, QStringLiteral(" ")).trimmed();
}

struct Exception
{
    const char *file;
    const char *reason;
    const char *mustContain; // what the correct reading shows instead
};

// Files where LibreOffice's text is not the right answer.
const Exception kExceptions[] = {
    {"other-producers/rtfparserkit-testJapaneseUtf8Encoding",
     "LibreOffice ignores the font's \\cpg65001 and shows UTF-8 bytes as cp1252", "\u4E2D\u570B"},
    {"malformed/pandoc-table_nested_malformed_itap", "LibreOffice drops the whole table",
     "Child at skipped level"},
    {"malformed/derived-rtfpipe-List-truncated-in-pn", "LibreOffice refuses truncated files",
     "Bullet 2 Paragraph 2"},
    {"malformed/rtfpipe-Issue49", "the font table is never closed; we end it at the first body word",
     "5% Auf Patronen"},
    {"textedit/tika-testRTFInvalidUnicode", "lone surrogate halves read as U+FFFD, LibreOffice writes '?'",
     "Unpaired hi \uFFFD here"},
    {"other-producers/tika-testRTFHyperlinkAndStyles",
     "\\fcharset1 means the document's code page (cp1252 \\'94 is a quote); LibreOffice shows U+FFFD",
     "10\u201DFlour Tortilla"},
    {"word/pandoc-formatting", "hidden text (\\v) is not shown in a note", "This is hidden: . Small"},
    {"pandoc/pandoc-table_simple", "LibreOffice drops cells beyond the row's \\cellx count; we keep them",
     "A B C D E F G H"},
    {"tables/tika-testRTFTableCellSeparation2", "table cells are kept apart by a tab",
     "Fax / Phone Station Fax / Phone #"},
};

const Exception *exceptionFor(const QString &name)
{
    for (const Exception &e : kExceptions) {
        if (name == QLatin1String(e.file))
            return &e;
    }
    return nullptr;
}

// A paragraph's text as QTextDocument::toPlainText gives it, pictures left out.
} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT
private slots:
    void corpusHasAllFiles()
    {
        int count = 0;
        QDirIterator it(corpusDir, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(QLatin1String("/upstream-expected/")) &&
                !path.contains(QLatin1String("/peers/")))
                ++count;
        }
        QCOMPARE(count, 84);
    }

    void plainTextMatchesReference_data()
    {
        QTest::addColumn<QString>("name");
        QDirIterator it(corpusDir, {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList names;
        while (it.hasNext()) {
            const QString rel = QDir(corpusDir).relativeFilePath(it.next());
            if (!rel.startsWith(QLatin1String("upstream-expected/")) &&
                !rel.startsWith(QLatin1String("peers/")))
                names << rel.chopped(4);
        }
        names.sort();
        for (const QString &n : names)
            QTest::newRow(qPrintable(n)) << n;
    }
    void plainTextMatchesReference()
    {
        QFETCH(QString, name);
        const QByteArray bytes = readFile(corpusDir + u'/' + name + QLatin1String(".rtf"));
        QVERIFY(!bytes.isEmpty());
        QVERIFY(rtf::looksLikeRtf(bytes));
        const QString got = normalised(rtf::plainText(bytes));
        const QString expected = normalised(QString::fromUtf8(
            readFile(corpusDir + QLatin1String("/expected/") + name + QLatin1String(".txt"))));
        if (const Exception *e = exceptionFor(name)) {
            QVERIFY2(got != expected,
                     "listed as an exception but matches LibreOffice now: drop it from the list");
            QVERIFY2(got.contains(QString::fromUtf8(e->mustContain)),
                     qPrintable(QString::fromUtf8(e->reason) + QStringLiteral("\ngot: ") + got));
            return;
        }
        QCOMPARE(got, expected);
    }

    // Pictures, tables and nested lists from several producers are kept.
    void structuresAreKept_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<int>("tables");
        QTest::addColumn<int>("deepestList");
        for (const StructureSample &s : kStructureSamples)
            QTest::newRow(s.file) << QString::fromLatin1(s.file) << s.pictures << s.tables << s.deepestList;
    }
    void structuresAreKept()
    {
        QFETCH(QString, name);
        QFETCH(int, pictures);
        QFETCH(int, tables);
        QFETCH(int, deepestList);
        QTextDocument doc;
        rtf::readInto(&doc, readFile(corpusDir + u'/' + name + QLatin1String(".rtf")));
        const DocumentStructure s = structureOf(doc);
        QCOMPARE(s.pictures, pictures);
        QCOMPARE(s.tables, tables);
        QCOMPARE(s.deepestList, deepestList);
    }

    // The document the editor shows holds the same text as the quick extraction.
    void documentTextMatchesPlainText_data() { plainTextMatchesReference_data(); }
    void documentTextMatchesPlainText()
    {
        QFETCH(QString, name);
        const QByteArray bytes = readFile(corpusDir + u'/' + name + QLatin1String(".rtf"));
        QTextDocument doc;
        const rtf::ReadResult result = rtf::readInto(&doc, bytes);
        QVERIFY(result.ok);
        QVERIFY(result.wasRtf);
        QCOMPARE(textWithRowsAsLines(doc), trimmedLines(rtf::plainText(bytes)));
    }
};

QTEST_GUILESS_MAIN(TestRtfCorpus)
#include "tst_rtfcorpus.moc"
