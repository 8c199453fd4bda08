#include "fleet/orderedwrites.h"

#include "fleet/fields.h"
#include "fleet/search.h"
#include "net/broadcastseries.h"
#include "net/interfaces.h"
#include "net/udpendpoint.h"
#include "protocol/confirmation.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <chrono>

namespace duva::fleet
{

namespace
{
// The texts a person reads, translated (translations/duvactl_*.ts).
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(OrderedWrites)
};

// Why a write is not confirmed: in English for scripts (the JSON's reason), and in the
// user's language for the table.
void giveReason(WriteResult& r, const char* text, const QStringList& arguments)
{
    r.why = QString::fromUtf8(text);
    r.whyText = Texts::tr(text);
    for (const QString& a : arguments) {
        r.why = r.why.arg(a);
        r.whyText = r.whyText.arg(a);
    }
}
} // namespace

QList<fleet::Move> movesOf(const QList<PlannedWrite>& writes)
{
    QList<fleet::Move> moves;
    for (int i = 0; i < writes.size(); ++i) {
        const PlannedWrite& w = writes[i];
        if (!w.request.isEmpty())
            moves << fleet::Move{i, w.currentAddress, w.newAddress};
    }
    return moves;
}

QString describeCycle(const QList<int>& cycle, const QList<PlannedWrite>& writes)
{
    QStringList parts;
    for (const int i : cycle)
        parts << QStringLiteral("%1 %2 -> %3")
                     .arg(writes[i].serialNumber)
                     .arg(writes[i].currentAddress.toString(), writes[i].newAddress.toString());
    return parts.join(QStringLiteral(", "));
}

PlannedOrder planOrder(const QList<PlannedWrite>& writes, const QList<FoundModule>& found,
                       const QList<Ipv4Address>& via)
{
    PlannedOrder planned;
    QStringList problems;
    for (int i = 0; i < via.size(); ++i) {
        const QString address = via[i].toString();
        if (via.indexOf(via[i]) < i)
            problems << Texts::tr("--via %1 is given twice").arg(address);
        for (const FoundModule& m : found) {
            if (addressOf(m.record) == via[i] || m.from == via[i])
                problems << Texts::tr("--via %1: the module with serial number %2 answers "
                                      "there; a temporary address must be free")
                                .arg(address)
                                .arg(moduleIdentity(m.record));
        }
        for (const PlannedWrite& w : writes) {
            if (!w.request.isEmpty() && w.newAddress == via[i])
                problems << Texts::tr("--via %1 is the new address of the module with "
                                      "serial number %2 (%3)")
                                .arg(address)
                                .arg(w.serialNumber)
                                .arg(w.row.where);
        }
    }
    if (!problems.isEmpty()) {
        planned.error = problems.join(QLatin1Char('\n'));
        return planned;
    }
    planned.order = fleet::orderWrites(movesOf(writes), via);
    if (planned.order.refused) {
        for (const QList<int>& cycle : planned.order.cycles) {
            QStringList serials, rows;
            for (const int i : cycle) {
                serials << QString::number(writes[i].serialNumber);
                rows << writes[i].row.where;
            }
            problems << Texts::tr("the modules with serial numbers %1 (%2) move onto one "
                                  "another's addresses in a cycle (%3): a write to one "
                                  "would reach another that has just moved there")
                            .arg(serials.join(QStringLiteral(", ")),
                                 rows.join(QStringLiteral(", ")), describeCycle(cycle, writes));
        }
        problems << Texts::tr("give a free temporary address with --via A.B.C.D (%1 "
                              "needed, one for each cycle; %2 given)")
                        .arg(planned.order.cycles.size())
                        .arg(via.size());
        planned.error = problems.join(QLatin1Char('\n'));
    }
    return planned;
}

QString describeOrder(const fleet::WriteOrder& order, const QList<PlannedWrite>& writes)
{
    const QList<fleet::Move> moves = movesOf(writes);
    const bool moving = std::any_of(moves.begin(), moves.end(),
                                    [](const fleet::Move& m) { return m.from != m.to; });
    if (moves.size() < 2 || !moving)
        return {};
    QString text = Texts::tr("Order of the writes (each module is written before another "
                             "moves onto its address):") +
                   QLatin1Char('\n');
    int n = 0;
    for (int round = 0; round < order.rounds.size(); ++round) {
        if (round > 0)
            text += QStringLiteral("  ") +
                    Texts::tr("then, once each is confirmed at its temporary address:") +
                    QLatin1Char('\n');
        for (const fleet::OrderedWrite& w : order.rounds[round]) {
            text += QStringLiteral("  ") +
                    Texts::tr("%1. %2 at %3 -> %4%5")
                        .arg(++n)
                        .arg(writes[w.module].serialNumber)
                        .arg(w.sendTo.toString(), w.newAddress.toString(),
                             w.parks ? QLatin1Char(' ') + Texts::tr("(temporary)") : QString()) +
                    QLatin1Char('\n');
        }
    }
    return text;
}

OrderedWrites::OrderedWrites(UdpEndpoint& endpoint, Search& search, int settleMs, bool countdown,
                             QTextStream* out, QTextStream& err, const bool& interrupted)
    : m_endpoint(endpoint), m_search(search), m_settleMs(settleMs), m_countdown(countdown),
      m_out(out), m_err(err), m_interrupted(interrupted)
{
}

QByteArray OrderedWrites::requestFor(const fleet::OrderedWrite& w) const
{
    QByteArray request = (*m_writes)[w.module].request;
    if (w.parks) {
        // The record it will carry, at the temporary address.
        for (int i = 0; i < 4; ++i)
            request[offset::ipAddress + i] = char(w.newAddress.octet(i));
    }
    return request;
}

bool OrderedWrites::gone(int module) const
{
    return m_results[module].confirmed || m_parked[module];
}

QList<fleet::OrderedWrite> OrderedWrites::send(const QList<fleet::OrderedWrite>& writes,
                                               bool knownFree)
{
    QList<fleet::OrderedWrite> sent;
    const PreciseWaits precise;
    for (const fleet::OrderedWrite& w : writes) {
        // Once confirmations are in, a module moves only onto an address whose holder is
        // known to have left it.
        const int holder = m_holding.value(w.newAddress, -1);
        if (knownFree && holder >= 0 && holder != w.module && !gone(holder)) {
            giveReason(
                m_results[w.module],
                w.fromVia
                    ? QT_TRANSLATE_NOOP("OrderedWrites", "left at the temporary address %1: %2, "
                                                         "which held %3, is not confirmed gone")
                    : QT_TRANSLATE_NOOP("OrderedWrites", "not sent again from %1: %2, which held "
                                                         "%3, is not confirmed gone"),
                {w.sendTo.toString(), QString::number((*m_writes)[holder].serialNumber),
                 w.newAddress.toString()});
            continue;
        }
        if (!fleet::maySend(w, m_sent)) {
            const auto other = std::find_if(m_sent.begin(), m_sent.end(), [&](const auto& s) {
                return s.module != w.module && s.newAddress == w.sendTo;
            });
            giveReason(
                m_results[w.module],
                QT_TRANSLATE_NOOP("OrderedWrites", "not sent again: %1 was given to %2"),
                {w.sendTo.toString(), QString::number((*m_writes)[other->module].newSerialNumber)});
            continue;
        }
        if (!sent.isEmpty()) {
            // A round of a hundred writes lasts a tenth of a second: the window that drives it
            // goes on drawing meanwhile, and a Cancel or Ctrl+C stops it before the next write.
            QCoreApplication::processEvents();
            if (m_interrupted)
                break;
            waitUntil(std::chrono::steady_clock::now() + seriesPause);
        }
        if (m_results[w.module].writesSent == 0 && m_beforeFirst) {
            WriteResult going = m_results[w.module];
            going.sent = true;
            going.writesSent = 1;
            if (!m_beforeFirst(w.module, going)) {
                m_stopped = true;
                break;
            }
        }
        m_endpoint.setRemoteHost(w.sendTo.toString());
        m_endpoint.setRemotePort(modulePort);
        QBuffer stream;
        stream.setData(requestFor(w));
        stream.open(QIODevice::ReadOnly);
        m_endpoint.sendDatagram(stream);
        m_sent << w;
        sent << w;
        m_results[w.module].sent = true;
        ++m_results[w.module].writesSent;
    }
    return sent;
}

void OrderedWrites::confirm(const QList<fleet::OrderedWrite>& writes, bool again)
{
    const int count = int(writes.size());
    if (m_out) {
        const char* sent =
            count == 1
                ? (again ? QT_TRANSLATE_NOOP("OrderedWrites",
                                             "Sent %1 write again; confirming it as soon as the "
                                             "module shows it, within %2 ms.")
                         : QT_TRANSLATE_NOOP("OrderedWrites",
                                             "Sent %1 write; confirming it as soon as the "
                                             "module shows it, within %2 ms."))
                : (again ? QT_TRANSLATE_NOOP("OrderedWrites",
                                             "Sent %1 writes again; confirming each as soon as "
                                             "its module shows it, within %2 ms.")
                         : QT_TRANSLATE_NOOP("OrderedWrites",
                                             "Sent %1 writes; confirming each as soon as its "
                                             "module shows it, within %2 ms."));
        *m_out << QCoreApplication::translate("OrderedWrites", sent).arg(count).arg(m_settleMs)
               << '\n';
        m_out->flush();
    }
    QList<bool> done(writes.size(), false);
    // A module is confirmed by a reply carrying its serial number and exactly what was
    // written to it; a reply with other values only says where it answers now.
    const auto check = [&](const QList<FoundModule>& replies) {
        for (const FoundModule& m : replies) {
            for (int k = 0; k < writes.size(); ++k) {
                const fleet::OrderedWrite& w = writes[k];
                WriteResult& r = m_results[w.module];
                if (done[k] || moduleIdentity(m.record) != (*m_writes)[w.module].newSerialNumber)
                    continue;
                r.answered = true;
                r.differing = fieldsDifferingFromWrite(m.record, requestFor(w));
                m_answeredAt[w.module] = addressOf(m.record);
                done[k] = r.differing.isEmpty();
            }
        }
        return std::all_of(done.begin(), done.end(), [](bool d) { return d; });
    };
    const std::shared_ptr<void> shown =
        m_countdown && m_showWait
            ? m_showWait(QCoreApplication::translate("OrderedWrites", "confirming"), m_settleMs)
            : nullptr;
    // A search every pollMs from the write on, the last one ending with the settle period;
    // one at least, which waits its quiet period, however short the settle period is.
    const auto start = std::chrono::steady_clock::now();
    const int polls = std::max(1, (m_settleMs + pollMs - 1) / pollMs);
    for (int poll = 0; poll < polls && !stopping(); ++poll) {
        const auto end =
            start + std::chrono::milliseconds(std::min((poll + 1) * pollMs, m_settleMs));
        const auto left = [&end] {
            return int(std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now())
                           .count());
        };
        const bool all = check(m_search.once(check, std::max(left(), m_search.timing().quietMs)));
        QList<int> confirmed;
        for (int k = 0; k < writes.size(); ++k) {
            if (done[k] && !writes[k].parks && !m_results[writes[k].module].confirmed) {
                m_results[writes[k].module].confirmed = true;
                confirmed << writes[k].module;
            }
            if (writes[k].parks)
                m_parked[writes[k].module] = done[k];
        }
        // Each confirmed module's outcome is kept before anything more is sent.
        report(confirmed);
        if (all || stopping())
            break;
        // The search ended early, a quiet period after the last reply: the next one waits.
        if (poll + 1 < polls && left() > 0)
            m_search.pause(left());
    }
}

void OrderedWrites::report(const QList<int>& modules)
{
    for (const int i : modules) {
        if (m_stopped || m_reported[i] || (*m_writes)[i].request.isEmpty())
            continue;
        m_reported[i] = true;
        if (m_final && !m_final(i, m_results[i]))
            m_stopped = true;
    }
}

QList<WriteResult> OrderedWrites::run(const QList<PlannedWrite>& writes,
                                      const fleet::WriteOrder& order)
{
    constexpr int resends = 2;
    m_writes = &writes;
    m_results = QList<WriteResult>(writes.size());
    m_parked = QList<bool>(writes.size(), false);
    m_reported = QList<bool>(writes.size(), false);
    m_stopped = false;
    m_sent.clear();
    m_holding.clear();
    m_answeredAt.clear();
    for (int i = 0; i < writes.size(); ++i)
        m_holding.insert(writes[i].currentAddress, i);

    for (int round = 0; round < order.rounds.size() && !stopping(); ++round) {
        QList<fleet::OrderedWrite> due;
        for (const fleet::OrderedWrite& w : order.rounds[round]) {
            if (!w.fromVia || m_parked[w.module])
                due << w;
        }
        // The first round goes out in one burst, each module before another moves onto its
        // address; what goes later waits for confirmations.
        QList<fleet::OrderedWrite> pending = send(due, round > 0);
        for (int attempt = 0; !pending.isEmpty() && !stopping(); ++attempt) {
            confirm(pending, attempt > 0);
            if (stopping())
                break;
            pending.removeIf([&](const fleet::OrderedWrite& w) {
                return w.parks ? m_parked[w.module] : m_results[w.module].confirmed;
            });
            if (attempt == resends)
                break;
            // A module that answered with other values goes by the address it answered from.
            for (fleet::OrderedWrite& w : pending)
                w.sendTo = m_answeredAt.value(w.module, w.sendTo);
            // Those that may not go again stay pending no more.
            pending = send(pending, true);
        }
        if (stopping())
            break;
        // What this round leaves unconfirmed is final, but for modules waiting at their
        // temporary address for the next round.
        QList<int> given;
        for (const fleet::OrderedWrite& w : order.rounds[round]) {
            if (w.parks && !m_parked[w.module])
                giveReason(m_results[w.module],
                           QT_TRANSLATE_NOOP("OrderedWrites",
                                             "not confirmed at the temporary address %1, so not "
                                             "written from there"),
                           {w.newAddress.toString()});
            if (!w.parks || !m_parked[w.module])
                given << w.module;
        }
        report(given);
    }
    QList<int> rest;
    for (int i = 0; i < writes.size(); ++i) {
        if (m_parked[i] && !m_results[i].confirmed && m_results[i].why.isEmpty() && !stopping())
            giveReason(
                m_results[i],
                QT_TRANSLATE_NOOP("OrderedWrites", "it did not come from its temporary address"),
                {});
        rest << i;
    }
    // Whatever is still open when the run ends early is handed on as it stands.
    report(rest);
    return m_results;
}

} // namespace duva::fleet
