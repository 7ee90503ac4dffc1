// A stand-in for the auto-completion service: listens where the real one does and appends every
// line it receives to the record file named on its command line, so tests can read what the
// program told it.
//
//   fake_uas_service <record-file> [--silent]
//
// It writes "STARTED" to the record when it comes up, answers "OK" to REGISTER and UNREGISTER
// (unless --silent), and quits on the line "QUIT" or after a minute without a connection, so a
// failed test never leaves it behind for long.

#include "UasBridge.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

void record(const QString &path, const QByteArray &line)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line + '\n');
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    const QString recordFile = args.at(1);
    const bool silent = args.contains(QStringLiteral("--silent"));

    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(60'000);
    QObject::connect(&idle, &QTimer::timeout, &app, &QCoreApplication::quit);

    const QString endpoint = UasBridge::defaultEndpointName();
    QLocalServer::removeServer(endpoint);
    QLocalServer server;
    if (!server.listen(endpoint))
        return 1;
    record(recordFile, "STARTED");
    idle.start();

    QObject::connect(&server, &QLocalServer::newConnection, &app, [&] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            idle.start();
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [&, socket] {
                while (socket->canReadLine()) {
                    const QByteArray line = socket->readLine().chopped(1);
                    if (line == "QUIT") {
                        server.close();
                        app.quit();
                        return;
                    }
                    record(recordFile, line);
                    if (!silent && (line.startsWith("REGISTER ") || line.startsWith("UNREGISTER ")))
                        socket->write("OK\n");
                }
            });
        }
    });
    return app.exec();
}
