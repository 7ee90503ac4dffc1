#pragma once

#include <QObject>

// Turns the requests to end the process (SIGTERM from a system shutdown or a session manager,
// SIGINT from a terminal, SIGHUP when the terminal goes away) into a Qt signal delivered from the
// event loop, so the program can run its normal shutdown instead of dying with unsaved notes.
class UnixSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers once per process; later calls return the same object. Returns
    // nullptr when the handlers could not be installed.
    static UnixSignals *install();

    ~UnixSignals() override;

signals:
    void terminationRequested(int signalNumber);

protected:
    UnixSignals() = default;
};
