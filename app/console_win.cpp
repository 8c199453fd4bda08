#include "app/console.h"

#include <cstdio>
#include <windows.h>

namespace duva
{

namespace
{

// Whether a standard handle leads somewhere: a program started from a console with its output
// redirected to a file or a pipe has one, and keeps it.
bool leadsSomewhere(DWORD which)
{
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void useParentConsole()
{
    const bool out = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = leadsSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return; // nothing to reach, or started from Explorer (no console)
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace duva
