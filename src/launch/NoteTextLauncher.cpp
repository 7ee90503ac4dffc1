#include "NoteTextLauncher.h"

#include "Dialogs.h"
#include "Launchers.h"
#include "NoteAddress.h"
#include "RichTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>

namespace {

enum NoteTab { WebTab = 2, MailTab = 3, PhoneTab = 4 };

const QString &lineBreaks()
{
    static const QString breaks = QStringLiteral("\r\n");
    return breaks;
}

// Trims the selection to the address inside it, so the copy and the launch leave out the
// brackets and the full stop of the sentence around it.
void narrowToAddress(RichTextBox &box)
{
    const QString item = box.SelText();
    const NoteAddress::Range core = NoteAddress::core(item);
    if (core.start == 0 && core.length == item.size())
        return;
    const int start = box.SelStart() + core.start;
    box.setSelStart(start);
    box.setSelLength(core.length);
}

// In the web, e-mail and phone tabs an address or number is taken whole, even where it holds the
// tab's delimiters: a hyphen in a host name, blanks and hyphens in a phone number.
void widenToWholeItem(RichTextBox &box, int tab)
{
    const int start = box.SelStart();
    const QTextBlock line = box.document()->findBlock(start);
    const int at = start - line.position();
    std::optional<NoteAddress::Range> whole;
    if (tab == PhoneTab)
        whole = NoteAddress::phoneNumberAround(line.text(), at);
    else
        whole = NoteAddress::addressAround(
            line.text(), at, tab == MailTab ? NoteAddress::AddressKind::Mail : NoteAddress::AddressKind::Web);
    if (!whole)
        return;
    box.setSelStart(line.position() + whole->start);
    box.setSelLength(whole->length);
}

} // namespace

NoteTextLauncher::NoteTextLauncher(Launchers &launchers) : m_launchers(launchers)
{
}

QString NoteTextLauncher::delimiters(int tab)
{
    switch (tab) {
    case WebTab:
    case MailTab:
        return QStringLiteral(" -;") + lineBreaks();
    case PhoneTab:
        return QStringLiteral(" ;") + lineBreaks();
    default:
        return QStringLiteral(" /\\:.!?-;") + lineBreaks();
    }
}

void NoteTextLauncher::SelectDelimitedItem(RichTextBox &box, const QString &delimiters)
{
    box.UpTo(delimiters, false, false);
    box.Span(delimiters, true, true);
}

void NoteTextLauncher::CopySelectionToClipboard(const RichTextBox &box)
{
    QGuiApplication::clipboard()->setMimeData(box.selectionMimeData());
}

void NoteTextLauncher::launchFromNote(QWidget *owner, RichTextBox &box, int tab)
{
    SelectDelimitedItem(box, delimiters(tab));
    if (tab == WebTab || tab == MailTab || tab == PhoneTab)
        widenToWholeItem(box, tab);
    if (tab == WebTab || tab == MailTab)
        narrowToAddress(box);

    if (tab == MailTab && !box.SelText().contains(QLatin1Char('@'))) {
        const auto answer = Dialogs::message(
            owner, QStringLiteral("Continue?"),
            QStringLiteral("The e-mail address you clicked on does not contain the standard @ symbol, and "
                           "thus may not be recognized by your e-mail program. Do you wish to continue?"),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }

    CopySelectionToClipboard(box);

    const QString item = box.SelText();
    switch (tab) {
    case WebTab:
        openWebItem(owner, item);
        break;
    case MailTab:
        composeToItem(owner, item);
        break;
    case PhoneTab:
        dialItem(owner, item);
        break;
    default:
        break;
    }
}

void NoteTextLauncher::openWebItem(QWidget *owner, const QString &item)
{
    if (item.trimmed().isEmpty())
        return;
    const std::optional<QString> url = NoteAddress::webUrl(item);
    if (!url) {
        m_launchers.showStatus(QObject::tr("Copied, but not opened: only web addresses are opened from this tab."));
        return;
    }
    // The desktop's handler needs a full address; a browser of the user's own takes the text as written.
    m_launchers.OpenWebAddress(owner, m_launchers.systemHandlerMode() ? *url : item, true);
}

void NoteTextLauncher::composeToItem(QWidget *owner, const QString &item)
{
    if (item.trimmed().isEmpty())
        return;
    if (!NoteAddress::isMailAddress(item)) {
        m_launchers.showStatus(QObject::tr("Copied, but not opened: only e-mail addresses are opened from this tab."));
        return;
    }
    // ComposeEmail puts "mailto:" in front for the desktop's handler, so a note's own one goes.
    m_launchers.ComposeEmail(owner, m_launchers.systemHandlerMode() ? NoteAddress::withoutMailtoPrefix(item) : item,
                             true);
}

void NoteTextLauncher::dialItem(QWidget *owner, const QString &item)
{
    if (item.trimmed().isEmpty())
        return;
    // The dialer is sent the item as keystrokes: anything but a number (a word, an option from
    // a note someone else wrote) would be typed into it as keys that mean nothing to it.
    if (!NoteAddress::isPhoneNumber(item)) {
        m_launchers.showStatus(
            QObject::tr("Copied, but not dialled: only phone numbers are dialled from this tab."));
        return;
    }
    m_launchers.DialNumber(owner, item);
}
