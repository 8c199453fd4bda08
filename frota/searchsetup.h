#pragma once

#include "fleet/searchsession.h"
#include "net/udpendpoint.h"

#include <QString>
#include <memory>

namespace duva::frota
{

// The window's means to search: an endpoint on the reply port and a session over it, or,
// when the port is taken (or no socket can be made), no session and the text that says why.
struct SearchSetup {
    std::unique_ptr<UdpEndpoint> endpoint;
    std::unique_ptr<fleet::SearchSession> session;
    QString unavailableText;
};

SearchSetup openSearch(int port);

} // namespace duva::frota
