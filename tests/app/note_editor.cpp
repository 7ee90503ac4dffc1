// The main window in a process of its own, driven line by line on stdin as a person would use it:
//   type <n> <text>   types text at the end of note n
//   steady <n> <ms>   from now on types one more "x" at the end of note n every ms milliseconds
//   save <n>          leaves note n (the save point that writes it)
//   text <n>          prints note n's text on one line, line breaks as "\n"
//   shown             prints each message and notice shown so far on one line
//   quit              runs the shutdown and ends
// Each command answers "ok" (or its output, then "ok"). Messages never block; with --yes every
// question is answered Yes. The settings come from XDG_CONFIG_HOME as in the program.
#include "Dialogs.h"
#include "Quillbox.h"
#include "RichTextBox.h"
#include "SettingsStore.h"
#include "fake/FakePlatform.h"

#include <QApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextCursor>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {
void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox Plus"));
    Dialogs::setNeverBlock(true);
    if (app.arguments().contains(QStringLiteral("--yes"))) {
        for (int i = 0; i < 10; ++i)
            Dialogs::queueButton(QMessageBox::Yes);
    }

    SettingsStore settings;
    FakePlatform fakes;
    Platform platform = fakes.make();
    Quillbox window(settings, platform);
    if (!window.startUp())
        return 1;
    window.show();
    say(QStringLiteral("ready"));

    QFile in;
    if (!in.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 2;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        QString line = QString::fromUtf8(in.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        const int n = line.section(QLatin1Char(' '), 1, 1).toInt();
        RichTextBox *box = window.editor(n);
        if (command == QLatin1String("type") && box) {
            QTextCursor cursor = box->textCursor();
            cursor.movePosition(QTextCursor::End);
            box->setTextCursor(cursor);
            box->insertPlainText(line.section(QLatin1Char(' '), 2));
        } else if (command == QLatin1String("steady") && box) {
            auto *typist = new QTimer(&window);
            QObject::connect(typist, &QTimer::timeout, box, [box] {
                QTextCursor cursor = box->textCursor();
                cursor.movePosition(QTextCursor::End);
                box->setTextCursor(cursor);
                box->insertPlainText(QStringLiteral("x"));
            });
            typist->start(line.section(QLatin1Char(' '), 2, 2).toInt());
        } else if (command == QLatin1String("save") && box) {
            emit box->LostFocus();
        } else if (command == QLatin1String("text") && box) {
            say(oneLine(box->Text()));
        } else if (command == QLatin1String("shown")) {
            for (const Dialogs::Shown &shown : Dialogs::shown())
                say(oneLine(shown.text));
            for (const QString &notice : window.notices())
                say(oneLine(notice));
        } else if (command == QLatin1String("quit") || line.isEmpty()) { // also the end of input
            notifier.setEnabled(false);
            window.shutdown();
            say(QStringLiteral("ok"));
            app.quit();
            return;
        }
        say(QStringLiteral("ok"));
    });
    return app.exec();
}
