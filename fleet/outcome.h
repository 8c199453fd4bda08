#pragma once

#include <QString>

namespace duva::fleet
{

// Why the fleet's rules stop a search, a plan or a rollback before anything is sent. Each
// front end says it its own way (duvactl as its exit status).
enum class Outcome {
    Ok,
    Usage,            // a choice the caller made cannot be used (a network that is no network)
    InvalidValue,     // a value the modules cannot take, or one that would cut a module off
    AddressCollision, // two modules would end up with one address
    SharedAddress,    // two modules answer from the address to be written to
    NotFound,         // a module named did not answer
    NoNetwork,        // no IPv4 network to search
};

// A refusal and the message that says why, one problem a line.
struct Refusal {
    Outcome status;
    QString message;
};

} // namespace duva::fleet
