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

    // Logging out, a system shutdown and a terminal's end run the same shutdown as Exit. The
    // handlers go in first, so that a request during start-up is not lost: it ends the program
    // as soon as the window is there to shut down.
    Quillbox *running = nullptr;
    bool endRequested = false;
    if (UnixSignals *unixSignals = UnixSignals::install()) {
        QObject::connect(unixSignals, &UnixSignals::terminationRequested, &app, [&running, &endRequested] {
            if (running)
                running->shutdown();
            else
                endRequested = true;
        });
    }

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
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.shutdown(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &Quillbox::shutdown);
    running = &window;
    if (endRequested) {
        window.shutdown();
        return 0;
    }

    window.showAsStarted();
    return app.exec();
}
