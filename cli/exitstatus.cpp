#include "cli/exitstatus.h"

#include <QtGlobal>

namespace duva::cli
{

ExitStatus exitStatusOf(fleet::Outcome outcome)
{
    switch (outcome) {
    case fleet::Outcome::Ok:
        return ExitStatus::Ok;
    case fleet::Outcome::Usage:
        return ExitStatus::Usage;
    case fleet::Outcome::InvalidValue:
        return ExitStatus::InvalidValue;
    case fleet::Outcome::AddressCollision:
        return ExitStatus::AddressCollision;
    case fleet::Outcome::SharedAddress:
        return ExitStatus::SharedAddress;
    case fleet::Outcome::NotFound:
        return ExitStatus::NotFound;
    case fleet::Outcome::NoNetwork:
        return ExitStatus::NoNetwork;
    }
    return ExitStatus::Usage; // not reached: every outcome is listed
}

const char* exitStatusHelp()
{
    return QT_TRANSLATE_NOOP(
        "ExitStatus",
        "Exit status:\n"
        "  0  done: every module listed, found, or confirmed\n"
        "  1  not confirmed: a write went out, but no reply carried exactly what was\n"
        "     written\n"
        "  2  bad command line, or reset without --yes\n"
        "  3  bad values or unknown fields (each named by row, column and value), values\n"
        "     that would cut a module off (see --force), or a plan that cannot be read;\n"
        "     nothing was sent\n"
        "  4  two modules would end up with one address; nothing was sent\n"
        "  5  two modules answer at the address to be written to; nothing was sent\n"
        "  6  no module answered, fewer than --expect did, or a module named did not;\n"
        "     nothing was written (with apply --skip-missing the modules that answered\n"
        "     were written)\n"
        "  7  UDP port 5001 is held by another program (is the configurator window open?)\n"
        "  8  no IPv4 network to search\n"
        "  9  the system refused to send a datagram\n"
        " 10  the record of writes (--record) cannot be used: nothing was sent; or an\n"
        "     entry could not be written: nothing more was sent\n"
        "130  interrupted (Ctrl+C) while writing: the writes that went out and those\n"
        "     not confirmed are listed\n");
}

} // namespace duva::cli
