#include "Dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QQueue>

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
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, prompt,
                                                 masked ? QLineEdit::Password : QLineEdit::Normal, {}, &ok);
    return ok ? answer : QString();
}

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    auto &s = seams();
    s.shown.append({QStringLiteral("open"), caption, dir});
    if (!s.files.isEmpty())
        return s.files.dequeue();
    if (s.neverBlock)
        return {};
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
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
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.selectFile(suggested);
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
    return QFileDialog::getExistingDirectory(parent, caption, dir);
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
