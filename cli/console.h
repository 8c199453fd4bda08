#pragma once

#include <functional>
#include <memory>

namespace duva::cli
{

// Whether standard error goes to a terminal (a console on Windows), where a countdown helps
// and does not litter a log.
bool errorIsTerminal();

// While it lives, Ctrl+C (SIGINT; on Windows the console's Ctrl+C and Ctrl+Break) does not
// end the program but calls onInterrupt from the event loop of the thread that made it.
// One file per platform implements it (console_posix.cpp, console_windows.cpp).
class InterruptWatch
{
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace duva::cli
