#include "HelpWindow.h"
#include "Platform.h"
#include "Quillbox.h"
#include "TrayIcon.h"
#include "Wiring.h"
#include "frmAbout.h"

#include <QAction>
#include <QApplication>

namespace {
// Where the About box's links lead.
const QString kMakerWebSite = QStringLiteral("https://quillbox.vek.example/");
const QString kMakerSupportEmail = QStringLiteral("support@vek.example");

AboutLinks aboutLinks(Quillbox &window)
{
    Launcher *launcher = window.platform().launcher.get();
    AboutLinks links;
    links.webSite = kMakerWebSite;
    links.supportEmail = kMakerSupportEmail;
    links.openWebSite = [launcher](QWidget *, const QString &site) {
        if (launcher)
            launcher->shellOpen(site);
    };
    links.composeEmail = [launcher](QWidget *, const QString &address) {
        if (launcher)
            launcher->shellOpen(QStringLiteral("mailto:") + address);
    };
    return links;
}
} // namespace

void wireTrayAndHelp(Quillbox &window)
{
    const QIcon icon = TrayIcon::programIcon();
    QApplication::setWindowIcon(icon);
    window.setWindowIcon(icon);

    const auto showAbout = [&window] { ShowAbout(&window, aboutLinks(window)); };
    const auto showHelp = [&window] {
        Launcher *launcher = window.platform().launcher.get();
        ShowHelpContents(&window, [launcher](const QUrl &link) {
            if (launcher)
                launcher->shellOpen(link.toString());
        });
    };

    if (QAction *contents = window.menuItem(QStringLiteral("helpcontents")))
        QObject::connect(contents, &QAction::triggered, &window, showHelp);
    if (QAction *about = window.menuItem(QStringLiteral("about")))
        QObject::connect(about, &QAction::triggered, &window, showAbout);
}
