#pragma once

#include "fleet/commissioning.h"
#include "protocol/ipv4.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <utility>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{

// Where a commissioning's searches go, and how long each one listens for replies.
struct CommissionSearch {
    QList<Ipv4Address> broadcasts;
    QList<std::pair<int, int>> series; // /16 networks a.b, sent as paced series
    int quietMs = 500;                 // a search ends this long after its last reply...
    int emptyMs = 1000; // ...or, while nobody answers, this long after it went out...
    int totalMs = 3000; // ...and this long after it went out at the latest
};

// Runs a CommissioningEngine on a real endpoint (bound to the reply port), on the event loop
// of the thread that owns it; it never blocks, so that a window can run it as well as
// duvactl. Searches go out through the engine's search seam, every 64-byte reply goes to the
// engine, a search's end is said once its replies are in, and writes go to the address's
// module port. Time comes from a steady clock (a seam for tests).
class CommissioningDriver : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<qint64()>; // ms, steady

    CommissioningDriver(UdpEndpoint& endpoint, quint32 address, QList<CommissionRow> rows,
                        CommissionTiming timing, CommissionSearch search,
                        QObject* parent = nullptr);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Told every event, before the engine goes on and before event() is emitted: where the
    // record's entry is put on disk. False stops everything (error() says why): nothing more
    // is sent.
    void setKeep(std::function<bool(const CommissionEvent&)> keep) { m_keep = std::move(keep); }
    // Why a module's row may not be written to it (see CommissionSeams::check); before start().
    void setCheck(std::function<QString(const ModuleRecord&, const ModuleRecord&)> check)
    {
        m_check = std::move(check);
    }
    // A row that an earlier run confirmed (see confirmedRows()); before start().
    void resume(int row, const QList<int>& serials) { m_engine.resume(row, serials); }
    // A write of an earlier run not seen confirmed (see unconfirmedRows()); before start().
    void resumeUnconfirmed(int row, const ModuleRecord& before, const QByteArray& request,
                           int writesSent)
    {
        m_engine.resumeUnconfirmed(row, before, request, writesSent);
    }
    // The write under way, as a NotConfirmed event (for the record when stopped before its
    // confirmation).
    std::optional<CommissionEvent> outstanding() const { return m_engine.outstanding(now()); }

    void start();
    // Ends it where it is: nothing more is sent; ended() follows.
    void stop();

    bool finished() const { return m_engine.finished(); }
    bool isRunning() const { return m_running; }
    int rowsLeft() const { return m_engine.rowsLeft(); }
    bool writeOutstanding() const { return m_engine.writeOutstanding(); }
    int searchesSent() const { return m_searches; }
    // Why it stopped by itself (a send the system refused, a failed keep); empty otherwise.
    QString error() const { return m_error; }
    void setError(const QString& error) { m_error = error; }

signals:
    void event(const duva::fleet::CommissionEvent& event);
    // Every row done, or stopped (by stop(), a failed keep or a failed send).
    void ended();

private:
    qint64 now() const { return m_clock(); }
    void search();
    void sendWrite(quint32 address, const QByteArray& request);
    bool tell(const CommissionEvent& e);
    void received(const QByteArray& bytes);
    void searchDone();
    void wake();
    // Arms the timer at the engine's next wake-up, or ends the run when the engine is done.
    void schedule();
    // Runs one step of the engine, turning a refused send into the end of the run.
    void step(const std::function<void()>& f);

    UdpEndpoint& m_endpoint;
    CommissionSearch m_search;
    CommissioningEngine m_engine;
    QElapsedTimer m_elapsed;
    Clock m_clock;
    std::function<bool(const CommissionEvent&)> m_keep;
    std::function<QString(const ModuleRecord&, const ModuleRecord&)> m_check;
    QTimer m_wake;
    QTimer m_round; // a search's end
    qint64 m_roundStartMs = 0;
    bool m_searching = false;
    bool m_running = false;
    int m_searches = 0;
    QString m_error;
};

} // namespace duva::fleet
