#include "RunDialog.h"

#include "Dialogs.h"
#include "RunCommand.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RunDialog::RunDialog(Launcher &launcher, QWidget *parent) : QDialog(parent), m_launcher(launcher)
{
    setObjectName(QStringLiteral("RunDialog"));
    setWindowTitle(QStringLiteral("Run..."));
    setModal(false);

    auto *label1 = new QLabel(QStringLiteral("Command Line:"), this);
    auto *label2 = new QLabel(QStringLiteral("(Be Sure to Specify the Complete Path)"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    label1->setBuddy(m_text);
    auto *browseButton = new QPushButton(QStringLiteral("&Browse"), this);
    browseButton->setObjectName(QStringLiteral("Command3"));
    browseButton->setAutoDefault(false);
    auto *runButton = new QPushButton(QStringLiteral("&Run"), this);
    runButton->setObjectName(QStringLiteral("Command2"));
    runButton->setDefault(true);
    m_minimized = new QCheckBox(QStringLiteral("Run &Minimized"), this);
    m_minimized->setObjectName(QStringLiteral("Check1"));
    auto *cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Command1"));
    cancelButton->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(label2, 0, 1, 1, 2, Qt::AlignRight);
    grid->addWidget(m_text, 1, 0, 1, 3);
    grid->addWidget(browseButton, 2, 0);
    grid->addWidget(runButton, 2, 2);
    grid->addWidget(m_minimized, 3, 0, 1, 2);
    grid->addWidget(cancelButton, 3, 2);
    m_failure = new QLabel(this);
    m_failure->setObjectName(QStringLiteral("RunFailure"));
    m_failure->setWordWrap(true);
    m_failure->hide();
    grid->addWidget(m_failure, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    m_text->setMinimumWidth(320); // about the classic 4815 twips

    connect(browseButton, &QPushButton::clicked, this, &RunDialog::browse);
    connect(runButton, &QPushButton::clicked, this, &RunDialog::runNow);
    connect(cancelButton, &QPushButton::clicked, this, &RunDialog::reject);
}

void RunDialog::browse()
{
    // Programs on Linux carry no file-name ending that a filter could pick them by.
    const QString chosen = Dialogs::openFileName(this, QStringLiteral("Select a File to Run"), QString(),
                                                 QStringLiteral("All Files (*)"));
    if (!chosen.isEmpty())
        m_text->setText(chosen);
}

void RunDialog::runNow()
{
    const Launcher::Show show = m_minimized->isChecked() ? Launcher::Show::Minimized : Launcher::Show::Normal;
    if (RunCommand::run(m_launcher, m_text->text(), show) == RunCommand::Outcome::Failed) {
        // Told here, where the command line can be mended; nothing else would show it.
        m_failure->setText(
            QStringLiteral("\"%1\" could not be started or opened.").arg(m_text->text().trimmed()));
        m_failure->show();
        m_text->setFocus();
        m_text->selectAll();
        return;
    }
    // Run ends this dialog's life: the next opening starts empty and unticked.
    hide();
    deleteLater();
}

void RunDialog::reject()
{
    hide();
}
