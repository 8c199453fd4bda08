#pragma once

#include "cli/options.h"
#include "fleet/commissioning.h"
#include "fleet/writerecord.h"
#include "net/interfaces.h"
#include "protocol/ipv4.h"

#include <QJsonObject>
#include <QTextStream>
#include <map>
#include <memory>

namespace duva
{
class UdpEndpoint;
}

namespace duva::fleet
{
class CommissioningDriver;
}

namespace duva::cli
{

// `duvactl commission PLAN --at ADDRESS`: fresh modules, plugged in one at a time at ADDRESS,
// each given its row of the plan and confirmed at its new address, every one kept in the
// --record file before the next is written.
class Commission
{
public:
    Commission(const Options& options, QTextStream& out, QTextStream& err);

    // Reads and checks the plan and opens the record; a failure, with nothing sent, when either
    // will not do.
    std::optional<Failure> prepare();
    // Runs until every row is done or Ctrl+C.
    ExitStatus run(UdpEndpoint& endpoint, const fleet::SearchTargets& targets,
                   const QList<NetworkInterface>& interfaces);

private:
    void say(const fleet::CommissionEvent& e);
    void waiting();
    void json(const QJsonObject& o);
    int rowsLeft() const;
    QString why(const ModuleRecord& before, const ModuleRecord& after) const;

    const Options& m_o;
    QTextStream& m_out;
    QTextStream& m_err;
    QList<fleet::CommissionRow> m_rows;
    QStringList m_where; // how messages name each row
    std::map<int, QList<int>> m_resumed;
    std::map<int, fleet::RecordEntry> m_unconfirmed; // written by an earlier run, not confirmed
    std::unique_ptr<fleet::WriteRecordFile> m_record;
    QList<Ipv4Address> m_ownAddresses;
    int m_confirmed = 0;                                  // in this run
    const fleet::CommissioningDriver* m_driver = nullptr; // while run() runs
};

} // namespace duva::cli
