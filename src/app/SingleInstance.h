#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per settings file: two instances would overwrite each other's notes. The
// first one listens on a local socket named after its settings file; a later start with the same
// settings asks it to come forward and then ends. Another settings location is another user and
// runs on its own.
class SingleInstance final : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a settings file (a hash of its absolute path).
    static QString serverName(const QString &settingsPath);

    // True when this process is now the running instance. False when another one answered; it
    // has been asked to bring its window forward.
    bool claim();

signals:
    // A later start asked this instance to bring its window forward.
    void activationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
