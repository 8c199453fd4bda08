#include "fleet/replyendpoint.h"

#include "net/udpendpoint.h"

namespace duva::fleet
{

namespace
{
// As duvactl asks: room for thousands of replies arriving at once.
constexpr int replyBuffer = 4 << 20;
} // namespace

std::unique_ptr<UdpEndpoint> openReplyEndpoint(int port)
{
    auto endpoint = std::make_unique<UdpEndpoint>();
    endpoint->setHostResolver(
        [](const QString&, QObject*, std::function<void(std::optional<quint32>)> done) {
            done(std::nullopt);
        });
    endpoint->setLocalPort(port);
    endpoint->readBursts(replyBuffer);
    return endpoint;
}

} // namespace duva::fleet
