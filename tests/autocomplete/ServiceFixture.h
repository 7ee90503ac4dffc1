#pragma once

#include "UasBridge.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

// A private installation of the auto-completion service for one test: its configuration under a
// temporary $XDG_CONFIG_DIRS, its program ("uas") in a temporary directory, and the record the
// fake service keeps of what it received. The endpoint lives in a private $XDG_RUNTIME_DIR, so
// tests never meet a service of the user running them.
class ServiceFixture final
{
public:
    ServiceFixture()
    {
        qputenv("XDG_RUNTIME_DIR", runtimeDir().toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", (m_root.path() + QStringLiteral("/unused:") + configDir()).toLocal8Bit());
    }
    ~ServiceFixture() { stop(); }
    ServiceFixture(const ServiceFixture &) = delete;
    ServiceFixture &operator=(const ServiceFixture &) = delete;

    QString root() const { return m_root.path(); }
    QString configDir() const { return m_root.path() + QStringLiteral("/xdg"); }
    QString serviceDir() const { return m_root.path() + QStringLiteral("/opt/flashpeak/uas"); }
    QString recordFile() const { return m_root.path() + QStringLiteral("/received.txt"); }

    // Writes FlashPeak/UAS.conf in the given configuration directory.
    void writeConfig(const QString &text, const QString &dir = {}) const
    {
        const QString base = dir.isEmpty() ? configDir() : dir;
        QDir().mkpath(base + QStringLiteral("/FlashPeak"));
        QFile file(base + QStringLiteral("/FlashPeak/UAS.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    // Installs a "uas" program made of this shell script body and points the configuration at it.
    void installScript(const QString &body) const
    {
        QDir().mkpath(serviceDir());
        QFile program(serviceDir() + QStringLiteral("/uas"));
        QVERIFY(program.open(QIODevice::WriteOnly | QIODevice::Truncate));
        program.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        writeConfig(QStringLiteral("[UAS]\nPath=%1\n").arg(serviceDir()));
    }

    // Installs the recording fake service as "uas".
    void installFake(const QString &options = {}) const
    {
        installScript(
            QStringLiteral("exec '%1' '%2' %3").arg(QStringLiteral(FAKE_UAS_SERVICE), recordFile(), options));
    }

    // Every line the service received, without "STARTED".
    QStringList received() const
    {
        QStringList lines = allLines();
        lines.removeAll(QStringLiteral("STARTED"));
        return lines;
    }
    int starts() const { return allLines().count(QStringLiteral("STARTED")); }

    // Ends a running fake service and waits until its endpoint is gone.
    void stop() const
    {
        QLocalSocket socket;
        socket.connectToServer(UasBridge::defaultEndpointName());
        if (!socket.waitForConnected(500))
            return;
        socket.write("QUIT\n");
        socket.waitForBytesWritten(500);
        socket.waitForDisconnected(2000);
    }

private:
    QString runtimeDir() const
    {
        QDir().mkpath(m_root.path() + QStringLiteral("/run"));
        QFile::setPermissions(m_root.path() + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return m_root.path() + QStringLiteral("/run");
    }
    QStringList allLines() const
    {
        QFile file(recordFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir m_root;
};
