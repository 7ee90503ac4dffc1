#include "NotePrinting.h"

#include "Dialogs.h"
#include "NoteCommandsLog.h"
#include "NoteTab.h"
#include "NoteWindow.h"
#include "PrintProgressDialog.h"
#include "PrintRichText.h"
#include "RichTextBox.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabBar>
#include <QWidget>

namespace {

// Shows "Quillbox Plus - Printing" in the window's title for as long as it lives; printing holds
// the user interface until the spooler has the job, and the title says why.
class PrintingTitle final
{
public:
    explicit PrintingTitle(QWidget *window) : m_window(window)
    {
        if (!m_window)
            return;
        m_saved = m_window->windowTitle();
        m_window->setWindowTitle(QStringLiteral("Quillbox Plus - Printing"));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~PrintingTitle()
    {
        if (m_window)
            m_window->setWindowTitle(m_saved.isEmpty() ? QStringLiteral("Quillbox Plus") : m_saved);
    }
    PrintingTitle(const PrintingTitle &) = delete;
    PrintingTitle &operator=(const PrintingTitle &) = delete;

private:
    QWidget *m_window;
    QString m_saved;
};

} // namespace

NotePrinting::NotePrinting(NoteWindow &window, PrinterSource source)
    : m_window(window), m_source(std::move(source))
{
}

std::unique_ptr<QPrinter> NotePrinting::defaultPrinter(QString *error)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (error)
            *error = QStringLiteral("no default printer");
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat) {
        if (error)
            *error = QStringLiteral("the default printer cannot be used");
        return nullptr;
    }
    return printer;
}

bool NotePrinting::printNote(RichTextBox *box, const QString &caption)
{
    QString error;
    bool printed = false;
    PrintProgressDialog progress(m_window.window(), caption);
    if (box) {
        if (auto printer = m_source(&error)) {
            // The job's name in the print queue, and the file name when printing to a file.
            printer->setDocName(QStringLiteral("Quillbox Plus - ") + caption);
            const QString heading = printHeadingLine(caption, QDate::currentDate(), QLocale::system());
            printed = PrintRichText(
                *printer, *box->document(), heading, PrintMargins{}, &error,
                [&progress](int page, int pageCount) { return progress.pageDone(page, pageCount); });
        }
    } else {
        error = QStringLiteral("no editor for the tab");
    }
    if (progress.wasCanceled()) {
        qCInfo(lcNoteCommands) << "printing cancelled";
        return false;
    }
    if (!printed) {
        qCWarning(lcNoteCommands) << "printing failed:" << error;
        Dialogs::message(m_window.window(), QStringLiteral("Quillbox Plus"),
                         QStringLiteral("Unexpected Error in printing"), QMessageBox::Warning,
                         QMessageBox::Ok);
    }
    return true;
}

void NotePrinting::PrintCurrentTab()
{
    const PrintingTitle title(m_window.window());
    const QTabBar *strip = m_window.tabStrip();
    const QString caption = strip && strip->currentIndex() >= 0
                                ? NoteTabs::captionFromStrip(strip->tabText(strip->currentIndex()))
                                : QString();
    printNote(m_window.ActiveEditor(), caption);
}

void NotePrinting::PrintAllTabs()
{
    const PrintingTitle title(m_window.window());
    const QTabBar *strip = m_window.tabStrip();
    if (!strip)
        return;
    for (int index = 0; index < strip->count(); ++index) {
        // Tabs go by the note number they carry, never by their position.
        bool isNumber = false;
        const int n = strip->tabData(index).toString().trimmed().toInt(&isNumber);
        if (!isNumber || n < 1 || n > 7 || m_window.isSealed(n))
            continue;
        if (!printNote(m_window.editor(n), NoteTabs::captionFromStrip(strip->tabText(index))))
            return;
    }
}
