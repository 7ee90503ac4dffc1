#include "TrayIcon.h"

#include "ProgramPlaces.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMenu>
#include <QStyle>
#include <QTimer>

Q_LOGGING_CATEGORY(lcTray, "quillbox.tray")

namespace {
const QString kTip = QStringLiteral("Quillbox Plus");
const QString kIconName = QStringLiteral("quillbox");

// The hicolor trees that may hold our icon: inside the data directory when run from the source
// tree, beside it (share/icons/hicolor) once installed.
QStringList hicolorRoots()
{
    const QString data = ProgramPlaces::dataDirectory();
    return {data + QStringLiteral("/icons/hicolor"),
            QDir::cleanPath(data + QStringLiteral("/../icons/hicolor"))};
}
} // namespace

TrayIcon::TrayIcon(QObject *parent) : QObject(parent) {}

TrayIcon::~TrayIcon()
{
    DeleteIcon();
}

bool TrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QIcon TrayIcon::programIcon()
{
    static const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    for (const QString &root : hicolorRoots()) {
        QIcon icon;
        for (int size : sizes) {
            const QString png = QStringLiteral("%1/%2x%2/apps/%3.png").arg(root).arg(size).arg(kIconName);
            if (QFileInfo::exists(png))
                icon.addFile(png, QSize(size, size));
        }
        if (!icon.isNull())
            return icon;
    }
    const QIcon themed = QIcon::fromTheme(kIconName);
    if (!themed.isNull())
        return themed;
    qCWarning(lcTray) << "program icon not found under" << hicolorRoots();
    return QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView);
}

TrayIcon::Response TrayIcon::responseTo(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return Response::Toggle;
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick:
        return Response::Restore;
    case QSystemTrayIcon::Context:
        return Response::RestoreThenMenu;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Response::Nothing;
}

void TrayIcon::InitTray()
{
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(programIcon());
        m_icon->setToolTip(kTip);
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, &TrayIcon::handleActivation);
    }
    // Without a notification area there is nowhere to show it; the program runs on without.
    m_available = isAvailable();
    if (!m_available)
        qCInfo(lcTray) << "no notification area on this desktop";
    m_icon->show();
    if (!m_availabilityPoll) {
        m_availabilityPoll = new QTimer(this);
        connect(m_availabilityPoll, &QTimer::timeout, this, &TrayIcon::checkAvailability);
    }
    m_availabilityPoll->start(AvailabilityPollMs);
}

void TrayIcon::checkAvailability()
{
    const bool available = isAvailable();
    if (available == m_available)
        return;
    m_available = available;
    qCInfo(lcTray) << (available ? "a notification area appeared" : "the notification area went away");
    emit availabilityChanged(available);
}

void TrayIcon::DeleteIcon()
{
    if (m_availabilityPoll)
        m_availabilityPoll->stop();
    if (m_menu)
        m_menu->hide();
    if (m_icon)
        m_icon->hide();
    m_icon.reset();
}

bool TrayIcon::isShown() const
{
    return m_icon && m_icon->isVisible();
}

QString TrayIcon::toolTip() const
{
    return m_icon ? m_icon->toolTip() : QString();
}

QRect TrayIcon::geometry() const
{
    return m_icon ? m_icon->geometry() : QRect();
}

void TrayIcon::buildMenu()
{
    if (m_menu)
        return;
    m_menu = std::make_unique<QMenu>(kTip);
    m_close = m_menu->addAction(QStringLiteral("&Close Quillbox Plus"));
    m_close->setObjectName(QStringLiteral("popclose"));
    m_about = m_menu->addAction(QStringLiteral("&About Quillbox Plus"));
    m_about->setObjectName(QStringLiteral("popAbout"));
    // Queued, so the menu has closed and its event handling is over before the program ends or
    // a window opens.
    connect(m_close, &QAction::triggered, this, &TrayIcon::closeRequested, Qt::QueuedConnection);
    connect(m_about, &QAction::triggered, this, &TrayIcon::aboutRequested, Qt::QueuedConnection);
}

QMenu *TrayIcon::popupMenu()
{
    buildMenu();
    return m_menu.get();
}

QAction *TrayIcon::closeAction()
{
    buildMenu();
    return m_close;
}

QAction *TrayIcon::aboutAction()
{
    buildMenu();
    return m_about;
}

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason)
{
    const Response response = responseTo(reason);
    if (response == Response::Nothing)
        return;
    if (response == Response::Toggle) {
        emit toggleRequested();
        return;
    }
    emit restoreRequested();
    if (response != Response::RestoreThenMenu)
        return;
    const QPoint at = QCursor::pos();
    emit popupMenuRequested(at);
    popupMenu()->popup(at);
}
