// A real peer reads what we write, and we read what it writes: LibreOffice converts our notes to
// HTML and text, and converts a formatted page to RTF for our reader.
#include "DocumentText.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

class TestRtfInterop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Converts with a private profile; returns the converted file's bytes.
    QByteArray convert(const QString &input, const QString &to)
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            qFatal("soffice is missing: install libreoffice-writer-nogui (scripts/dev.sh lists it)");
        QProcess p;
        QStringList args{QStringLiteral("-env:UserInstallation=file://") +
                             m_dir.filePath(QStringLiteral("profile")),
                         QStringLiteral("--headless"),
                         QStringLiteral("--norestore"),
                         QStringLiteral("--convert-to"),
                         to,
                         QStringLiteral("--outdir"),
                         m_dir.filePath(QStringLiteral("out")),
                         input};
        if (input.endsWith(QLatin1String(".html")))
            args.prepend(QStringLiteral("--infilter=HTML (StarWriter)")); // open as a text document
        p.start(soffice, args);
        if (!p.waitForFinished(240000))
            return {};
        const QString base = QFileInfo(input).completeBaseName();
        QFile out(m_dir.filePath(QStringLiteral("out/") + base + u'.' + to.section(u':', 0, 0)));
        return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
    }

    QString writeNote(const QString &name, const QTextDocument &doc)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(rtf::write(&doc));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void libreOfficeReadsOurFormatting()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat plain;
        plain.setFontFamilies({QStringLiteral("DejaVu Sans")});
        plain.setFontPointSize(11);
        auto with = [&](auto change) {
            QTextCharFormat f = plain;
            change(f);
            return f;
        };
        c.insertText(QStringLiteral("Plain "), plain);
        c.insertText(QStringLiteral("Bolded"),
                     with([](QTextCharFormat &f) { f.setFontWeight(QFont::Bold); }));
        c.insertText(QStringLiteral(" "), plain);
        c.insertText(QStringLiteral("Slanted"), with([](QTextCharFormat &f) { f.setFontItalic(true); }));
        c.insertText(QStringLiteral(" "), plain);
        c.insertText(QStringLiteral("Lined"), with([](QTextCharFormat &f) { f.setFontUnderline(true); }));
        c.insertText(QStringLiteral(" "), plain);
        c.insertText(QStringLiteral("Reddish"),
                     with([](QTextCharFormat &f) { f.setForeground(QColor(0xC0, 0x10, 0x20)); }));
        c.insertText(QStringLiteral(" "), plain);
        c.insertText(QStringLiteral("Large"), with([](QTextCharFormat &f) { f.setFontPointSize(20); }));
        c.insertText(QStringLiteral(" Grüße Жук"), plain);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.insertBlock(centred);
        c.insertText(QStringLiteral("Centred"), plain);
        c.insertBlock(QTextBlockFormat());
        c.insertText(QStringLiteral("First bullet"), plain);
        c.createList(QTextListFormat::ListDisc);
        c.insertBlock();
        c.insertText(QStringLiteral("Second bullet"), plain);
        const QString path = writeNote(QStringLiteral("note.rtf"), doc);

        const QString text = QString::fromUtf8(convert(path, QStringLiteral("txt:Text (encoded):UTF8")));
        QVERIFY2(text.contains(QStringLiteral("Plain Bolded Slanted Lined Reddish Large Grüße Жук")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Centred")));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\u2022\\s*First bullet"))),
                 qPrintable(text));

        const QString html = QString::fromUtf8(convert(path, QStringLiteral("html:HTML (StarWriter)")));
        // A formatting tag, then only other tags or white space before the word.
        auto marked = [&html](const QString &tag, const QString &word) {
            return html.contains(QRegularExpression(tag + QStringLiteral("(?:\\s|<[^>]*>)*") + word,
                                                    QRegularExpression::CaseInsensitiveOption));
        };
        QVERIFY2(marked(QStringLiteral("<b>"), QStringLiteral("Bolded")), qPrintable(html));
        QVERIFY(marked(QStringLiteral("<i>"), QStringLiteral("Slanted")));
        QVERIFY(marked(QStringLiteral("<u>"), QStringLiteral("Lined")));
        QVERIFY(marked(QStringLiteral("<font color=\"#c01020\"[^>]*>"), QStringLiteral("Reddish")));
        QVERIFY(marked(QStringLiteral("<font [^>]*font-size: 20pt[^>]*>"), QStringLiteral("Large")));
        QVERIFY(marked(QStringLiteral("<p [^>]*align=\"center\"[^>]*>"), QStringLiteral("Centred")));
        QVERIFY(!marked(QStringLiteral("<b>"), QStringLiteral("Plain")));
        QVERIFY2(
            html.contains(QRegularExpression(QStringLiteral("<ul>.*First\\s+bullet.*Second\\s+bullet.*</ul>"),
                                             QRegularExpression::DotMatchesEverythingOption)),
            qPrintable(html));
    }

    // A note LibreOffice wrote with a picture, a table and a two-level list shows all three, and
    // after an edit and a save LibreOffice still finds all three in it.
    void pictureTableAndListsSurviveAnEdit()
    {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 30));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        QFile html(m_dir.filePath(QStringLiteral("mixed.html")));
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><body><p>Image follows: <img src=\"data:image/png;base64," + png.toBase64() +
                   "\" width=\"40\" height=\"20\"> after image.</p>"
                   "<table border=\"1\"><tr><td>Cell A1</td><td>Cell B1</td></tr><tr><td>Cell "
                   "A2</td><td><b>Cell B2</b></td></tr></table>"
                   "<ul><li>Top item<ul><li>Sub item</li></ul></li><li>Second "
                   "top</li></ul><p>End.</p></body></html>");
        html.close();
        const QByteArray note = convert(html.fileName(), QStringLiteral("rtf"));
        QVERIFY(rtf::looksLikeRtf(note));

        QTextDocument doc;
        rtf::readInto(&doc, note);
        bool picture = false;
        const QTextTable *table = nullptr;
        QList<int> listLevels;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (f.isImageFormat()) {
                    const QImage shown = QImage::fromData(
                        doc.resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()))
                            .toByteArray());
                    picture = picture || shown.pixelColor(5, 5) == QColor(200, 30, 30);
                }
            }
            if (!table)
                table = QTextCursor(b).currentTable();
            if (b.textList())
                listLevels << b.textList()->format().indent();
        }
        QVERIFY(picture);
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(listLevels, (QList<int>{1, 2, 1}));

        QTextCursor typing = doc.find(QStringLiteral("End."));
        typing.insertText(QStringLiteral("Finished."));
        const QString saved = writeNote(QStringLiteral("mixed.rtf"), doc);
        const QString xhtml =
            QString::fromUtf8(convert(saved, QStringLiteral("xhtml:XHTML Writer File:UTF8")));
        QVERIFY2(xhtml.contains(QRegularExpression(QStringLiteral("<img [^>]*src=\"data:image/png;base64,"))),
                 qPrintable(xhtml));
        const QRegularExpression cells(
            QStringLiteral("<table.*<td[^>]*>.*Cell A1.*<td[^>]*>.*Cell B1.*<tr.*Cell A2.*Cell B2.*</table>"),
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(xhtml.contains(cells));
        const QRegularExpression nested(
            QStringLiteral("<ul>\\s*<li>.*Top item.*<ul>\\s*<li>.*Sub item.*</ul>.*Second top.*</ul>"),
            QRegularExpression::DotMatchesEverythingOption);
        QVERIFY(xhtml.contains(nested));
        QVERIFY(xhtml.contains(QStringLiteral("Finished.")));
    }

    // What we write of the corpus's pictures, tables and nested lists, LibreOffice reads back.
    void libreOfficeReadsTheStructuresWeWrite_data()
    {
        QTest::addColumn<QString>("name");
        for (const StructureSample &s : kStructureSamples) {
            // Its metafile is ten bytes of filler, kept as it came; LibreOffice refuses to open
            // any document that holds such a picture outside an object.
            if (qstrcmp(s.file, "pictures/tika-testBinControlWord") != 0)
                QTest::newRow(s.file) << QString::fromLatin1(s.file);
        }
    }
    void libreOfficeReadsTheStructuresWeWrite()
    {
        QFETCH(QString, name);
        QFile source(QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus/") + name + QLatin1String(".rtf"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QTextDocument doc;
        rtf::readInto(&doc, source.readAll());
        const DocumentStructure ours = structureOf(doc);
        const QString saved = writeNote(QFileInfo(name).fileName() + QLatin1String(".rtf"), doc);
        const QString xhtml =
            QString::fromUtf8(convert(saved, QStringLiteral("xhtml:XHTML Writer File:UTF8")));
        QVERIFY(xhtml.contains(QLatin1String("<body")));
        DocumentStructure theirs;
        theirs.pictures = int(xhtml.count(QLatin1String("<img ")));
        theirs.tables = int(xhtml.count(QLatin1String("<table")));
        int depth = 0;
        static const QRegularExpression listTag(QStringLiteral("<(/?)[uo]l[ >]"));
        for (auto it = listTag.globalMatch(xhtml); it.hasNext();) {
            depth += it.next().captured(1).isEmpty() ? 1 : -1;
            theirs.deepestList = std::max(theirs.deepestList, depth);
        }
        QCOMPARE(theirs.pictures, ours.pictures);
        QCOMPARE(theirs.tables, ours.tables);
        QCOMPARE(theirs.deepestList, ours.deepestList);
    }

    // LibreOffice finds the padding and the lines of the tables we write where their producer
    // put them: LibreOffice's own narrow padding (so "A1" stays on one line), pandoc's header rule
    // and no grid below it.
    void libreOfficeReadsOurTablesAsTheyCame_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("cellStyles"); // "<cell> <CSS property LibreOffice gives it>"
        QTest::newRow("LibreOffice") << QStringLiteral("libreoffice/lo74-notes-sample")
                                     << QStringList{QStringLiteral("A1 padding:0.0194in"),
                                                    QStringLiteral("A2 padding:0.0194in")};
        QTest::newRow("pandoc") << QStringLiteral("pandoc/pandoc217-notes-sample")
                                << QStringList{QStringLiteral("A1 border-bottom-style:solid"),
                                               QStringLiteral("A1 border-top-style:none"),
                                               QStringLiteral("A2 border-bottom-style:none"),
                                               QStringLiteral("A2 border-left-style:none"),
                                               QStringLiteral("A1 padding-left:0.0833in")};
    }
    void libreOfficeReadsOurTablesAsTheyCame()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, cellStyles);
        QFile source(QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus/") + name + QLatin1String(".rtf"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QTextDocument doc;
        rtf::readInto(&doc, source.readAll());
        const QString saved = writeNote(QFileInfo(name).fileName() + QLatin1String("-table.rtf"), doc);
        const QString xhtml =
            QString::fromUtf8(convert(saved, QStringLiteral("xhtml:XHTML Writer File:UTF8")));
        for (const QString &expected : std::as_const(cellStyles)) {
            const QRegularExpression rule(QStringLiteral("\\.Table1_") + expected.section(u' ', 0, 0) +
                                          QStringLiteral(" \\{([^}]*)\\}"));
            const QString style = rule.match(xhtml).captured(1);
            QVERIFY2(style.contains(expected.section(u' ', 1)), qPrintable(expected + u'\n' + style));
        }
    }

    void weReadWhatLibreOfficeWrites()
    {
        const QString source =
            QStringLiteral(QB_TEST_DATA_DIR "/rtf-corpus/generated-sources/notes-sample.html");
        QFile::copy(source, m_dir.filePath(QStringLiteral("sample.html")));
        const QByteArray rtfBytes =
            convert(m_dir.filePath(QStringLiteral("sample.html")), QStringLiteral("rtf"));
        QVERIFY(rtf::looksLikeRtf(rtfBytes));
        QTextDocument doc;
        QVERIFY(rtf::readInto(&doc, rtfBytes).wasRtf);
        const QString text = doc.toPlainText();
        // The sample's formatted words and its non-ASCII text come through.
        QTextCursor bold = doc.find(QStringLiteral("bold"), 0, QTextDocument::FindCaseSensitively);
        QVERIFY(!bold.isNull());
        QVERIFY(text.contains(QStringLiteral("café")));
        QVERIFY(!text.contains(QStringLiteral("fonttbl")));
        bool anyList = false;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            anyList = anyList || b.textList();
        QVERIFY(anyList);
    }
};

QTEST_GUILESS_MAIN(TestRtfInterop)
#include "tst_rtfinterop.moc"
