#include "HelpWindow.h"

#include "FileHelpers.h"
#include "ProgramPlaces.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

Q_LOGGING_CATEGORY(lcHelp, "quillbox.help")

namespace {
const QString kTitle = QStringLiteral("Quillbox Plus Help");

bool isManualPage(const QUrl &url)
{
    return url.isLocalFile() || url.scheme().isEmpty();
}
} // namespace

HelpWindow::HelpWindow(OutsideLinkOpener openOutside, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_openOutside(std::move(openOutside)),
      m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    setCentralWidget(m_browser);
    // Every link passes through followLink, so nothing outside the manual is ever loaded here.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);

    QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("helpNavigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"));
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("&Forward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_contents = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("&Contents"));
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QAction::triggered, this, [this] { showPage(m_home); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::updateTitle);

    resize(760, 600);
}

void HelpWindow::showPage(const QUrl &page)
{
    if (m_home.isEmpty())
        m_home = page;
    m_browser->setSource(page);
}

QUrl HelpWindow::currentPage() const
{
    return m_browser->source();
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (isManualPage(target)) {
        if (!FileExists(target.toLocalFile())) {
            qCInfo(lcHelp) << "manual page missing:" << target.fileName();
            return;
        }
        m_browser->setSource(target);
        return;
    }
    if (m_openOutside)
        m_openOutside(target);
}

void HelpWindow::updateTitle()
{
    // The first page is titled like the window itself; saying it twice helps nobody.
    const QString page = m_browser->documentTitle();
    setWindowTitle(page.isEmpty() || page == kTitle ? kTitle : kTitle + QStringLiteral(" - ") + page);
}

QString helpContentsPath()
{
    return ProgramPlaces::dataDirectory() + QStringLiteral("/manual/index.html");
}

HelpWindow *ShowHelpContents(QWidget *owner, HelpWindow::OutsideLinkOpener openOutside)
{
    static QPointer<HelpWindow> open;
    const QString path = helpContentsPath();
    if (!FileExists(path)) {
        qCInfo(lcHelp) << "no manual at" << path;
        return nullptr;
    }
    if (!open) {
        open = new HelpWindow(std::move(openOutside), owner);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            open->move(area.center() - open->rect().center());
        }
    }
    open->showPage(QUrl::fromLocalFile(path));
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}
