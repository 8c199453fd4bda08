#include "cli/duvactl.h"

#include "buildinfo.h"
#include "cli/commission.h"
#include "cli/console.h"
#include "cli/countdown.h"
#include "cli/exitstatus.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/searchreport.h"
#include "fleet/fields.h"
#include "fleet/missing.h"
#include "fleet/orderedwrites.h"
#include "fleet/plan.h"
#include "fleet/preparedwrites.h"
#include "fleet/recordfields.h"
#include "fleet/resolve.h"
#include "fleet/rollbackwrites.h"
#include "fleet/search.h"
#include "fleet/targets.h"
#include "fleet/writerecord.h"
#include "net/broadcastseries.h"
#include "net/interfaces.h"
#include "net/udpendpoint.h"
#include "protocol/confirmation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <memory>

namespace duva::cli
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Duvactl)
};
} // namespace

namespace
{

constexpr int replyPort = 5001;
// Room for the replies of a thousand modules answering at once, and more.
constexpr int replyBuffer = 4 << 20;

class Run
{
public:
    Run(Options options, QTextStream& out, QTextStream& err)
        : m_o(std::move(options)), m_out(out), m_err(err)
    {
    }

    ExitStatus run();

private:
    ExitStatus fail(const Failure& f)
    {
        m_err << "duvactl: " << f.message << '\n';
        m_err.flush();
        return f.status;
    }
    ExitStatus fail(ExitStatus status, const QString& message) { return fail({status, message}); }

    // A countdown on standard error: on a terminal, and not with --json.
    bool countdown() const { return m_o.format != Format::Json && errorIsTerminal(); }
    // Targets and the endpoint on the reply port; a failure when either cannot be had.
    std::optional<Failure> open(bool forReset = false);
    // The search, with a countdown on a terminal and a warning when this computer dropped
    // replies meanwhile.
    QList<fleet::FoundModule> searchFor(const fleet::Search::Wanted& wanted = {},
                                        bool untilWanted = false);
    void warn(const QString& text)
    {
        m_err << "duvactl: " << text << '\n';
        m_err.flush();
    }

    ExitStatus search();
    ExitStatus show();
    ExitStatus set();
    ExitStatus apply();
    ExitStatus reset();
    ExitStatus commission();
    ExitStatus rollback();
    ExitStatus write(const QList<fleet::PlanRow>& rows);
    // Prints the writes, sends them in their order (not on a dry run), keeps the record and
    // prints what became of each. entries: the record's entries of modules that are not
    // written (rows whose module did not answer), kept before anything is sent.
    ExitStatus send(const QList<fleet::PlannedWrite>& writes, const fleet::WriteOrder& order,
                    const QStringList& missing, QList<fleet::RecordEntry> entries, bool several);
    // Opens --record before anything is sent; nothing on a dry run, which writes no record.
    std::optional<Failure> openRecord();
    // The interfaces the search went through, for the record.
    QString interfaceNames() const;
    // The row that picks one module: ADDRESS (the first argument) or --serial N.
    std::optional<Failure> selector(fleet::PlanRow& row);

    Options m_o;
    QTextStream& m_out;
    QTextStream& m_err;
    std::unique_ptr<UdpEndpoint> m_endpoint;
    std::unique_ptr<fleet::Search> m_search;
    QList<NetworkInterface> m_interfaces;
    std::unique_ptr<fleet::WriteRecordFile> m_record;
    QHash<QString, int> m_rowNumbers; // where -> the plan's row or the record's entry (from 1)
};

std::optional<Failure> Run::open(bool forReset)
{
    const QList<NetworkInterface> interfaces = runningIPv4Interfaces();
    const fleet::TargetsResult t = forReset ? fleet::chooseResetNetworks(interfaces, m_o.where)
                                            : fleet::chooseTargets(interfaces, m_o.where);
    if (!t.targets)
        return Failure{exitStatusOf(t.status), t.error};
    m_endpoint = std::make_unique<UdpEndpoint>();
    // Every destination is a dotted address: no name is ever looked up.
    m_endpoint->setHostResolver(
        [](const QString&, QObject*, std::function<void(std::optional<quint32>)> done) {
            done(std::nullopt);
        });
    m_endpoint->setLocalPort(replyPort);
    if (!m_endpoint->isBound())
        return Failure{ExitStatus::PortHeld,
                       Texts::tr("UDP port %1 is held by another program (is the "
                                 "configurator window open?); replies could not reach "
                                 "duvactl, so nothing was sent")
                           .arg(replyPort)};
    m_endpoint->readBursts(replyBuffer);
    m_search = std::make_unique<fleet::Search>(*m_endpoint, *t.targets, m_o.timing);
    m_interfaces = interfaces;
    return std::nullopt;
}

QList<fleet::FoundModule> Run::searchFor(const fleet::Search::Wanted& wanted, bool untilWanted)
{
    const fleet::SearchTiming& t = m_search->timing();
    const Countdown c(m_err, countdown(), Texts::tr("searching"), t.attempts * t.totalMs);
    QList<fleet::FoundModule> found = m_search->run(wanted, untilWanted);
    if (m_search->dropped().value_or(0) > 0)
        warn(dropWarning(*m_search->dropped(), m_endpoint->receiveBufferGranted()));
    return found;
}

ExitStatus Run::run()
{
    try {
        if (m_o.command == QLatin1String("search"))
            return search();
        if (m_o.command == QLatin1String("show"))
            return show();
        if (m_o.command == QLatin1String("set"))
            return set();
        if (m_o.command == QLatin1String("apply"))
            return apply();
        if (m_o.command == QLatin1String("commission"))
            return commission();
        if (m_o.command == QLatin1String("rollback"))
            return rollback();
        return reset();
    } catch (const Exception& e) {
        return fail(ExitStatus::SendFailed, Texts::tr("sending failed: %1").arg(e.message()));
    }
}

// A --filter FIELD=VALUE as a test of a found module.
using Filter = std::function<bool(const fleet::FoundModule&)>;

std::optional<Failure> parseFilter(const QString& text, Filter& filter)
{
    const int equals = text.indexOf(QLatin1Char('='));
    const QString name = text.left(equals);
    const QString value = text.mid(equals + 1);
    if (equals <= 0)
        return Failure{ExitStatus::Usage, Texts::tr("--filter %1: not FIELD=VALUE").arg(text)};
    if (name == fleet::fromColumn) {
        filter = [value](const fleet::FoundModule& m) { return m.from.toString() == value; };
        return std::nullopt;
    }
    if (name == fleet::repliesColumn) {
        filter = [value](const fleet::FoundModule& m) {
            return QString::number(m.replies) == value;
        };
        return std::nullopt;
    }
    const fleet::Field* field = fleet::findField(name);
    if (!field)
        return Failure{
            ExitStatus::InvalidValue,
            Texts::tr("--filter %1: unknown field '%2' (the fields are %3, %4, "
                      "%5)")
                .arg(text, name, fleet::fieldNames(), fleet::fromColumn, fleet::repliesColumn)};
    const QString bad = fleet::checkValue(*field, value);
    if (!bad.isEmpty())
        return Failure{ExitStatus::InvalidValue,
                       Texts::tr("--filter %1, field %2: %3").arg(text, name, bad)};
    // The value as the module would show it: 1 matches true, for instance.
    filter = [field, value](const fleet::FoundModule& m) {
        RecordValues v = RecordValues::fromRecord(m.record);
        field->store(value, v);
        return field->text(*ModuleRecord::fromBytes(v.encode().left(recordSize))) ==
               field->text(m.record);
    };
    return std::nullopt;
}

ExitStatus Run::search()
{
    if (!m_o.arguments.isEmpty())
        return fail(ExitStatus::Usage,
                    Texts::tr("search takes no arguments ('%1')").arg(m_o.arguments.first()));
    QList<Filter> filters;
    for (const QString& text : m_o.filters) {
        Filter f;
        if (const auto failure = parseFilter(text, f))
            return fail(*failure);
        filters << f;
    }
    if (const auto failure = open())
        return fail(*failure);
    fleet::Search::Wanted expected;
    if (m_o.expect > 0)
        expected = [this](const QList<fleet::FoundModule>& f) { return f.size() >= m_o.expect; };
    QList<fleet::FoundModule> found = searchFor(expected, m_o.expect > 0);
    const bool anyAnswered = !found.isEmpty();
    const int answered = int(found.size());
    fleet::sortByAddress(found);
    for (const QString& warning : duplicateWarnings(found))
        warn(warning);
    found.removeIf([&filters](const fleet::FoundModule& m) {
        return !std::all_of(filters.begin(), filters.end(), [&m](const Filter& f) { return f(m); });
    });
    switch (m_o.format) {
    case Format::Json:
        m_out << modulesJson(found);
        break;
    case Format::Csv:
        m_out << modulesCsv(found, m_o.excel);
        break;
    case Format::Table:
        if (!found.isEmpty())
            m_out << modulesTable(found);
        break;
    }
    m_out.flush();
    if (!anyAnswered)
        return fail(ExitStatus::NotFound, nothingAnsweredText(m_search->targets(), m_interfaces));
    if (m_o.expect > 0) {
        warn(expectedText(answered, m_o.expect));
        if (answered < m_o.expect)
            return ExitStatus::NotFound;
    }
    if (found.isEmpty())
        return fail(ExitStatus::NotFound, Texts::tr("no module that answered matches"));
    return ExitStatus::Ok;
}

std::optional<Failure> Run::selector(fleet::PlanRow& row)
{
    row.fieldWord = QStringLiteral("field");
    if (m_o.serial) {
        row.serialNumber = m_o.serial;
        row.where = QStringLiteral("--serial %1").arg(*m_o.serial);
        return std::nullopt;
    }
    if (m_o.arguments.isEmpty())
        return Failure{ExitStatus::Usage,
                       Texts::tr("%1 needs the module's ADDRESS or --serial N").arg(m_o.command)};
    const QString address = m_o.arguments.takeFirst();
    if (!fleet::parseAddress(address))
        return Failure{ExitStatus::InvalidValue,
                       Texts::tr("'%1' is not an IPv4 address: four numbers from 0 to 255 "
                                 "joined by dots")
                           .arg(address)};
    row.ipAddress = Ipv4Address::parse(address);
    row.where = address;
    return std::nullopt;
}

ExitStatus Run::show()
{
    fleet::PlanRow row;
    if (const auto failure = selector(row))
        return fail(*failure);
    if (!m_o.arguments.isEmpty())
        return fail(ExitStatus::Usage,
                    Texts::tr("show takes one module ('%1')").arg(m_o.arguments.first()));
    if (const auto failure = open())
        return fail(*failure);
    QList<fleet::FoundModule> found = searchFor(everyModuleOf({row}));
    found.removeIf([&row](const fleet::FoundModule& m) { return !row.picks(m.record); });
    fleet::sortByAddress(found);
    if (found.isEmpty())
        return fail(ExitStatus::NotFound,
                    Texts::tr("no module %1 answered")
                        .arg(row.serialNumber
                                 ? Texts::tr("with serial number %1").arg(*row.serialNumber)
                                 : Texts::tr("at %1").arg(row.addressText())));
    if (m_o.format == Format::Json)
        m_out << (found.size() == 1
                      ? QString::fromUtf8(QJsonDocument(moduleJson(found.first())).toJson())
                      : modulesJson(found));
    else if (m_o.format == Format::Csv)
        m_out << modulesCsv(found, m_o.excel);
    else
        for (int i = 0; i < found.size(); ++i)
            m_out << (i ? "\n" : "") << moduleLines(found[i]);
    m_out.flush();
    if (found.size() > 1) {
        QStringList serials;
        for (const fleet::FoundModule& m : found)
            serials << QString::number(moduleIdentity(m.record));
        return fail(ExitStatus::SharedAddress,
                    Texts::tr("%1 modules answer %2 (serial numbers %3)")
                        .arg(found.size())
                        .arg(row.serialNumber
                                 ? Texts::tr("with serial number %1").arg(*row.serialNumber)
                                 : Texts::tr("at %1").arg(row.addressText()),
                             serials.join(QStringLiteral(", "))));
    }
    return ExitStatus::Ok;
}

ExitStatus Run::set()
{
    fleet::PlanRow row;
    if (const auto failure = selector(row))
        return fail(*failure);
    if (m_o.arguments.isEmpty())
        return fail(ExitStatus::Usage, Texts::tr("set needs at least one FIELD=VALUE"));
    QStringList errors; // every bad argument at once
    for (const QString& argument : m_o.arguments) {
        const fleet::ParsedChange parsed = fleet::parseAssignment(argument);
        if (parsed.change)
            row.changes << *parsed.change;
        else
            errors << parsed.error;
    }
    if (!errors.isEmpty())
        return fail(ExitStatus::InvalidValue, errors.join(QLatin1Char('\n')));
    return write({row});
}

ExitStatus Run::apply()
{
    if (m_o.arguments.size() != 1)
        return fail(ExitStatus::Usage, Texts::tr("apply takes one plan file, PLAN.csv or "
                                                 "PLAN.json"));
    const QString path = m_o.arguments.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(ExitStatus::InvalidValue,
                    Texts::tr("%1: cannot read: %2").arg(path, file.errorString()));
    const fleet::Plan plan = fleet::readPlan(file.readAll(), fleet::planFormatOf(path));
    if (!plan.error.isEmpty())
        return fail(ExitStatus::InvalidValue, Texts::tr("%1: %2").arg(path, plan.error));
    if (plan.rows.isEmpty())
        return fail(ExitStatus::InvalidValue, Texts::tr("%1: names no module").arg(path));
    return write(plan.rows);
}

std::optional<Failure> Run::openRecord()
{
    if (m_o.recordPath.isEmpty() || m_o.dryRun)
        return std::nullopt;
    m_record = std::make_unique<fleet::WriteRecordFile>(m_o.recordPath);
    // Written once now, as it stands, so that a file that cannot be written (a full disk, a
    // read-only file) stops the run before anything is sent.
    if (!m_record->open() || !m_record->append(QList<fleet::RecordEntry>{}))
        return Failure{ExitStatus::RecordFailed,
                       m_record->error() + Texts::tr("\nnothing was sent")};
    return std::nullopt;
}

QString Run::interfaceNames() const
{
    QStringList names;
    for (const NetworkInterface& i : m_interfaces) {
        const fleet::SearchTargets& t = m_search->targets();
        const bool used =
            t.broadcasts.contains(i.broadcast) ||
            std::any_of(t.series.begin(), t.series.end(), [&i](const std::pair<int, int>& s) {
                return i.address.toUInt32() >> 16 == quint32(s.first << 8 | s.second);
            });
        const QString name = i.shownName.isEmpty() ? i.name : i.shownName;
        if (used && !names.contains(name))
            names << name;
    }
    return names.join(QStringLiteral(", "));
}

ExitStatus Run::write(const QList<fleet::PlanRow>& planRows)
{
    if (const auto failure = openRecord())
        return fail(*failure);
    if (const auto failure = open())
        return fail(*failure);
    const QList<fleet::FoundModule> found = searchFor(everyModuleOf(planRows));
    if (found.isEmpty())
        return fail(ExitStatus::NotFound, nothingAnsweredText(m_search->targets(), m_interfaces) +
                                              Texts::tr("\nnothing was written"));
    fleet::ValueChecks checks;
    checks.force = m_o.force;
    for (const NetworkInterface& i : runningIPv4Interfaces())
        checks.ownAddresses << i.address;
    const fleet::PreparedWrites prepared =
        fleet::preparePlan(planRows, found, m_o.skipMissing, checks, m_o.via);
    if (prepared.refusal)
        return fail(exitStatusOf(prepared.refusal->status),
                    prepared.refusal->message + Texts::tr("\nnothing was written"));
    if (m_o.command == QLatin1String("apply"))
        m_rowNumbers = prepared.rowNumbers;
    return send(prepared.writes, prepared.order, prepared.missing, prepared.notWritten,
                planRows.size() > 1);
}

ExitStatus Run::send(const QList<fleet::PlannedWrite>& writes, const fleet::WriteOrder& order,
                     const QStringList& missing, QList<fleet::RecordEntry> entries, bool several)
{
    const bool text = m_o.format != Format::Json;
    if (text) {
        for (const fleet::PlannedWrite& w : writes) {
            m_out << Texts::tr("Module %1 at %2")
                         .arg(w.serialNumber)
                         .arg(w.currentAddress.toString());
            if (several)
                m_out << " (" << w.row.where << ")";
            m_out << (w.request.isEmpty() ? Texts::tr(": no change") : QStringLiteral(":")) << '\n';
            for (const QString& change : w.changes)
                m_out << "  " << change << '\n';
            if (m_o.dryRun && !w.request.isEmpty())
                m_out << "  "
                      << Texts::tr("WriteRequest to %1:%2:")
                             .arg(w.currentAddress.toString())
                             .arg(modulePort)
                      << "\n    "
                      << fleet::hexRows(w.request).replace(QLatin1Char('\n'),
                                                           QLatin1String("\n    "))
                      << '\n';
        }
        m_out << fleet::describeOrder(order, writes);
        m_out.flush();
    }

    // The modules that are not written are in the record before the first write goes.
    std::optional<fleet::RecordedWrites> kept;
    if (m_record) {
        kept.emplace(*m_record, writes,
                     fleet::RecordContext::current(m_o.operatorName, interfaceNames(), m_o.command),
                     m_rowNumbers);
        if (!kept->keepUnwritten(entries))
            return fail(ExitStatus::RecordFailed,
                        m_record->error() + Texts::tr("\nnothing was written"));
    }

    QList<fleet::WriteResult> results(writes.size());
    bool interrupted = false;
    fleet::Why cutShort;
    if (!m_o.dryRun) {
        // Ctrl+C from here on ends the waits, and the table says what went out.
        const InterruptWatch watch([&interrupted] {
            interrupted = true;
            QCoreApplication::exit(int(ExitStatus::Interrupted));
        });
        fleet::OrderedWrites sender(*m_endpoint, *m_search, m_o.settleMs, countdown(),
                                    text ? &m_out : nullptr, m_err, interrupted);
        sender.showWait([this](const QString& what, int ms) {
            return std::make_shared<Countdown>(m_err, true, what, ms);
        });
        if (kept) {
            sender.beforeFirst(
                [&](int i, const fleet::WriteResult& r) { return kept->before(i, r); });
            sender.onFinal(
                [&](int i, const fleet::WriteResult& r) { return kept->final(i, r, interrupted); });
        }
        results = sender.run(writes, order);
    }
    const bool recordFailed = kept && kept->failed();
    if (interrupted)
        cutShort = {QStringLiteral("interrupted"), Texts::tr("interrupted")};
    else if (recordFailed)
        cutShort = {QStringLiteral("not sent on: the record could not be written"),
                    Texts::tr("not sent on: the record could not be written")};

    bool allConfirmed = true;
    QStringList wentOut, unconfirmed;
    QJsonArray json;
    QList<QStringList> table{{Texts::tr("where"), Texts::tr("serialNumber"), Texts::tr("address"),
                              Texts::tr("newAddress"), Texts::tr("status")}};
    for (int i = 0; i < writes.size(); ++i) {
        const fleet::PlannedWrite& w = writes[i];
        const fleet::WriteResult& r = results[i];
        const bool sends = !w.request.isEmpty();
        // The JSON in English, the same in every language; the table in the user's.
        const char* state = !sends        ? QT_TRANSLATE_NOOP("Duvactl", "unchanged")
                            : m_o.dryRun  ? QT_TRANSLATE_NOOP("Duvactl", "not sent (dry run)")
                            : r.confirmed ? QT_TRANSLATE_NOOP("Duvactl", "confirmed")
                            : !r.sent     ? QT_TRANSLATE_NOOP("Duvactl", "not sent")
                                          : QT_TRANSLATE_NOOP("Duvactl", "not confirmed");
        const QString status = QString::fromLatin1(state);
        fleet::Why why;
        if (!m_o.dryRun && sends && !r.confirmed) {
            allConfirmed = false;
            why = fleet::whyNotConfirmed(r, cutShort);
        }
        if (r.sent) {
            wentOut << QString::number(w.serialNumber);
            if (!r.confirmed)
                unconfirmed << QString::number(w.serialNumber);
        }
        const QString statusCell = Texts::tr(state);
        table << QStringList{w.row.where, QString::number(w.serialNumber),
                             w.currentAddress.toString(), w.newAddress.toString(),
                             why.english.isEmpty() ? statusCell
                                                   : statusCell + QStringLiteral(": ") + why.shown};
        QJsonObject o{{"where", w.row.whereForScripts()},
                      {"serialNumber", w.serialNumber},
                      {"address", w.currentAddress.toString()},
                      {"newAddress", w.newAddress.toString()},
                      {"status", status},
                      {"changes", QJsonArray::fromStringList(w.changes)}};
        if (!why.english.isEmpty())
            o.insert("reason", why.english);
        if (sends)
            o.insert("request", QString::fromLatin1(w.request.toHex(' ').toUpper()));
        json.append(o);
    }
    if (text)
        m_out << textTable(table);
    else
        m_out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    m_out.flush();
    if (recordFailed && !interrupted)
        return fail(ExitStatus::RecordFailed,
                    m_record->error() + Texts::tr("\nnothing more was sent"));
    if (interrupted)
        return fail(
            ExitStatus::Interrupted,
            Texts::tr("interrupted: %1 of %2 writes went out (serial numbers %3); "
                      "not confirmed: %4")
                .arg(wentOut.size())
                .arg(std::count_if(
                    writes.begin(), writes.end(),
                    [](const fleet::PlannedWrite& w) { return !w.request.isEmpty(); }))
                .arg(wentOut.isEmpty() ? Texts::tr("none") : wentOut.join(QStringLiteral(", ")),
                     unconfirmed.isEmpty() ? Texts::tr("none")
                                           : unconfirmed.join(QStringLiteral(", "))));
    if (!allConfirmed)
        return fail(ExitStatus::NotConfirmed,
                    Texts::tr("not every write was confirmed: no reply carried exactly "
                              "the record written"));
    if (!missing.isEmpty())
        return fail(ExitStatus::NotFound,
                    missing.join(QLatin1Char('\n')) +
                        Texts::tr("\nthese rows were not written; the others were"));
    return ExitStatus::Ok;
}

ExitStatus Run::commission()
{
    Commission c(m_o, m_out, m_err);
    if (const auto failure = c.prepare())
        return fail(*failure);
    if (const auto failure = open())
        return fail(*failure);
    return c.run(*m_endpoint, m_search->targets(), m_interfaces);
}

ExitStatus Run::rollback()
{
    if (m_o.arguments.size() != 1)
        return fail(ExitStatus::Usage, Texts::tr("rollback takes one record of writes, "
                                                 "RECORD.json or RECORD.csv"));
    const QString path = m_o.arguments.first();
    const fleet::RecordContents record = fleet::readRecord(path);
    if (!record.error.isEmpty())
        return fail(ExitStatus::InvalidValue, record.error);
    const QList<fleet::PlanRow> wanted = fleet::rollbackWanted(record.entries);
    if (wanted.isEmpty()) {
        m_out << Texts::tr("%1 holds no confirmed write: nothing to undo").arg(path) << '\n';
        m_out.flush();
        return ExitStatus::Ok;
    }
    if (const auto failure = openRecord())
        return fail(*failure);
    if (const auto failure = open())
        return fail(*failure);
    const QList<fleet::FoundModule> found = searchFor(everyModuleOf(wanted));
    QList<Ipv4Address> own;
    for (const NetworkInterface& i : runningIPv4Interfaces())
        own << i.address;
    const fleet::PreparedWrites prepared =
        fleet::prepareRollback(record.entries, found, own, m_o.skipMissing, m_o.via);
    if (prepared.refusal)
        return fail(exitStatusOf(prepared.refusal->status),
                    prepared.refusal->message + Texts::tr("\nnothing was written"));
    m_rowNumbers = prepared.rowNumbers;
    return send(prepared.writes, prepared.order, prepared.missing, prepared.notWritten, true);
}

ExitStatus Run::reset()
{
    if (!m_o.arguments.isEmpty())
        return fail(ExitStatus::Usage,
                    Texts::tr("reset takes no arguments ('%1')").arg(m_o.arguments.first()));
    const fleet::TargetsResult t = fleet::chooseResetNetworks(runningIPv4Interfaces(), m_o.where);
    if (!t.targets)
        return fail(exitStatusOf(t.status), t.error);
    const QString what =
        Texts::tr("the reset datagram (65 zero bytes) to UDP port %1 at %2, 256 datagrams "
                  "for each /16, 1 ms apart; every module in those networks takes it")
            .arg(resetPort)
            .arg(t.targets->describe().join(QStringLiteral(" and ")));
    if (!m_o.yes)
        return fail(ExitStatus::Usage,
                    Texts::tr("reset would broadcast %1. Give --yes to send it.").arg(what));
    if (const auto failure = open(true))
        return fail(*failure);
    const QByteArray datagram = ResetDatagram::build();
    for (const auto& [a, b] : t.targets->series)
        sendToEveryNetworkOfPrefix(*m_endpoint, a, b, resetPort, datagram);
    m_out << Texts::tr("Sent %1.").arg(what) << '\n';
    m_out.flush();
    return ExitStatus::Ok;
}

} // namespace

QString duvactlHelp()
{
    QCommandLineParser parser;
    describe(parser);
    // Named as installed, whatever path it was started by.
    const QString usage = QCoreApplication::translate("QCommandLineParser", "Usage: %1");
    const QString before =
        QRegularExpression::escape(usage.left(usage.indexOf(QLatin1String("%1"))));
    return parser.helpText().replace(
        QRegularExpression(QLatin1Char('^') + before + QStringLiteral("\\S+")),
        usage.arg(QStringLiteral("duvactl")));
}

int runDuvactl(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Options options;
    bool help = false;
    bool version = false;
    if (const auto failure = readOptions(arguments, options, help, version)) {
        err << "duvactl: " << failure->message << '\n'
            << Texts::tr("Try 'duvactl --help'.") << '\n';
        err.flush();
        return int(failure->status);
    }
    if (help) {
        out << duvactlHelp();
        return 0;
    }
    if (version) {
        out << "duvactl " << programVersion << '\n';
        return 0;
    }
    return int(Run(std::move(options), out, err).run());
}

} // namespace duva::cli
