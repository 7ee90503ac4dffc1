#include "SingleInstance.h"

#include "AppLog.h"
#include "UserRuntime.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {
const QByteArray ActivateMessage = QByteArrayLiteral("activate\n");

bool sameUser(const QLocalSocket &peer)
{
    return UserRuntime::peerUserId(peer.socketDescriptor()) == UserRuntime::userId();
}
} // namespace

SingleInstance::SingleInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent), m_name(serverName(settingsPath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString &settingsPath)
{
    const QString dir = UserRuntime::privateDirectory();
    if (dir.isEmpty())
        return {};
    const QString absolute = QFileInfo(settingsPath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex();
    return dir + QStringLiteral("/quillbox-plus-") + QString::fromLatin1(hash.left(24));
}

bool SingleInstance::claim()
{
    if (m_name.isEmpty()) {
        qCWarning(lcApp) << "no private runtime directory; later starts cannot find this one";
        return true;
    }

    // Two starts at the same moment must not both decide they are the first.
    QLockFile lock(m_name + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    lock.tryLock(5000);

    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(1000)) {
        if (!sameUser(socket)) {
            // Cannot happen in a directory only we may enter; never give way to a stranger.
            qCWarning(lcApp) << "the instance socket is held by another user; running on our own";
            return true;
        }
        socket.write(ActivateMessage);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
        qCInfo(lcApp) << "another instance runs with these settings; asked it to come forward";
        return false;
    }

    serve();
    return true;
}

void SingleInstance::serve()
{
    // Nobody answered: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        qCWarning(lcApp) << "could not listen for later starts:" << m_server->errorString();
        return; // run all the same; only the forwarding is lost
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (!sameUser(*peer)) {
                peer->abort();
                peer->deleteLater();
                continue;
            }
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains(ActivateMessage.trimmed()))
                    emit activationRequested();
            });
        }
    });
}
