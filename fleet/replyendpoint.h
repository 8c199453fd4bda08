#pragma once

#include <memory>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{

// The port the modules' replies come to; the configurator window, duvactl and the fleet
// window each need it, so only one of them can search at a time.
constexpr int replyPort = 5001;

// An endpoint for a fleet search, bound to port (isBound() is false when another program
// holds it), reading replies in bursts. Every destination it is given is a dotted address,
// so no name is ever looked up. Throws UDPSockError when no socket can be made.
std::unique_ptr<UdpEndpoint> openReplyEndpoint(int port = replyPort);

} // namespace duva::fleet
