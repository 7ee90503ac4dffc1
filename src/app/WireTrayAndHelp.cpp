#include "HelpWindow.h"
#include "Launchers.h"
#include "MakerAddresses.h"
#include "Platform.h"
#include "Quillbox.h"
#include "TrayIcon.h"
#include "Wiring.h"
#include "AboutBox.h"

#include <QAction>
#include <QApplication>

void wireTrayAndHelp(Quillbox &window)
{
    // The help window and the About box carry the program's icon as well.
    QApplication::setWindowIcon(TrayIcon::programIcon());

    Platform &platform = window.platform();
    Launcher *launcher = platform.launcher.get();

    // The About links go through the same launch rules as the Applications menu, with no setup
    // prompt: a link that cannot be opened simply does nothing.
    AboutLinks links;
    links.webSite = MakerAddresses::aboutPage();
    links.webSiteTitle = QStringLiteral("the manual's About page");
    links.supportEmail = MakerAddresses::supportEmail();
    if (launcher && platform.keys) {
        auto *launchers = new Launchers(window.settings(), *launcher, *platform.keys, &window);
        links.openWebSite = [launchers](QWidget *owner, const QString &site) {
            launchers->OpenWebAddress(owner, site, false, Launchers::Failure::Silent);
        };
        links.composeEmail = [launchers](QWidget *owner, const QString &address) {
            launchers->ComposeEmail(owner, address, false, Launchers::Failure::Silent);
        };
    }
    const auto showAbout = [&window, links] { ShowAbout(&window, links); };

    // Links in the manual that lead outside it open with the desktop's own handlers.
    const auto showHelp = [&window, launcher] {
        ShowHelpContents(&window, [launcher](const QUrl &link) {
            if (launcher)
                launcher->shellOpen(link.toString());
        });
    };

    if (QAction *contents = window.menuItem(QStringLiteral("helpcontents")))
        QObject::connect(contents, &QAction::triggered, &window, showHelp);
    if (QAction *about = window.menuItem(QStringLiteral("about")))
        QObject::connect(about, &QAction::triggered, &window, showAbout);
    if (TrayIcon *tray = window.trayIcon())
        QObject::connect(tray, &TrayIcon::aboutRequested, &window, showAbout);
}
