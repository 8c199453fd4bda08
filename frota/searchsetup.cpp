#include "frota/searchsetup.h"

#include "fleet/replyendpoint.h"
#include "frota/portmessage.h"

namespace duva::frota
{

SearchSetup openSearch(int port)
{
    SearchSetup s;
    try {
        s.endpoint = fleet::openReplyEndpoint(port);
    } catch (const Exception& e) {
        s.unavailableText = e.message();
        return s;
    }
    if (!s.endpoint->isBound()) {
        s.unavailableText = portTakenText(port);
        return s;
    }
    s.session = std::make_unique<fleet::SearchSession>(*s.endpoint);
    return s;
}

} // namespace duva::frota
