#include "Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QQueue>

#include <memory>

namespace {
struct Seams
{
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<QString> texts;
    QQueue<QString> files;
    QList<Dialogs::Shown> shown;
    bool neverBlock = false;
    bool closed = false; // the program is ending: no dialog shows any more
};

Seams &seams()
{
    static Seams s;
    return s;
}
// Our questions and file dialogs come above every window of ours, the stay-on-top ones (the Find
// and Replace dialog, a main window kept on top) included: a question hidden behind one of them
// shows only part of its buttons.
void keepAboveOurWindows(QWidget *dialog)
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window != dialog && window->isVisible() &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            return;
        }
    }
}
} // namespace

namespace Dialogs {

QMessageBox::StandardButton message(QWidget *parent, const QString &title, const QString &text,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    auto &s = seams();
    if (s.closed)
        return QMessageBox::NoButton;
    s.shown.append({QStringLiteral("message"), title, text});
    if (!s.buttons.isEmpty())
        return s.buttons.dequeue();
    if (s.neverBlock)
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    QMessageBox box(icon, title, text, buttons, parent);
    keepAboveOurWindows(&box);
    const int answer = box.exec();
    return s.closed ? QMessageBox::NoButton : static_cast<QMessageBox::StandardButton>(answer);
}

QString input(QWidget *parent, const QString &title, const QString &prompt, bool masked)
{
    auto &s = seams();
    if (s.closed)
        return {};
    s.shown.append({QStringLiteral("input"), title, prompt});
    if (!s.texts.isEmpty())
        return s.texts.dequeue();
    if (s.neverBlock)
        return {};
    const std::unique_ptr<QInputDialog> box(inputBox(parent, title, prompt, masked));
    keepAboveOurWindows(box.get());
    return box->exec() == QDialog::Accepted && !s.closed ? box->textValue() : QString();
}

QInputDialog *inputBox(QWidget *parent, const QString &title, const QString &prompt, bool masked)
{
    auto *box = new QInputDialog(parent);
    box->setObjectName(QStringLiteral("InputBox"));
    box->setWindowTitle(title);
    box->setLabelText(prompt);
    box->setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    box->setInputMode(QInputDialog::TextInput);
    // Wide enough for the whole title beside the window manager's buttons: a long title such as
    // the password question's would otherwise be cut short on the title bar. The box sizes itself
    // to its layout, so the width is asked of the text field.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + 8 * box->fontMetrics().height();
    if (QLineEdit *field = box->findChild<QLineEdit *>()) {
        field->setMinimumWidth(titleWidth);
        field->setAccessibleName(prompt);
    }
    return box;
}

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    auto &s = seams();
    if (s.closed)
        return {};
    s.shown.append({QStringLiteral("open"), caption, dir});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    keepAboveOurWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || s.closed || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                     const QString &defaultSuffix)
{
    auto &s = seams();
    if (s.closed)
        return {};
    s.shown.append({QStringLiteral("save"), caption, suggested});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    // The folder and the name apart: a suggested name in a folder that does not exist would
    // otherwise be taken as relative to the working directory.
    const QFileInfo proposal(suggested);
    QString folder = proposal.absolutePath();
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.selectFile(proposal.fileName());
    keepAboveOurWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || s.closed || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString directory(QWidget *parent, const QString &caption, const QString &dir)
{
    auto &s = seams();
    if (s.closed)
        return {};
    s.shown.append({QStringLiteral("directory"), caption, dir});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    QFileDialog dialog(parent, caption, dir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    keepAboveOurWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || s.closed || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void closeAll()
{
    seams().closed = true;
    // Innermost first; each one's event loop ends as it closes.
    for (int guard = 0; guard < 100; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

bool allClosed()
{
    return seams().closed;
}

void queueButton(QMessageBox::StandardButton answer)
{
    seams().buttons.enqueue(answer);
}

void queueText(const QString &answer)
{
    seams().texts.enqueue(answer);
}

void queueFileName(const QString &answer)
{
    seams().files.enqueue(answer);
}

QList<Shown> shown()
{
    return seams().shown;
}

void clearSeams()
{
    auto &s = seams();
    s.buttons.clear();
    s.texts.clear();
    s.files.clear();
    s.shown.clear();
    s.closed = false;
}

void setNeverBlock(bool on)
{
    seams().neverBlock = on;
}

} // namespace Dialogs
