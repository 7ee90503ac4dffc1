#include "PrintProgressDialog.h"

#include <QCoreApplication>

namespace {
// A short job ends before the dialog would appear.
constexpr int kShowAfterMs = 400;
} // namespace

PrintProgressDialog::PrintProgressDialog(QWidget *parent, const QString &caption)
    : QProgressDialog(parent), m_caption(caption)
{
    setObjectName(QStringLiteral("PrintProgress"));
    setWindowTitle(QStringLiteral("Quillbox Plus"));
    // Application-wide: neither the tray menu nor a second print can reach in while a job runs.
    setWindowModality(Qt::ApplicationModal);
    setMinimumDuration(kShowAfterMs);
    setCancelButtonText(QStringLiteral("Cancel"));
    setAutoReset(false);
    setAutoClose(false);
    setLabelText(QStringLiteral("Printing \"%1\"...").arg(caption));
}

bool PrintProgressDialog::pageDone(int page, int pageCount)
{
    if (wasCanceled())
        return false;
    setMaximum(std::max(1, pageCount));
    if (page > 0)
        setLabelText(
            QStringLiteral("Printing \"%1\": page %2 of %3").arg(m_caption).arg(page).arg(pageCount));
    setValue(page);
    // Until the dialog shows, keep the windows painted without letting the user start anything.
    if (!isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return !wasCanceled();
}
