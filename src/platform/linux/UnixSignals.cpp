#include "../UnixSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The signal handler may only do async-signal-safe work: it writes the signal number into one
// end of a socket pair, and the event loop reads it from the other end.
int g_pipe[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

class LinuxUnixSignals final : public UnixSignals
{
public:
    bool setUp()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
            return false;
        m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            unsigned char byte = 0;
            while (::read(g_pipe[1], &byte, 1) == 1)
                emit terminationRequested(byte);
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
            if (::sigaction(sig, &action, nullptr) != 0)
                return false;
        }
        return true;
    }

private:
    QSocketNotifier *m_notifier = nullptr;
};
} // namespace

UnixSignals::~UnixSignals() = default;

UnixSignals *UnixSignals::install()
{
    static LinuxUnixSignals *instance = [] {
        auto *s = new LinuxUnixSignals;
        if (!s->setUp()) {
            delete s;
            return static_cast<LinuxUnixSignals *>(nullptr);
        }
        return s;
    }();
    return instance;
}
