#include "cli/console.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace duva::cli
{

namespace
{

int g_wakeUp = -1; // write end of the watch's pipe, for the signal handler

void onSignal(int)
{
    const char byte = 1;
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(g_wakeUp, &byte, 1);
    errno = saved;
}

} // namespace

bool errorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

// A signal handler may do almost nothing: it writes a byte to a pipe, and the event loop
// reads it and calls back.
struct InterruptWatch::Private {
    std::function<void()> onInterrupt;
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous {
    };
    bool installed = false;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : d(std::make_unique<Private>())
{
    d->onInterrupt = std::move(onInterrupt);
    // Without a pipe Ctrl+C ends the program as it always did.
    if (::pipe2(d->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_wakeUp = d->pipe[1];
    d->notifier = std::make_unique<QSocketNotifier>(d->pipe[0], QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (::read(d->pipe[0], bytes, sizeof bytes) > 0) {
        }
        d->onInterrupt();
    });
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    d->installed = ::sigaction(SIGINT, &action, &d->previous) == 0;
}

InterruptWatch::~InterruptWatch()
{
    if (d->installed)
        ::sigaction(SIGINT, &d->previous, nullptr);
    g_wakeUp = -1;
    d->notifier.reset();
    for (const int fd : d->pipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace duva::cli
