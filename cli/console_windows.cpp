#include "cli/console.h"

#include <QCoreApplication>

#include <windows.h>

namespace duva::cli
{

namespace
{

std::function<void()>* g_onInterrupt = nullptr;

// Windows calls this on a thread of its own: the work is handed to the event loop.
BOOL WINAPI onControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            if (g_onInterrupt)
                (*g_onInterrupt)();
        },
        Qt::QueuedConnection);
    return TRUE;
}

} // namespace

bool errorIsTerminal()
{
    // A console answers GetConsoleMode; a file, a pipe and NUL do not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

struct InterruptWatch::Private {
    std::function<void()> onInterrupt;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : d(std::make_unique<Private>())
{
    d->onInterrupt = std::move(onInterrupt);
    g_onInterrupt = &d->onInterrupt;
    SetConsoleCtrlHandler(onControl, TRUE);
}

InterruptWatch::~InterruptWatch()
{
    SetConsoleCtrlHandler(onControl, FALSE);
    g_onInterrupt = nullptr;
}

} // namespace duva::cli
