#include "frota/portmessage.h"

#include <QCoreApplication>

namespace duva::frota
{

QString portTakenText(int port)
{
    return QCoreApplication::translate(
               "PortMessage",
               "UDP port %1 of this computer is taken by another program, so the modules' "
               "replies cannot reach Frota DUVA and searching is off. Close the DUVA Module "
               "Configurator window and any duvactl command that is running (only one of "
               "them can use the port at a time), then start Frota DUVA again.")
        .arg(port);
}

} // namespace duva::frota
