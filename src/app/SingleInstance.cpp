#include "SingleInstance.h"

#include "AppLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
const QByteArray ActivateMessage = QByteArrayLiteral("activate\n");
}

SingleInstance::SingleInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent), m_name(serverName(settingsPath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString &settingsPath)
{
    const QString absolute = QFileInfo(settingsPath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("quillbox-plus-") + QString::fromLatin1(hash.left(24));
}

bool SingleInstance::claim()
{
    // Two starts at the same moment must not both decide they are the first.
    QLockFile lock(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    lock.setStaleLockTime(10000);
    lock.tryLock(5000);

    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(1000)) {
        socket.write(ActivateMessage);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        qCInfo(lcApp) << "another instance runs with these settings; asked it to come forward";
        return false;
    }

    // Nobody answered: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        qCWarning(lcApp) << "could not listen for later starts:" << m_server->errorString();
        return true; // run all the same; only the forwarding is lost
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains(ActivateMessage.trimmed()))
                    emit activationRequested();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    return true;
}
