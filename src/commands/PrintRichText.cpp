#include "PrintRichText.h"

#include "NoteCommandsLog.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>
#include <memory>

namespace {

constexpr double kTwipsPerInch = 1440.0;

// The heading's own size: small enough that its line fits the space above the text.
constexpr double kHeadingPointSize = 10.0;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

PrintPageGeometry printPageGeometry(const QSizeF &paperPixels, double dpiX, double dpiY,
                                    const PrintMargins &margins)
{
    const double left = margins.left * dpiX / kTwipsPerInch;
    const double right = paperPixels.width() - margins.right * dpiX / kTwipsPerInch;
    const double top = margins.top * dpiY / kTwipsPerInch;
    const double textTop = top + kHeadingSpaceTwips * dpiY / kTwipsPerInch;
    const double bottom = paperPixels.height() - margins.bottom * dpiY / kTwipsPerInch;

    PrintPageGeometry geometry;
    geometry.heading = QRectF(QPointF(left, top), QPointF(right, textTop));
    geometry.body = QRectF(QPointF(left, textTop), QPointF(right, bottom));
    return geometry;
}

QString printHeadingLine(const QString &caption, const QDate &today, const QLocale &locale)
{
    return QStringLiteral("Vek Quillbox Plus - %1     %2 ")
        .arg(caption, locale.toString(today, QLocale::LongFormat));
}

bool PrintRichText(QPrinter &printer, const QTextDocument &note, const QString &headingLine,
                   const PrintMargins &margins, QString *error, const PrintProgress &progress)
{
    // Paper coordinates: the margins count from the paper's edge, not from the printable area.
    printer.setFullPage(true);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const PrintPageGeometry page =
        printPageGeometry(paper.size(), printer.logicalDpiX(), printer.logicalDpiY(), margins);
    if (page.body.width() < 1 || page.body.height() < 1) {
        setError(error, QStringLiteral("The paper is too small for the margins."));
        return false;
    }

    // A copy laid out for the printer, so the note on screen keeps its layout and nothing the
    // printer does can change the note.
    std::unique_ptr<QTextDocument> copy(note.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    copy->setPageSize(page.body.size());
    const int pageCount = std::max(1, copy->pageCount());
    const auto goOn = [&](int printed) { return !progress || progress(printed, pageCount); };
    if (!goOn(0)) {
        setError(error, QStringLiteral("The printing was cancelled."));
        return false;
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, QStringLiteral("The printer did not accept the job."));
        return false;
    }

    QFont headingFont = painter.font();
    headingFont.setPointSizeF(kHeadingPointSize);
    painter.setFont(headingFont);
    const QFontMetricsF metrics(painter.font());
    painter.setPen(Qt::black);
    painter.drawText(page.heading, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     metrics.elidedText(headingLine, Qt::ElideRight, page.heading.width()));

    for (int index = 0; index < pageCount; ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            setError(error, QStringLiteral("The printer could not start page %1.").arg(index + 1));
            return false;
        }
        // The slice of the laid-out note that belongs on this page.
        const QRectF slice(0, index * page.body.height(), page.body.width(), page.body.height());
        painter.save();
        painter.translate(page.body.left(), page.body.top() - slice.top());
        painter.setClipRect(slice);
        QAbstractTextDocumentLayout::PaintContext context;
        // Lines that only touch the slice's edges belong to the neighbouring page; drawn here too
        // they would be hidden by the clip yet still sit in the job as invisible text.
        context.clip = slice.adjusted(0, 1, 0, -1);
        // Text without a colour of its own prints black, whatever the desktop theme.
        context.palette.setColor(QPalette::Text, Qt::black);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
        if (!goOn(index + 1)) {
            printer.abort(); // what the spooler has not taken yet is dropped
            painter.end();
            setError(error, QStringLiteral("The printing was cancelled."));
            return false;
        }
    }

    if (!painter.end() || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        setError(error, QStringLiteral("The printer reported an error."));
        return false;
    }
    qCDebug(lcNoteCommands) << "printed" << pageCount << "page(s)";
    return true;
}
