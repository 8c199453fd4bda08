#pragma once

#include "fleet/resolve.h"
#include "fleet/writeorder.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{

class Search;

// The moves of a resolved plan's writes (those that send anything), indexed by write.
QList<fleet::Move> movesOf(const QList<PlannedWrite>& writes);

// "1031 10.77.0.10 -> 10.77.0.11, 1032 10.77.0.11 -> 10.77.0.10": a cycle, for messages.
QString describeCycle(const QList<int>& cycle, const QList<PlannedWrite>& writes);

// The order the writes go in, one line each, when it matters (addresses change and there is
// more than one write); empty otherwise.
QString describeOrder(const fleet::WriteOrder& order, const QList<PlannedWrite>& writes);

// The order of a plan's writes, or why there is none.
struct PlannedOrder {
    fleet::WriteOrder order;
    QString error; // a cycle without a temporary address, or a temporary address not free
};

// Orders the writes, through the temporary addresses via where modules swap addresses. A
// temporary address must be free: no module answered the search from it, and no write gives
// it to a module.
PlannedOrder planOrder(const QList<PlannedWrite>& writes, const QList<FoundModule>& found,
                       const QList<Ipv4Address>& via);

// What became of one planned write.
struct WriteResult {
    bool sent = false;      // its write (or its first one, through a temporary address) went out
    bool confirmed = false; // a reply carried its serial number and exactly its new record
    bool answered = false;  // a reply carried its serial number
    QStringList differing;  // the fields in which that reply differed
    QString why;            // why it is not confirmed, when more is known than "it did not answer"
    QString whyText;        // the same, in the user's language
    int writesSent = 0;     // datagrams sent to it, its resends and temporary moves included
};

// Sends the writes in the given order, round by round: a round's writes 1 ms apart, then a
// search about every 500 ms, each module confirmed as soon as a reply carries exactly its
// record, for at most one settle period; a reply with its old record meanwhile (a module
// still taking the write, or restarting) is no failure. A write not confirmed by then goes
// again, the same 65 bytes, up to twice more, each with its own settle period, unless
// another module has been given the address it would go to. A write from a temporary address
// goes only when the module was confirmed there, and when the module that held its new
// address was confirmed gone. interrupted is read after every wait: once set, nothing more
// is sent.
class OrderedWrites
{
public:
    // Called once for each write that sends anything, as soon as what became of it is final:
    // confirmed, given up, or (when the run ends early) left as it stands. Nothing more is
    // sent before it returns; false stops the run there, as an interruption does.
    using Final = std::function<bool(int write, const WriteResult& result)>;
    // Called just before a module's first write goes out, with the result as it will stand
    // once sent (writesSent counted). False: that write and everything after it is not sent.
    using BeforeFirst = std::function<bool(int write, const WriteResult& result)>;

    OrderedWrites(UdpEndpoint& endpoint, Search& search, int settleMs, bool countdown,
                  QTextStream* out, QTextStream& err, const bool& interrupted);

    // Shows a wait to the person watching (duvactl's countdown line) for as long as what it
    // returns lives; asked only when the constructor's countdown is true.
    using ShowWait = std::function<std::shared_ptr<void>(const QString& what, int ms)>;

    void onFinal(Final final) { m_final = std::move(final); }
    void showWait(ShowWait show) { m_showWait = std::move(show); }
    void beforeFirst(BeforeFirst before) { m_beforeFirst = std::move(before); }
    QList<WriteResult> run(const QList<PlannedWrite>& writes, const fleet::WriteOrder& order);
    // Whether onFinal's or beforeFirst's callback stopped the last run.
    bool stopped() const { return m_stopped; }

    // How often a search asks for the modules not yet confirmed.
    static constexpr int pollMs = 500;

private:
    QByteArray requestFor(const fleet::OrderedWrite& w) const;
    // Sends what maySend allows and, with knownFree, only onto addresses whose holder is
    // confirmed gone; returns those sent.
    QList<fleet::OrderedWrite> send(const QList<fleet::OrderedWrite>& writes, bool knownFree);
    bool gone(int module) const; // confirmed at a new address, or at its temporary one
    // Searches until each of writes is confirmed or the settle period ends.
    void confirm(const QList<fleet::OrderedWrite>& writes, bool again);
    // Hands each write whose outcome is final (and not handed yet) to m_final.
    void report(const QList<int>& modules);
    bool stopping() const { return m_interrupted || m_stopped; }

    UdpEndpoint& m_endpoint;
    Search& m_search;
    int m_settleMs;
    bool m_countdown;
    QTextStream* m_out;
    QTextStream& m_err;
    const bool& m_interrupted;
    Final m_final;
    BeforeFirst m_beforeFirst;
    ShowWait m_showWait;
    bool m_stopped = false;

    const QList<PlannedWrite>* m_writes = nullptr;
    QList<WriteResult> m_results;
    QList<fleet::OrderedWrite> m_sent;
    QList<bool> m_parked;              // confirmed at its temporary address
    QHash<Ipv4Address, int> m_holding; // address -> the write of the module that held it at first
    QHash<int, Ipv4Address> m_answeredAt; // write -> the address its module last answered with
    QList<bool> m_reported;               // handed to m_final
};

} // namespace duva::fleet
