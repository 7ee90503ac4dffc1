#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QInputDialog;
class QWidget;

// Every message box, input box and file dialog of the program goes through here, so that a test
// can queue the next answers and read what was shown instead of blocking on a modal dialog.
namespace Dialogs {

QMessageBox::StandardButton message(QWidget *parent, const QString &title, const QString &text,
                                    QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A one-line input box; Cancel gives the empty string. A masked box hides what is typed.
QString input(QWidget *parent, const QString &title, const QString &prompt, bool masked = false);
// The input box that input() shows, built but not shown (the caller owns it).
QInputDialog *inputBox(QWidget *parent, const QString &title, const QString &prompt, bool masked);

// File dialogs; an empty result means the user cancelled.
QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                     const QString &defaultSuffix);
QString directory(QWidget *parent, const QString &caption, const QString &dir);

// The program is ending before its window was ever shown: every open dialog closes unanswered
// and none shows from now on. message() then answers NoButton, the others the empty string.
void closeAll();
bool allClosed();

// Test seams. Queued answers are used first, in order; with none queued the real dialog shows.
struct Shown
{
    QString kind; // "message", "input", "open", "save", "directory"
    QString title;
    QString text;
};
void queueButton(QMessageBox::StandardButton answer);
void queueText(const QString &answer);     // for input boxes; empty means Cancel
void queueFileName(const QString &answer); // for file and directory dialogs; empty means Cancel
QList<Shown> shown();                      // what was shown since the last clearSeams()
void clearSeams();                         // also lets dialogs show again after closeAll()
// When set, a dialog shown with nothing queued fails the call instead of blocking (tests).
void setNeverBlock(bool on);

} // namespace Dialogs
