#include "cli/commission.h"

#include "fleet/commissionplan.h"

#include "cli/console.h"
#include "fleet/commissioningdriver.h"
#include "fleet/commissioningrecord.h"
#include "fleet/fields.h"
#include "fleet/plan.h"
#include "fleet/recordfields.h"
#include "fleet/valuechecks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <algorithm>

namespace duva::cli
{

namespace
{

// The texts a person reads are translated under the context "Commission"
// (translations/duvactl_*.ts); QCoreApplication::translate() spelled out, so that lupdate
// finds each one without this file's header.

using Kind = fleet::CommissionEvent::Kind;

ModuleRecord written(const fleet::CommissionEvent& e)
{
    return *ModuleRecord::fromBytes(e.request.left(recordSize));
}

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1);
}

} // namespace

Commission::Commission(const Options& options, QTextStream& out, QTextStream& err)
    : m_o(options), m_out(out), m_err(err)
{
}

std::optional<Failure> Commission::prepare()
{
    if (m_o.arguments.size() != 1)
        return Failure{ExitStatus::Usage,
                       QCoreApplication::translate(
                           "Commission", "commission takes one plan file, PLAN.csv or PLAN.json")};
    if (!m_o.at)
        return Failure{ExitStatus::Usage,
                       QCoreApplication::translate(
                           "Commission", "commission needs --at ADDRESS, the address that fresh "
                                         "modules answer from")};
    const QString path = m_o.arguments.first();
    for (const NetworkInterface& i : runningIPv4Interfaces())
        m_ownAddresses << i.address;
    const fleet::CommissionPlan plan = fleet::readCommissionPlan(path, m_ownAddresses);
    switch (plan.unusable) {
    case fleet::CommissionPlan::Unusable::CannotRead:
        return Failure{ExitStatus::InvalidValue,
                       QCoreApplication::translate("Commission", "%1: cannot read: %2")
                           .arg(path, plan.reason)};
    case fleet::CommissionPlan::Unusable::Malformed:
        return Failure{ExitStatus::InvalidValue,
                       QCoreApplication::translate("Commission", "%1: %2").arg(path, plan.reason)};
    case fleet::CommissionPlan::Unusable::NoModule:
        return Failure{ExitStatus::InvalidValue,
                       QCoreApplication::translate("Commission", "%1: names no module").arg(path)};
    case fleet::CommissionPlan::Unusable::No:
        break;
    }
    m_rows = plan.rows;
    m_where = plan.where;
    QStringList errors = plan.cellRefusals;
    if (!m_o.force && !plan.valueRefusals.isEmpty())
        errors << plan.valueRefusals
               << QCoreApplication::translate("Commission",
                                              "(--force writes such values all the same)");
    if (!errors.isEmpty())
        return Failure{ExitStatus::InvalidValue,
                       QCoreApplication::translate("Commission", "%1: %2")
                               .arg(path, errors.join(QLatin1Char('\n'))) +
                           QCoreApplication::translate("Commission", "\nnothing was written")};

    if (!m_o.recordPath.isEmpty()) {
        m_record = std::make_unique<fleet::WriteRecordFile>(m_o.recordPath);
        // Written once now, as it stands, so that a file that cannot be written stops the run
        // before anything is sent.
        if (!m_record->open() || !m_record->append(QList<fleet::RecordEntry>{}))
            return Failure{ExitStatus::RecordFailed,
                           QCoreApplication::translate("Commission", "%1: %2\nnothing was written")
                               .arg(m_o.recordPath, m_record->error())};
        if (QFileInfo::exists(m_o.recordPath)) {
            const fleet::RecordContents earlier = fleet::readRecord(m_o.recordPath);
            m_resumed = fleet::confirmedRows(earlier.entries, m_rows);
            m_unconfirmed = fleet::unconfirmedRows(earlier.entries, m_rows);
        }
    }
    return std::nullopt;
}

QString Commission::why(const ModuleRecord& before, const ModuleRecord& after) const
{
    return fleet::commissionRefusal(before, after, m_ownAddresses, !m_o.force);
}

int Commission::rowsLeft() const
{
    return m_driver ? m_driver->rowsLeft() : int(m_rows.size() - m_resumed.size());
}

void Commission::json(const QJsonObject& o)
{
    m_out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
    m_out.flush();
}

void Commission::waiting()
{
    const QString at = dottedAddress(*m_o.at);
    if (m_o.format == Format::Json)
        json({{"event", "waiting"}, {"address", at}, {"rowsLeft", rowsLeft()}});
    else
        m_out << QCoreApplication::translate("Commission",
                                             "waiting for the next module at %1 (%n row(s) left)",
                                             nullptr, rowsLeft())
                     .arg(at)
              << '\n';
    m_out.flush();
}

void Commission::say(const fleet::CommissionEvent& e)
{
    const QString at = dottedAddress(*m_o.at);
    const bool text = m_o.format != Format::Json;
    const int planRow = e.row >= 0 && e.row < m_rows.size() ? m_rows.at(e.row).planRow : 0;
    const QString where = e.row >= 0 && e.row < m_where.size() ? m_where.at(e.row) : QString();
    QJsonObject o{{"event", ""}};
    if (e.kind != Kind::Several && e.kind != Kind::Finished)
        o.insert("serialNumber", e.serialNumber);
    if (e.row >= 0)
        o.insert("row", planRow);
    switch (e.kind) {
    case Kind::Several: {
        QStringList serials;
        QJsonArray list;
        for (int s : e.serials) {
            serials << QString::number(s);
            list.append(s);
        }
        o = {{"event", "several"}, {"address", at}, {"serialNumbers", list}};
        if (text)
            m_out << QCoreApplication::translate(
                         "Commission", "%1 modules answer at %2: serial numbers %3; leave only one "
                                       "connected")
                         .arg(e.serials.size())
                         .arg(at, serials.join(QStringLiteral(", ")))
                  << '\n';
        break;
    }
    case Kind::NoRow:
        o.insert("event", "noRow");
        if (text)
            m_out << QCoreApplication::translate(
                         "Commission",
                         "%1 at %2: no row of the plan is left for it; it is left as it "
                         "is")
                         .arg(e.serialNumber)
                         .arg(at)
                  << '\n';
        break;
    case Kind::Refused:
        o.insert("event", "refused");
        o.insert("reason", e.reason);
        if (text)
            m_out << QCoreApplication::translate("Commission", "%1 is not given %2: %3")
                         .arg(e.serialNumber)
                         .arg(where, e.reason)
                  << '\n';
        break;
    case Kind::Written:
        o.insert("event", "written");
        o.insert("address", written(e).ipAddressText());
        o.insert("write", e.writesSent);
        o.insert("request", QString::fromLatin1(e.request.toHex(' ').toUpper()));
        if (text)
            m_out << (e.writesSent == 1
                          ? QCoreApplication::translate("Commission", "writing %1 -> %2 (%3)")
                                .arg(e.serialNumber)
                                .arg(written(e).ipAddressText(), where)
                          : QCoreApplication::translate("Commission",
                                                        "writing %1 -> %2 again (write %3)")
                                .arg(e.serialNumber)
                                .arg(written(e).ipAddressText())
                                .arg(e.writesSent))
                  << '\n';
        break;
    case Kind::Confirmed:
        ++m_confirmed;
        o.insert("event", "confirmed");
        o.insert("address", written(e).ipAddressText());
        o.insert("ms", e.atMs - e.firstSeenMs);
        o.insert("writes", e.writesSent);
        if (text)
            m_out << QCoreApplication::translate("Commission", "%1 confirmed at %2 (%3 s)")
                         .arg(e.serialNumber)
                         .arg(written(e).ipAddressText(), seconds(e.atMs - e.firstSeenMs))
                  << "\a\n";
        break;
    case Kind::NotConfirmed:
        o.insert("event", "notConfirmed");
        o.insert("address", written(e).ipAddressText());
        o.insert("writes", e.writesSent);
        if (text)
            m_out << QCoreApplication::translate(
                         "Commission", "%1 not confirmed: no reply showed the record written at %2 "
                                       "within %3 s; it keeps its row if it answers again at %4")
                         .arg(e.serialNumber)
                         .arg(written(e).ipAddressText(), seconds(m_o.settleMs), at)
                  << '\n';
        break;
    case Kind::GaveUp:
        o.insert("event", "gaveUp");
        o.insert("writes", e.writesSent);
        if (text)
            m_out << QCoreApplication::translate(
                         "Commission",
                         "%1: not confirmed after %2 writes; it is not written again, "
                         "and its row goes to another module")
                         .arg(e.serialNumber)
                         .arg(e.writesSent)
                  << '\n';
        break;
    case Kind::Finished:
        o = {{"event", "finished"}, {"confirmed", m_confirmed}};
        if (text)
            m_out << QCoreApplication::translate(
                         "Commission", "every row is done: %n module(s) confirmed in this run",
                         nullptr, m_confirmed)
                  << '\n';
        break;
    }
    if (!text)
        json(o);
    m_out.flush();
    if (e.kind == Kind::Confirmed || e.kind == Kind::NotConfirmed || e.kind == Kind::GaveUp ||
        e.kind == Kind::NoRow || e.kind == Kind::Refused)
        if (rowsLeft() > 0)
            waiting();
}

ExitStatus Commission::run(UdpEndpoint& endpoint, const fleet::SearchTargets& targets,
                           const QList<NetworkInterface>& interfaces)
{
    fleet::CommissionTiming timing;
    timing.settleMs = m_o.settleMs;
    // At least one confirming search within a short settle period.
    timing.confirmSearchMs = std::clamp(m_o.settleMs / 2, 50, timing.confirmSearchMs);
    fleet::CommissionSearch search{targets.broadcasts, targets.series, m_o.timing.quietMs,
                                   std::min(1000, m_o.timing.totalMs), m_o.timing.totalMs};
    fleet::CommissioningDriver driver(endpoint, *m_o.at, m_rows, timing, search);
    m_driver = &driver;
    for (const auto& [row, serials] : m_resumed)
        driver.resume(row, serials);
    for (const auto& [row, entry] : m_unconfirmed)
        driver.resumeUnconfirmed(row, *entry.before, fleet::writeRequestHolding(*entry.after),
                                 entry.writesSent);

    QStringList names;
    for (const NetworkInterface& i : interfaces) {
        if (!names.contains(i.name))
            names << i.name;
    }
    const fleet::RecordContext context = fleet::RecordContext::current(
        m_o.operatorName, names.join(QStringLiteral(", ")), QStringLiteral("commission"));
    driver.setCheck([this](const ModuleRecord& before, const ModuleRecord& after) {
        return why(before, after);
    });
    bool recordFailed = false;
    std::optional<fleet::CommissioningRecord> record;
    if (m_record)
        record.emplace(*m_record, m_rows, context);
    driver.setKeep([&](const fleet::CommissionEvent& e) {
        if (!record || record->keep(e, QDateTime::currentDateTime()))
            return true;
        recordFailed = true;
        driver.setError(
            QCoreApplication::translate("Commission",
                                        "%1: the record could not be written: %2; nothing more is "
                                        "sent")
                .arg(m_record->path(), m_record->error()));
        return false;
    });
    QObject::connect(&driver, &fleet::CommissioningDriver::event, &driver,
                     [this](const fleet::CommissionEvent& e) { say(e); });

    if (!m_resumed.empty() && m_o.format != Format::Json)
        m_out << QCoreApplication::translate(
                     "Commission", "%1 shows %n row(s) confirmed already; they are skipped",
                     nullptr, int(m_resumed.size()))
                     .arg(m_o.recordPath)
              << '\n';
    QEventLoop loop;
    bool interrupted = false;
    QObject::connect(&driver, &fleet::CommissioningDriver::ended, &loop, &QEventLoop::quit);
    const InterruptWatch watch([&] {
        interrupted = true;
        driver.stop();
    });
    if (rowsLeft() > 0)
        waiting();
    driver.start();
    if (driver.isRunning())
        loop.exec();

    if (!driver.error().isEmpty()) {
        m_err << "duvactl: " << driver.error() << '\n';
        m_err.flush();
        return recordFailed ? ExitStatus::RecordFailed : ExitStatus::SendFailed;
    }
    if (interrupted) {
        const bool outstanding = driver.writeOutstanding();
        // The write under way is kept too, so that a later run confirms it (or sends it again)
        // instead of giving its row to another module.
        if (const auto e = driver.outstanding(); e && record) {
            if (!record->keepInterrupted(*e, QDateTime::currentDateTime())) {
                m_err << "duvactl: "
                      << QCoreApplication::translate("Commission",
                                                     "%1: the record could not be written: %2")
                             .arg(m_record->path(), m_record->error())
                      << '\n';
            }
        }
        if (m_o.format == Format::Json)
            json({{"event", "interrupted"},
                  {"confirmed", m_confirmed},
                  {"rowsLeft", rowsLeft()},
                  {"writeOutstanding", outstanding}});
        m_err << "duvactl: "
              << QCoreApplication::translate(
                     "Commission",
                     "interrupted: %1 module(s) confirmed in this run, %2 row(s) left; %3")
                     .arg(m_confirmed)
                     .arg(rowsLeft())
                     .arg(outstanding ? QCoreApplication::translate(
                                            "Commission", "the last write went out and is not "
                                                          "confirmed")
                                      : QCoreApplication::translate("Commission",
                                                                    "no write is outstanding"))
              << '\n';
        if (m_record)
            m_err << QCoreApplication::translate(
                         "Commission", "the same command with --record %1 goes on where this one "
                                       "stopped")
                         .arg(m_o.recordPath)
                  << '\n';
        m_err.flush();
        return ExitStatus::Interrupted;
    }
    // Every row done, but a row for one module whose writes were used up is not confirmed.
    if (int(m_resumed.size()) + m_confirmed < m_rows.size()) {
        m_err << "duvactl: "
              << QCoreApplication::translate("Commission",
                                             "every row is done, but not every module was "
                                             "confirmed")
              << '\n';
        m_err.flush();
        return ExitStatus::NotConfirmed;
    }
    return ExitStatus::Ok;
}

} // namespace duva::cli
