#pragma once

#include <QProgressDialog>

// Shown while a note is printed: the tab, the page and Cancel. Between pages the program goes on
// painting its windows and running its timers, so a long job does not freeze it; the dialog is
// modal, so nothing else can start meanwhile.
class PrintProgressDialog final : public QProgressDialog
{
public:
    PrintProgressDialog(QWidget *parent, const QString &caption);

    // Called after the note is laid out (page 0) and after each page; false once the user
    // cancelled.
    bool pageDone(int page, int pageCount);

private:
    QString m_caption;
};
