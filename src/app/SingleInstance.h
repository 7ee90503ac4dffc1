#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per settings file: two instances would overwrite each other's notes. The
// first one listens on a local socket named after its settings file; a later start with the same
// settings asks it to come forward and then ends. Another settings location is another user and
// runs on its own.
//
// The socket and its lock file live in this user's private runtime directory, and each side
// checks that the other runs as the same user, so another user can neither stop us from starting
// nor pose as the running instance.
class SingleInstance final : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket's path for a settings file (a hash of its absolute path) in the private runtime
    // directory; empty when there is no private directory to put it in.
    static QString serverName(const QString &settingsPath);

    // True when this process is now the running instance. False when another one of ours
    // answered; it has been asked to bring its window forward.
    bool claim();

signals:
    // A later start asked this instance to bring its window forward.
    void activationRequested();

private:
    void serve();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
