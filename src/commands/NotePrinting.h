#pragma once

#include <QPrinter>
#include <QString>

#include <functional>
#include <memory>

class NoteWindow;
class RichTextBox;

// Print Current Tab and Print All Tabs: each printed tab is one job on the default printer,
// without a printer dialog, headed with the tab's caption on its first page.
class NotePrinting final
{
public:
    // Hands out a printer ready for one job, or nullptr with the reason.
    using PrinterSource = std::function<std::unique_ptr<QPrinter>(QString *error)>;

    explicit NotePrinting(NoteWindow &window, PrinterSource source = &defaultPrinter);

    void PrintCurrentTab();
    // Every tab of the tab strip in its order; hidden tabs are not in the strip.
    void PrintAllTabs();

    // The system's default printer. A printer that is not really there is refused here: a bare
    // QPrinter would quietly write a PDF file instead, and the user would wait for paper.
    static std::unique_ptr<QPrinter> defaultPrinter(QString *error);

private:
    // False when the user cancelled: a Print All Tabs stops there.
    bool printNote(RichTextBox *box, const QString &caption);

    NoteWindow &m_window;
    PrinterSource m_source;
};
