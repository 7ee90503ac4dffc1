#include "Dialogs.h"

#include <QApplication>
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
    s.shown.append({QStringLiteral("message"), title, text});
    if (!s.buttons.isEmpty())
        return s.buttons.dequeue();
    if (s.neverBlock)
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    QMessageBox box(icon, title, text, buttons, parent);
    keepAboveOurWindows(&box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString input(QWidget *parent, const QString &title, const QString &prompt, bool masked)
{
    auto &s = seams();
    s.shown.append({QStringLiteral("input"), title, prompt});
    if (!s.texts.isEmpty())
        return s.texts.dequeue();
    if (s.neverBlock)
        return {};
    const std::unique_ptr<QInputDialog> box(inputBox(parent, title, prompt, masked));
    keepAboveOurWindows(box.get());
    return box->exec() == QDialog::Accepted ? box->textValue() : QString();
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
    // The desktop shows the program's name after a dialog's own title, as Qt asks it to.
    const QString appName = QGuiApplication::applicationDisplayName();
    const QString shown =
        appName.isEmpty() || title == appName ? title : title + QStringLiteral(" \u2014 ") + appName;
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(shown) + 8 * box->fontMetrics().height();
    if (QLineEdit *field = box->findChild<QLineEdit *>()) {
        field->setMinimumWidth(titleWidth);
        field->setAccessibleName(prompt);
    }
    return box;
}

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    auto &s = seams();
    s.shown.append({QStringLiteral("open"), caption, dir});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    keepAboveOurWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter,
                     const QString &defaultSuffix)
{
    auto &s = seams();
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString directory(QWidget *parent, const QString &caption, const QString &dir)
{
    auto &s = seams();
    s.shown.append({QStringLiteral("directory"), caption, dir});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    QFileDialog dialog(parent, caption, dir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    keepAboveOurWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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
}

void setNeverBlock(bool on)
{
    seams().neverBlock = on;
}

} // namespace Dialogs
