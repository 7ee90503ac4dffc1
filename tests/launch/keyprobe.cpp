// A stand-in for another program's window: a line edit that takes the focus and writes what it
// received to the file named by its first argument (or $KEYPROBE_OUT) whenever the text changes.
// A key pressed with Alt is written as "[Alt+N]", so a test sees that Alt was held.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTimer>

namespace {
class AltRecorder final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->modifiers().testFlag(Qt::AltModifier) || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Shift
            || key->key() == Qt::Key_Control)
            return false;
        auto *edit = static_cast<QLineEdit *>(watched);
        edit->insert(QStringLiteral("[Alt+%1]").arg(QKeySequence(key->key()).toString()));
        return true;
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("KEYPROBE_OUT");
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("keyprobe"));
    AltRecorder altRecorder;
    edit.installEventFilter(&altRecorder);
    const auto save = [&edit, out](const QString &suffix) {
        QFile f(out);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write((edit.text() + suffix).toUtf8());
    };
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [save] { save(QString()); });
    QObject::connect(&edit, &QLineEdit::returnPressed, &app, [save] {
        save(QStringLiteral("\n"));
        QCoreApplication::quit();
    });
    edit.show();
    // With no window manager in the test display nobody else hands us the focus.
    QTimer::singleShot(50, &edit, [&edit] {
        edit.activateWindow();
        edit.setFocus();
    });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
