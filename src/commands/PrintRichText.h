#pragma once

#include <QDate>
#include <QLocale>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QPrinter;
class QTextDocument;

// Margins in twips (1/1440 inch), measured from the edge of the paper.
struct PrintMargins
{
    int left = 720;
    int top = 720;
    int right = 720;
    int bottom = 720;
};

// Room for the heading line between the top margin and the text, on every page.
inline constexpr int kHeadingSpaceTwips = 300;

// Where things go on a page, in device pixels with the origin at the paper's top-left corner.
struct PrintPageGeometry
{
    QRectF heading; // the band above the text on page 1
    QRectF body;    // where the note's text is laid out, the same on every page
};

PrintPageGeometry printPageGeometry(const QSizeF &paperPixels, double dpiX, double dpiY,
                                    const PrintMargins &margins);

// "Vek Quillbox Plus - Notes     Sunday, December 6, 2026 ": the line on top of page 1.
QString printHeadingLine(const QString &caption, const QDate &today, const QLocale &locale);

// Told once the note is laid out (page 0) and after each printed page; answering false cancels
// the job before its next page.
using PrintProgress = std::function<bool(int pagesPrinted, int pageCount)>;

// Prints the whole note as one job on the printer (which must be set up but not yet started):
// the heading line on the first page, the text laid out by Qt's text layout inside the margins,
// starting kHeadingSpaceTwips below the top margin on every page. The note's document is not
// touched; a copy is laid out for the page. Returns false with a reason when the job failed.
bool PrintRichText(QPrinter &printer, const QTextDocument &note, const QString &headingLine,
                   const PrintMargins &margins, QString *error = nullptr, const PrintProgress &progress = {});
