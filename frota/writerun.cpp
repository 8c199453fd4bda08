#include "frota/writerun.h"

#include "cli/searchreport.h"
#include "fleet/orderedwrites.h"
#include "fleet/writerecord.h"
#include "net/udpendpoint.h"

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>
#include <algorithm>

namespace duva::frota
{

namespace
{

WriteRun::Result notSent(const QString& why)
{
    return {WriteRun::Outcome::NotSent,
            why + QLatin1Char('\n') +
                QCoreApplication::translate("WriteRun", "Nothing was written.")};
}

QString serials(const QStringList& list)
{
    return list.isEmpty() ? QCoreApplication::translate("WriteRun", "none")
                          : list.join(QStringLiteral(", "));
}

} // namespace

WriteRun::WriteRun(UdpEndpoint* endpoint, QList<NetworkInterface> adapters, Broadcasts broadcasts,
                   QObject* parent)
    : QObject(parent), m_endpoint(endpoint), m_adapters(std::move(adapters)),
      m_broadcasts(std::move(broadcasts))
{
}

WriteRun::Result WriteRun::run(const Job& job)
{
    if (m_running)
        return notSent(QCoreApplication::translate("WriteRun", "Another run is under way."));
    m_running = true;
    m_cancelled = false;
    emit runningChanged(true);
    Result result;
    try {
        m_warning.clear();
        result = runJob(job);
    } catch (const Exception& e) {
        result = {Outcome::Failed,
                  QCoreApplication::translate("WriteRun", "Sending failed: %1").arg(e.message())};
    }
    if (!m_warning.isEmpty())
        result.message += QLatin1Char('\n') + m_warning;
    // The run's search is gone: nothing may call into it any more.
    if (m_endpoint)
        m_endpoint->setOnDataReceived({});
    m_running = false;
    m_cancelled = false;
    emit runningChanged(false);
    return result;
}

QString WriteRun::adapterNames(const QList<Ipv4Address>& broadcasts) const
{
    QStringList names;
    for (const NetworkInterface& i : m_adapters) {
        const QString name = i.shownName.isEmpty() ? i.name : i.shownName;
        if (broadcasts.contains(i.broadcast) && !names.contains(name))
            names << name;
    }
    return names.join(QStringLiteral(", "));
}

WriteRun::Result WriteRun::runJob(const Job& job)
{
    if (!m_endpoint)
        return notSent(
            QCoreApplication::translate("WriteRun", "UDP port 5001 is held by another program."));
    fleet::SearchTargets targets;
    targets.broadcasts = m_broadcasts();
    if (targets.broadcasts.isEmpty())
        return notSent(QCoreApplication::translate(
            "WriteRun", "No network: no adapter but loopback is up with an IPv4 address."));

    fleet::Search search(*m_endpoint, targets, m_timing.search);
    const QList<fleet::FoundModule> found = search.run(job.wanted);
    if (search.dropped().value_or(0) > 0)
        m_warning = cli::dropWarning(*search.dropped(), m_endpoint->receiveBufferGranted());
    if (m_cancelled)
        return {Outcome::Cancelled,
                QCoreApplication::translate("WriteRun",
                                            "Cancelled during the search: no write went out.")};
    const QList<NetworkInterface> interfaces = runningIPv4Interfaces();
    if (found.isEmpty())
        return notSent(cli::nothingAnsweredText(targets, interfaces));
    const fleet::PreparedWrites p = job.prepare(found, interfaces);
    if (p.refusal)
        return notSent(p.refusal->message);
    emit prepared(p);
    if (job.confirm && !job.confirm(p))
        return {Outcome::NotSent, QCoreApplication::translate("WriteRun", "Nothing was written.")};
    if (m_cancelled)
        return {Outcome::Cancelled,
                QCoreApplication::translate("WriteRun",
                                            "Cancelled before the first write: none went out.")};

    // Written once as it stands before anything is sent, so that a record that cannot be
    // written stops the run first.
    fleet::WriteRecordFile record(job.recordPath);
    if (!record.open() || !record.append(QList<fleet::RecordEntry>{}))
        return notSent(record.error());
    fleet::RecordedWrites kept(record, p.writes,
                               fleet::RecordContext::current(
                                   job.operatorName, adapterNames(targets.broadcasts), job.command),
                               p.rowNumbers);
    if (!kept.keepUnwritten(p.notWritten))
        return notSent(record.error());

    const int total =
        int(std::count_if(p.writes.begin(), p.writes.end(),
                          [](const fleet::PlannedWrite& w) { return !w.request.isEmpty(); }));
    int done = 0;
    emit progress(0, total);
    QString ignored; // what OrderedWrites would tell a terminal: the rows say it here
    QTextStream err(&ignored);
    fleet::OrderedWrites sender(*m_endpoint, search, m_timing.settleMs, false, nullptr, err,
                                m_cancelled);
    sender.beforeFirst([&](int i, const fleet::WriteResult& r) {
        if (!kept.before(i, r))
            return false;
        emit stateChanged(i, WriteState::Written);
        return true;
    });
    sender.onFinal([&](int i, const fleet::WriteResult& r) {
        const bool ok = kept.final(i, r, m_cancelled);
        emit stateChanged(i, r.confirmed ? WriteState::Confirmed
                             : r.sent    ? WriteState::NotConfirmed
                                         : WriteState::Skipped);
        emit progress(++done, total);
        return ok;
    });
    const QList<fleet::WriteResult> results = sender.run(p.writes, p.order);

    QStringList wentOut, unconfirmed, why;
    for (int i = 0; i < p.writes.size(); ++i) {
        const fleet::PlannedWrite& w = p.writes[i];
        const fleet::WriteResult& r = results[i];
        if (w.request.isEmpty())
            continue;
        if (r.sent)
            wentOut << QString::number(w.serialNumber);
        if (r.sent && !r.confirmed)
            unconfirmed << QString::number(w.serialNumber);
        if (!r.confirmed)
            why << QStringLiteral("%1: %2")
                       .arg(w.serialNumber)
                       .arg(fleet::whyNotConfirmed(r).shown);
    }
    if (m_cancelled)
        return {Outcome::Cancelled,
                QCoreApplication::translate(
                    "WriteRun",
                    "Cancelled: %1 of %2 writes went out (serial numbers %3); not confirmed: %4.")
                    .arg(wentOut.size())
                    .arg(total)
                    .arg(serials(wentOut), serials(unconfirmed))};
    if (kept.failed())
        return {Outcome::Failed,
                record.error() + QLatin1Char('\n') +
                    QCoreApplication::translate("WriteRun", "Nothing more was sent.")};
    if (!why.isEmpty())
        return {Outcome::NotConfirmed,
                QCoreApplication::translate(
                    "WriteRun",
                    "Not every write was confirmed: no reply carried exactly the record "
                    "written.") +
                    QLatin1Char('\n') + why.join(QLatin1Char('\n'))};
    if (!p.missing.isEmpty())
        return {Outcome::Missing,
                p.missing.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                    QCoreApplication::translate("WriteRun",
                                                "These rows were not written; the others were.")};
    if (total == 0)
        return {Outcome::Confirmed,
                QCoreApplication::translate("WriteRun",
                                            "Nothing to change: every module shows it already.")};
    return {Outcome::Confirmed,
            QCoreApplication::translate("WriteRun", "Writes confirmed: %1.").arg(total)};
}

} // namespace duva::frota
