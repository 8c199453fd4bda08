#pragma once

#include "fleet/outcome.h"

namespace duva::cli
{

// duvactl's exit statuses, one for each way it can end; --help and the man page list them.
enum class ExitStatus : int {
    Ok = 0,               // done: every module found, every write confirmed
    NotConfirmed = 1,     // a write went out but no reply carried exactly what was written
    Usage = 2,            // a bad command line, or reset without --yes
    InvalidValue = 3,     // bad values, unknown fields, a plan that cannot be read
    AddressCollision = 4, // two modules would end up with one address
    SharedAddress = 5,    // two modules answer from the address to be written to
    NotFound = 6,         // no module answered, or a module named is not among those that did
    PortHeld = 7,         // UDP port 5001 is held by another program
    NoNetwork = 8,        // no IPv4 network to search
    SendFailed = 9,       // the system refused to send a datagram
    RecordFailed = 10,    // the record of writes (--record) could not be opened or written
    Interrupted = 130,    // Ctrl+C while writing: what went out is listed
};

// The exit status that says why the fleet's rules stopped a command.
ExitStatus exitStatusOf(fleet::Outcome outcome);

// The table for --help (in English; its translation is under the context "ExitStatus").
const char* exitStatusHelp();

} // namespace duva::cli
