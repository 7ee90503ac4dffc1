#pragma once

// Real file systems that fail as users' disks do: a small tmpfs that fills up, a read-only bind
// mount (root cannot write there either). Mounting needs root, as CI has; elsewhere the tests
// that need one are skipped with a reason, and in CI they fail instead.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class MountedFolder final
{
public:
    // A tmpfs of sizeKiB under a fresh temporary folder.
    static MountedFolder tmpfs(int sizeKiB)
    {
        MountedFolder m;
        m.mount({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=%1k,mode=0777").arg(sizeKiB), QStringLiteral("tmpfs")});
        return m;
    }
    // The folder source, seen read-only at path().
    static MountedFolder readOnlyView(const QString &source)
    {
        MountedFolder m;
        if (m.mount({QStringLiteral("--bind"), source}) &&
            !m.run({QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), m.path()})) {
            QProcess::execute(QStringLiteral("umount"), {m.path()});
            m.m_mounted = false;
        }
        return m;
    }

    MountedFolder(MountedFolder &&other) noexcept
        : m_dir(std::move(other.m_dir)), m_mounted(std::exchange(other.m_mounted, false)), m_why(other.m_why)
    {
    }
    ~MountedFolder()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path()});
    }

    bool isMounted() const { return m_mounted; }
    QString why() const { return m_why; }
    QString path() const { return m_dir->path() + QStringLiteral("/mnt"); }

    // Fills the file system up to its last byte, or up to the bytes left free.
    void fill(qint64 leaveFree = 0) const
    {
        QFile filler(path() + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
        QByteArray one(1, 'x');
        while (filler.write(one) > 0) {
        }
        if (leaveFree > 0)
            filler.resize(std::max<qint64>(0, filler.size() - leaveFree));
    }

private:
    MountedFolder() : m_dir(std::make_unique<QTemporaryDir>())
    {
        QDir(m_dir->path()).mkdir(QStringLiteral("mnt"));
    }

    bool mount(QStringList args)
    {
        args << path();
        m_mounted = run(args);
        return m_mounted;
    }
    bool run(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("mount"), args);
        if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        m_why = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (m_why.isEmpty())
            m_why = p.errorString();
        return false;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_mounted = false;
    QString m_why;
};

// Skips the test where mounting is not allowed, except in CI, where it must work.
#define REQUIRE_MOUNTED(folder)                                                                              \
    do {                                                                                                     \
        if (!(folder).isMounted()) {                                                                         \
            if (qEnvironmentVariableIsSet("CI"))                                                             \
                QFAIL(qPrintable(QStringLiteral("cannot mount: ") + (folder).why()));                        \
            QSKIP(qPrintable(QStringLiteral("needs root to mount a file system: ") + (folder).why()));       \
        }                                                                                                    \
    } while (false)
