#include "fleet/searchsession.h"

#include "net/broadcastseries.h"
#include "net/interfaces.h"
#include "net/udpendpoint.h"

namespace duva::fleet
{

SearchSession::SearchSession(UdpEndpoint& endpoint, QObject* parent)
    : QObject(parent), m_endpoint(endpoint)
{
    for (QTimer* t : {&m_quiet, &m_total}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
        connect(t, &QTimer::timeout, this, &SearchSession::endRound);
    }
    listen();
}

void SearchSession::listen()
{
    m_endpoint.setOnDataReceived([this](UdpEndpoint& sender, int, const QString& fromIp, int) {
        char buffer[UdpEndpoint::bufferSize];
        const int n = sender.copyReceived(buffer, sizeof buffer);
        if (n == recordSize && m_running)
            take(QByteArray(buffer, n), fromIp);
    });
}

SearchSession::~SearchSession()
{
    m_endpoint.setOnDataReceived({});
}

bool SearchSession::start(const QList<Ipv4Address>& broadcasts)
{
    cancel();
    m_modules.clear();
    m_index.clear();
    m_requests = 0;
    m_error.clear();
    m_broadcasts = broadcasts;
    m_running = true;
    // A commissioning on the same endpoint took its replies meanwhile.
    listen();
    return sendRequest();
}

bool SearchSession::sendRequest()
{
    m_repliesThisRound.clear();
    m_sizeAtRoundStart = m_modules.size();
    const QByteArray request = SearchRequest::build();
    try {
        sendToEach(m_endpoint, m_broadcasts, modulePort, request);
    } catch (const Exception& e) {
        m_error = e.message();
        m_running = false;
        m_quiet.stop();
        m_total.stop();
        return false;
    }
    ++m_requests;
    m_quiet.stop();
    m_total.start(m_timing.totalMs);
    emit requestSent(m_requests);
    return true;
}

void SearchSession::take(const QByteArray& bytes, const QString& from)
{
    const QByteArray key = from.toLatin1() + '/' + bytes;
    const auto known = m_index.constFind(key);
    if (known == m_index.constEnd()) {
        const int index = int(m_modules.size());
        m_modules.append({*ModuleRecord::fromBytes(bytes), from, 1});
        m_index.insert(key, index);
        m_repliesThisRound.insert(index, 1);
        emit moduleFound(index);
    } else {
        const int index = *known;
        const int count = ++m_repliesThisRound[index];
        if (count > m_modules[index].replies) {
            m_modules[index].replies = count;
            emit moduleUpdated(index);
        }
    }
    m_quiet.start(m_timing.quietMs);
}

void SearchSession::endRound()
{
    if (!m_running)
        return;
    m_quiet.stop();
    m_total.stop();
    const bool grew = m_modules.size() > m_sizeAtRoundStart;
    if (m_requests >= m_timing.attempts || (!m_modules.isEmpty() && !grew)) {
        finish();
        return;
    }
    if (!sendRequest())
        finish();
}

void SearchSession::cancel()
{
    if (m_running)
        finish();
}

void SearchSession::finish()
{
    m_quiet.stop();
    m_total.stop();
    m_running = false;
    emit finished();
}

} // namespace duva::fleet
