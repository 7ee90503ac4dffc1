#include "Platform.h"
#include "Quillbox.h"
#include "SettingsStore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox Plus"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox Plus"));
    SettingsStore settings;
    Platform platform = Platform::createNative();
    Quillbox window(settings, platform);
    window.show();
    return app.exec();
}
