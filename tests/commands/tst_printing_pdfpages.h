#pragma once

// Reading printed pages back: pdftotext (poppler-utils) gives every word with its box in points,
// so the tests check what a reader of the paper would see, not how the program drew it.

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <optional>

namespace printedpages {

// 720 twips of margin and 300 more above the text, in points.
constexpr double kMargin = 36.0;
constexpr double kTextTop = 51.0;
// pdftotext measures a word from its font's ascent, which may sit a little off the layout line.
constexpr double kSlack = 1.5;

struct Word
{
    QString text;
    QRectF box;
};

struct Page
{
    QSizeF size;
    QList<Word> words;

    QString text() const
    {
        QStringList parts;
        for (const auto &w : words)
            parts << w.text;
        return parts.join(QLatin1Char(' '));
    }
};

inline QString unescape(QString s)
{
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&#39;"), QLatin1String("'"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

// The pages of a PDF file, or nothing (with the reason) when pdftotext cannot read it.
inline std::optional<QList<Page>> read(const QString &pdf, QString *error)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *error = QStringLiteral("pdftotext failed on %1: %2%3")
                     .arg(pdf, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
        return std::nullopt;
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pageRe(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordRe(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Page> pages;
    for (const QString &chunk : html.split(QStringLiteral("</page>"))) {
        const auto page = pageRe.match(chunk);
        if (!page.hasMatch())
            continue;
        Page p;
        p.size = QSizeF(page.captured(1).toDouble(), page.captured(2).toDouble());
        for (auto it = wordRe.globalMatch(chunk, page.capturedEnd()); it.hasNext();) {
            const auto w = it.next();
            p.words.append({unescape(w.captured(5)),
                            QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                   QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()))});
        }
        pages.append(p);
    }
    if (pages.isEmpty())
        *error = QStringLiteral("no pages in %1").arg(pdf);
    return pages;
}

// Everything a user checks on a printed note: the heading on the first page only, starting with
// the given words; every word inside the half-inch margins; the text 300 twips below the top
// margin on every page. Returns what is wrong, or an empty string.
inline QString layoutProblem(const QList<Page> &pages, const QString &heading)
{
    if (pages.isEmpty())
        return QStringLiteral("nothing printed");
    // The heading is the first printed line: the words level with the first one on page 1.
    const auto inHeadingLine = [&](int pageIndex, const Word &w) {
        return pageIndex == 0 && std::abs(w.box.top() - pages.at(0).words.at(0).box.top()) < 2.0;
    };
    for (int i = 0; i < pages.size(); ++i) {
        const Page &page = pages.at(i);
        const QString where = QStringLiteral("page %1: ").arg(i + 1);
        if (i == 0 && !page.text().startsWith(heading))
            return where + QStringLiteral("heading missing, page starts \"%1\"").arg(page.text().left(80));
        if (i > 0 && page.text().contains(QStringLiteral("Vek Quillbox Plus")))
            return where + QStringLiteral("heading repeated");
        for (int k = 0; k < page.words.size(); ++k) {
            const Word &w = page.words.at(k);
            const QRectF &b = w.box;
            if (b.left() < kMargin - kSlack || b.right() > page.size.width() - kMargin + kSlack ||
                b.top() < kMargin - kSlack || b.bottom() > page.size.height() - kMargin + kSlack)
                return where + QStringLiteral("\"%1\" outside the margins at %2,%3-%4,%5")
                                   .arg(w.text)
                                   .arg(b.left())
                                   .arg(b.top())
                                   .arg(b.right())
                                   .arg(b.bottom());
            const bool inHeading = inHeadingLine(i, w);
            if (inHeading && b.bottom() > kTextTop + kSlack)
                return where + QStringLiteral("heading word \"%1\" reaches into the text (%2)")
                                   .arg(w.text)
                                   .arg(b.bottom());
            if (!inHeading && b.top() < kTextTop - kSlack)
                return where +
                       QStringLiteral("\"%1\" starts above the text area (%2)").arg(w.text).arg(b.top());
        }
    }
    return {};
}

// The numbered lines "Line 1" ... found on the pages, in printed order.
inline QList<int> lineNumbers(const QList<Page> &pages)
{
    QList<int> numbers;
    for (const Page &page : pages) {
        for (int k = 0; k + 1 < page.words.size(); ++k) {
            if (page.words.at(k).text == QLatin1String("Line"))
                numbers.append(page.words.at(k + 1).text.toInt());
        }
    }
    return numbers;
}

// A note of several pages: a large centred title, then numbered lines in assorted formatting.
inline void fillLongNote(QTextDocument *doc, int lines)
{
    QTextCursor c(doc);
    QTextCharFormat title;
    title.setFontPointSize(20);
    title.setFontWeight(QFont::Bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centred);
    c.insertText(QStringLiteral("Quarterly plan"), title);
    for (int i = 1; i <= lines; ++i) {
        QTextBlockFormat block;
        c.insertBlock(block);
        QTextCharFormat f;
        f.setFontPointSize(i % 10 == 0 ? 16 : 11);
        f.setFontWeight(i % 3 == 0 ? QFont::Bold : QFont::Normal);
        f.setFontItalic(i % 4 == 0);
        c.insertText(QStringLiteral("Line %1 of the plan with enough words to show margins").arg(i), f);
    }
}

} // namespace printedpages
