#include "FirstWindowMinimizer.h"

#include "X11Windows.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMinimize, "quillbox.platform.minimize")

namespace {

constexpr int PollMs = 100;

// The parent of a process, from /proc/<pid>/stat: the field after the state, which follows the
// command name in parentheses (a name that may itself hold blanks and parentheses).
qint64 parentOf(qint64 process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).simplified().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

} // namespace

bool FirstWindowMinimizer::descendsFrom(qint64 process, qint64 ancestor)
{
    for (int depth = 0; process > 1 && depth < 64; ++depth) {
        if (process == ancestor)
            return true;
        process = parentOf(process);
    }
    return false;
}

void FirstWindowMinimizer::watch(qint64 processId, int timeoutMs)
{
    if (processId <= 0 || !X11Windows::display()) {
        qCInfo(lcMinimize) << "no X11 display: the program's window is not minimised";
        return;
    }
    new FirstWindowMinimizer(processId, timeoutMs);
}

FirstWindowMinimizer::FirstWindowMinimizer(qint64 processId, int timeoutMs)
    : QObject(QCoreApplication::instance()), m_process(processId), m_timeoutMs(timeoutMs)
{
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &FirstWindowMinimizer::look);
    m_watched.start();
    m_poll.start();
}

void FirstWindowMinimizer::look()
{
    // The window manager lists windows in the order they were mapped: the program's first window
    // comes first.
    for (const X11Windows::WindowId window : X11Windows::managedWindows()) {
        if (m_known.contains(window))
            continue;
        m_known.insert(window);
        const qint64 owner = X11Windows::processOf(window);
        if (owner > 0 && descendsFrom(owner, m_process)) {
            if (!X11Windows::iconify(window))
                qCInfo(lcMinimize) << "the window manager was not asked to minimise the window";
            deleteLater();
            m_poll.stop();
            return;
        }
    }
    if (m_watched.elapsed() >= m_timeoutMs) {
        qCInfo(lcMinimize) << "process" << m_process << "showed no window to minimise";
        m_poll.stop();
        deleteLater();
    }
}
