#include "StartupPhase.h"

#include "Dialogs.h"
#include "SplashScreen.h"

#include <QApplication>
#include <QWidget>

bool StartupPhase::finish()
{
    m_running = false;
    const bool wanted = m_windowRequested && !m_endRequested;
    m_windowRequested = false;
    return wanted;
}

void StartupPhase::requestEnd()
{
    if (m_endRequested)
        return;
    m_endRequested = true;
    Dialogs::closeAll();
    cutSplashScreenShort();
}

void StartupPhase::bringForward()
{
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = splashScreenShowing();
    if (!front)
        return;
    front->raise();
    if (front->isModal())
        front->activateWindow();
}
