#include "Platform.h"
#include "Quillbox.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "SplashScreen.h"
#include "UnixSignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>

namespace {
// --help and --version are answered without a display and without touching any setting: the
// window's application is never made for them.
bool onlyAsksForAnAnswer(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v" || arg == "--help-all")
            return true;
    }
    return false;
}

int answer(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillbox"));
    QCoreApplication::setApplicationVersion(ProgramVersion);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillbox Plus: seven tabbed rich-text notes at hand from the notification area.\n"
                       "Started again while running, it brings the running window forward."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app); // prints and exits
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    if (onlyAsksForAnAnswer(argc, argv))
        return answer(argc, argv);

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
