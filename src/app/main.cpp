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
    // The name only: a display name would make Qt append it to every window's title.
    QApplication::setApplicationName(QStringLiteral("Quillbox Plus"));
    // Hiding to the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // Installed first so that no request is lost; it is acted on once the window exists, as
    // nothing reads it before the first event loop.
    UnixSignals *unixSignals = UnixSignals::install();

    SettingsStore settings;
    SingleInstance instance(settings.path());
    if (!instance.claim())
        return 0;

    Platform platform = Platform::createNative();
    Quillbox window(settings, platform);

    // A request to end runs the shutdown, which during start-up ends start-up writing nothing.
    if (unixSignals)
        QObject::connect(unixSignals, &UnixSignals::terminationRequested, &window, &Quillbox::shutdown);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &Quillbox::shutdown);
    // A session checkpoint ("save session" without logging out) writes the notes and runs on;
    // the end of the session closes the window, which runs the shutdown.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.commitData(); });
    // A later start during start-up is answered once start-up is over.
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &Quillbox::comeForward);

    if (!window.startUp()) {
        // Asked to end during start-up: a normal end. A refused password is not.
        return window.endedDuringStartUp() ? 0 : 1;
    }
    window.setQuitsOnShutdown(true);
    window.showAsStarted();
    return app.exec();
}
