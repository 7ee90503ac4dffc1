#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>

// Tells when the user has left the program alone for a while: no key pressed, no mouse button,
// wheel or movement over any of our windows. idle() comes once per quiet spell; the next input
// starts a new one. Off (never idle) until a time is set, and again with setMinutes(0).
class IdleWatch final : public QObject
{
    Q_OBJECT
public:
    explicit IdleWatch(QObject *parent = nullptr);

    void setMinutes(int minutes);
    // The same in milliseconds, for tests that cannot wait minutes; zero or less is off.
    void setInterval(std::chrono::milliseconds interval);

signals:
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkQuiet();

    std::chrono::milliseconds m_interval{0};
    QElapsedTimer m_sinceInput;
    QTimer m_timer;
};
