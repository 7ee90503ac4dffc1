#pragma once

// Start-up asks for the password and shows the splash, and waits on them in event loops of their
// own, so the tray icon, the session manager, termination signals and later starts can already
// act. Until start-up is over none of them may show the half-built window or run the shutdown,
// which would write notes that were never loaded. This keeps what they asked for until start-up
// can answer it.
class StartupPhase final
{
public:
    void begin() { m_running = true; }
    // Start-up is over (or stopped); returns whether a later start asked for the window meanwhile.
    bool finish();
    bool isRunning() const { return m_running; }

    // The program is to end: the password question and the splash close at once, and start-up
    // stops at its next step without writing anything.
    void requestEnd();
    bool endRequested() const { return m_endRequested; }

    // A later start asked for the window: it is brought back once start-up is over.
    void requestWindow() { m_windowRequested = true; }

    // Brings what start-up is showing now (the password question or the splash) in front.
    static void bringForward();

private:
    bool m_running = false;
    bool m_endRequested = false;
    bool m_windowRequested = false;
};
