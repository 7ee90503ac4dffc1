#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

// Minimises the first window of a program just started, once the window manager has taken it
// on: X11 has no way to ask another program for a minimised first window, so the request is made
// on its behalf. The window is matched by its process, or by a process that one started (a
// launcher script, "env"); a program that shows no window within the time limit is left alone.
class FirstWindowMinimizer final : public QObject
{
    Q_OBJECT
public:
    // Starts watching for the process's window; the watch ends itself. Nothing happens off X11.
    static void watch(qint64 processId, int timeoutMs = 10000);

    // Whether `process` is `ancestor` or was started by it, directly or further down.
    static bool descendsFrom(qint64 process, qint64 ancestor);

private:
    FirstWindowMinimizer(qint64 processId, int timeoutMs);
    void look();

    qint64 m_process;
    int m_timeoutMs;
    QTimer m_poll;
    QElapsedTimer m_watched;
    // Windows already looked at: each is asked for its process once, not at every poll.
    QSet<unsigned long> m_known;
};
