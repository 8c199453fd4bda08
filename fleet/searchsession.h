#pragma once

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{

// One module as a search found it: its record, the address its reply came from, and the
// most replies it sent to one request (a module that answers twice is listed once).
struct ModuleReply {
    ModuleRecord record;
    QString from;
    int replies = 1;
};

struct SessionTiming {
    int quietMs = 500;  // a request's round ends this long after the last reply...
    int totalMs = 3000; // ...or this long after its request
    int attempts = 3;   // requests in all, at most
};

// A search that runs on the caller's event loop and never blocks it, for a window: it sends
// the request to each broadcast address and reports every module as its reply arrives. Like
// the command line's search, it asks again while nobody answered or while a round still
// brought new modules, up to the timing's attempts. Replies are 64-byte records; anything else
// is dropped.
class SearchSession : public QObject
{
    Q_OBJECT
public:
    // The endpoint is bound to the reply port and outlives the session.
    explicit SearchSession(UdpEndpoint& endpoint, QObject* parent = nullptr);
    ~SearchSession() override;

    void setTiming(const SessionTiming& timing) { m_timing = timing; }
    const SessionTiming& timing() const { return m_timing; }

    // Forgets the modules of an earlier search and sends the first request (broadcasts in
    // host order). False, with error() saying why, when the request could not be sent; the
    // session is then idle.
    bool start(const QList<Ipv4Address>& broadcasts);
    // Ends the search now; finished() follows.
    void cancel();
    bool isRunning() const { return m_running; }

    const QList<ModuleReply>& modules() const { return m_modules; }
    int requests() const { return m_requests; }
    QString error() const { return m_error; }

signals:
    void moduleFound(int index);    // modules()[index] is new
    void moduleUpdated(int index);  // modules()[index] answered more often to one request
    void requestSent(int requests); // the count of requests so far
    void finished();

private:
    void listen();
    void take(const QByteArray& bytes, const QString& from);
    bool sendRequest();
    void endRound();
    void finish();

    UdpEndpoint& m_endpoint;
    SessionTiming m_timing;
    QList<Ipv4Address> m_broadcasts;
    QList<ModuleReply> m_modules;
    QHash<QByteArray, int> m_index;     // from + record bytes -> index in m_modules
    QHash<int, int> m_repliesThisRound; // index -> replies to the current request
    QTimer m_quiet;
    QTimer m_total;
    int m_requests = 0;
    qsizetype m_sizeAtRoundStart = 0;
    bool m_running = false;
    QString m_error;
};

} // namespace duva::fleet
