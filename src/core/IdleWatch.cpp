#include "IdleWatch.h"

#include <QCoreApplication>
#include <QEvent>

IdleWatch::IdleWatch(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire a little early, which would call a busy user idle.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &IdleWatch::checkQuiet);
    QCoreApplication::instance()->installEventFilter(this);
}

void IdleWatch::setMinutes(int minutes)
{
    setInterval(std::chrono::minutes(minutes));
}

void IdleWatch::setInterval(std::chrono::milliseconds interval)
{
    m_interval = std::max(interval, std::chrono::milliseconds(0));
    m_sinceInput.start();
    if (m_interval.count() > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

bool IdleWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        // Every mouse movement comes here, so input only notes the time; the timer, once it
        // fires, waits out whatever remains of the quiet spell.
        m_sinceInput.start();
        if (m_interval.count() > 0 && !m_timer.isActive())
            m_timer.start(m_interval);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void IdleWatch::checkQuiet()
{
    const auto quiet = std::chrono::milliseconds(m_sinceInput.elapsed());
    if (quiet < m_interval)
        m_timer.start(m_interval - quiet);
    else
        emit idle();
}
