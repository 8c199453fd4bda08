#pragma once

#include "fleet/preparedwrites.h"
#include "fleet/search.h"
#include "frota/writestate.h"
#include "net/interfaces.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace duva
{
class UdpEndpoint;
}

namespace duva::frota
{

// One run of writes from the window, an apply or an undo, by duvactl's own steps: a search,
// the writes prepared and ordered (fleet/preparedwrites), sent and confirmed by OrderedWrites,
// each module kept in a record of writes before its write goes out. Its waits turn the
// window's event loop (nested), so the window keeps responding; the caller keeps every other
// sender (a search, a commissioning, a second run) off while runningChanged says so.
class WriteRun : public QObject
{
    Q_OBJECT
public:
    struct Timing {
        fleet::SearchTiming search;
        int settleMs = 6000;
    };
    // Where the search broadcasts now: the Modules tab's adapter choice.
    using Broadcasts = std::function<QList<Ipv4Address>()>;

    struct Job {
        QString command;      // the record's word for it: "apply", "rollback"
        QString recordPath;   // where each module's entry is kept
        QString operatorName; // empty: the login name
        fleet::Search::Wanted wanted;
        // The writes for the modules found, given this computer's adapters now.
        std::function<fleet::PreparedWrites(const QList<fleet::FoundModule>& found,
                                            const QList<NetworkInterface>& interfaces)>
            prepare;
        // Asked once the writes are known, before anything is sent; false sends nothing.
        std::function<bool(const fleet::PreparedWrites&)> confirm;
    };

    enum class Outcome {
        NotSent,      // refused, declined or failed before the first write: nothing went out
        Confirmed,    // every write confirmed
        Missing,      // every write confirmed; rows whose module did not answer were skipped
        NotConfirmed, // some write was not confirmed
        Cancelled,    // stopped before its end
        Failed,       // the record could not be written, or sending failed, during the run
    };
    struct Result {
        Outcome outcome = Outcome::NotSent;
        QString message; // what to tell the user, in the user's language
    };

    // endpoint: the one on the reply port (null when another program holds it).
    WriteRun(UdpEndpoint* endpoint, QList<NetworkInterface> adapters, Broadcasts broadcasts,
             QObject* parent = nullptr);

    void setTiming(const Timing& timing) { m_timing = timing; }
    bool isRunning() const { return m_running; }
    // Returns once the run has ended; refuses (NotSent) while another runs.
    Result run(const Job& job);
    // No write goes out after the current wait (at most one confirmation round).
    void cancel() { m_cancelled = m_running; }

signals:
    void runningChanged(bool running);
    // The writes about to go, each Waiting or Unchanged; rowNumbers maps their where.
    void prepared(const fleet::PreparedWrites& writes);
    void stateChanged(int write, WriteState state);
    void progress(int done, int total);

private:
    Result runJob(const Job& job);
    QString adapterNames(const QList<Ipv4Address>& broadcasts) const;

    UdpEndpoint* m_endpoint;
    QList<NetworkInterface> m_adapters;
    Broadcasts m_broadcasts;
    Timing m_timing;
    bool m_running = false;
    bool m_cancelled = false;
    QString m_warning; // this computer dropped replies during the run's search
};

} // namespace duva::frota
