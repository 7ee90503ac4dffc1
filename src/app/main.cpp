#include "Quillbox.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox Plus"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox Plus"));
    Quillbox window;
    window.show();
    return app.exec();
}
