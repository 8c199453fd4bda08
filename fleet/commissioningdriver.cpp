#include "fleet/commissioningdriver.h"

#include "net/broadcastseries.h"
#include "net/interfaces.h"
#include "net/udpendpoint.h"

#include <QBuffer>
#include <QCoreApplication>
#include <algorithm>

namespace duva::fleet
{

CommissioningDriver::CommissioningDriver(UdpEndpoint& endpoint, quint32 address,
                                         QList<CommissionRow> rows, CommissionTiming timing,
                                         CommissionSearch search, QObject* parent)
    : QObject(parent), m_endpoint(endpoint), m_search(std::move(search)),
      m_engine(address, std::move(rows), timing,
               CommissionSeams{[this] { this->search(); },
                               [this](quint32 a, const QByteArray& r) { sendWrite(a, r); },
                               [this](const CommissionEvent& e) { return tell(e); },
                               [this](const ModuleRecord& before, const ModuleRecord& after) {
                                   return m_check ? m_check(before, after) : QString();
                               }})
{
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    for (QTimer* t : {&m_wake, &m_round}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_wake, &QTimer::timeout, this, &CommissioningDriver::wake);
    connect(&m_round, &QTimer::timeout, this, &CommissioningDriver::searchDone);
}

void CommissioningDriver::start()
{
    m_endpoint.setOnDataReceived([this](UdpEndpoint& sender, int, const QString&, int) {
        char buffer[UdpEndpoint::bufferSize];
        const int n = sender.copyReceived(buffer, sizeof buffer);
        if (n == recordSize)
            received(QByteArray(buffer, n));
    });
    m_running = true;
    step([this] { m_engine.start(now()); });
}

void CommissioningDriver::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_wake.stop();
    m_round.stop();
    m_endpoint.setOnDataReceived({});
    emit ended();
}

void CommissioningDriver::step(const std::function<void()>& f)
{
    if (!m_running)
        return;
    try {
        f();
    } catch (const Exception& e) {
        // The system refused a datagram: going on would leave the engine waiting for replies
        // to what never went out.
        m_error =
            QCoreApplication::translate("Commissioning", "sending failed: %1").arg(e.message());
        stop();
        return;
    }
    schedule();
}

void CommissioningDriver::schedule()
{
    if (!m_running)
        return;
    if (m_engine.finished() || m_engine.stopped()) {
        stop();
        return;
    }
    if (const auto at = m_engine.wakeAt())
        m_wake.start(int(std::clamp<qint64>(*at - now(), 0, 24 * 3600 * 1000)));
    else
        m_wake.stop();
}

void CommissioningDriver::search()
{
    const QByteArray request = SearchRequest::build();
    ++m_searches;
    m_searching = true;
    m_roundStartMs = now();
    m_round.start(std::min(m_search.emptyMs, m_search.totalMs));
    sendToEach(m_endpoint, m_search.broadcasts, modulePort, request);
    for (const auto& [a, b] : std::as_const(m_search.series))
        sendToEveryNetworkOfPrefix(m_endpoint, a, b, modulePort, request);
}

void CommissioningDriver::sendWrite(quint32 address, const QByteArray& request)
{
    m_endpoint.setRemoteHost(dottedAddress(address));
    m_endpoint.setRemotePort(modulePort);
    QBuffer stream;
    stream.setData(request);
    stream.open(QIODevice::ReadOnly);
    m_endpoint.sendDatagram(stream);
}

bool CommissioningDriver::tell(const CommissionEvent& e)
{
    const bool kept = !m_keep || m_keep(e);
    emit event(e);
    return kept;
}

void CommissioningDriver::received(const QByteArray& bytes)
{
    const auto record = ModuleRecord::fromBytes(bytes);
    if (!record || !m_running)
        return;
    if (m_searching) {
        // The round ends a quiet period after its last reply, within its total wait.
        const qint64 left = m_roundStartMs + m_search.totalMs - now();
        m_round.start(
            int(std::clamp<qint64>(std::min<qint64>(m_search.quietMs, left), 0, m_search.totalMs)));
    }
    step([&] { m_engine.onReply(now(), *record); });
}

void CommissioningDriver::searchDone()
{
    m_searching = false;
    step([this] { m_engine.onSearchDone(now()); });
}

void CommissioningDriver::wake()
{
    step([this] { m_engine.onTimer(now()); });
}

} // namespace duva::fleet
