#include "Platform.h"
#include "Quillbox.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "UnixSignals.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    // On Wayland no program may place its window, keep it on top or send keystrokes, and our
    // users rely on all three, so we run through XWayland unless the user chose a platform.
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillbox Plus"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox Plus"));
    // Hiding to the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SettingsStore settings;
    SingleInstance instance(settings.path());
    if (!instance.claim())
        return 0;

    Platform platform = Platform::createNative();
    Quillbox window(settings, platform);
    if (!window.startUp())
        return 1; // the password was not given: end at once, writing nothing

    window.setQuitsOnShutdown(true);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &Quillbox::bringBack);
    // Logging out, a system shutdown and a terminal's end run the same shutdown as Exit.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.shutdown(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &Quillbox::shutdown);
    if (UnixSignals *unixSignals = UnixSignals::install())
        QObject::connect(unixSignals, &UnixSignals::terminationRequested, &window, &Quillbox::shutdown);

    window.showAsStarted();
    return app.exec();
}
