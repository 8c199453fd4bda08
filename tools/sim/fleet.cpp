#include "tools/sim/fleet.h"

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"

#include <algorithm>

namespace duva::sim
{

namespace
{

bool isRequest(const QByteArray& datagram, quint8 opcode)
{
    return datagram.size() == requestSize &&
           static_cast<quint8>(datagram.at(offset::opcode)) == opcode &&
           static_cast<quint8>(datagram.at(offset::trailer)) == requestTrailer;
}

QString moduleText(int module, const QByteArray& record)
{
    const auto parsed = ModuleRecord::fromBytes(record);
    return QStringLiteral("module %1 (%2)")
        .arg(module + 1)
        .arg(parsed ? parsed->ipAddressText() : QStringLiteral("?"));
}

} // namespace

Fleet::Fleet(std::vector<QByteArray> records, Faults faults)
    : m_initial(records), m_records(std::move(records)), m_muted(m_records.size(), false),
      m_ignoredAWrite(m_records.size(), false), m_oldRecord(m_records.size()),
      m_oldFor(m_records.size(), 0), m_connected(m_records.size(), true), m_faults(faults),
      m_random(faults.seed)
{
    chooseModulesIgnoringASearch();
}

void Fleet::chooseModulesIgnoringASearch()
{
    // Exactly the share asked for, every module's turn coming as the share adds up to a
    // whole one, without drawing on the random faults.
    const int percent = std::clamp(m_faults.ignoreFirstSearchPercent, 0, 100);
    m_ignoresNextSearch.assign(m_records.size(), false);
    for (int i = 0; i < size(); ++i)
        m_ignoresNextSearch[i] = (i + 1) * percent / 100 > i * percent / 100;
}

quint32 Fleet::addressOf(const QByteArray& record)
{
    if (record.size() < offset::ipAddress + 4)
        return 0;
    return Ipv4Address::fromBytes(record, offset::ipAddress).toUInt32();
}

std::vector<int> Fleet::modulesAt(quint32 address) const
{
    std::vector<int> found;
    for (int i = 0; i < size(); ++i) {
        if (m_connected[i] && addressOf(m_records[i]) == address)
            found.push_back(i);
    }
    return found;
}

Outcome Fleet::handle(const QByteArray& datagram, Channel channel, quint32 destination)
{
    if (channel == Channel::Reset) {
        const bool allZero =
            std::all_of(datagram.begin(), datagram.end(), [](char c) { return c == 0; });
        if (datagram.size() == requestSize && allZero)
            return reset();
    } else if (isRequest(datagram, searchOpcode)) {
        return search(destination);
    } else if (isRequest(datagram, writeOpcode)) {
        return write(datagram, destination);
    }

    Outcome ignored;
    QString why;
    if (datagram.size() != requestSize)
        why = QStringLiteral("length %1, not %2").arg(datagram.size()).arg(requestSize);
    else if (channel == Channel::Reset)
        why = QStringLiteral("not a reset datagram (65 zero bytes)");
    else if (static_cast<quint8>(datagram.at(offset::trailer)) != requestTrailer)
        why = QStringLiteral("trailer 0x%1, not 0x2A")
                  .arg(static_cast<quint8>(datagram.at(offset::trailer)), 2, 16, QChar('0'));
    else
        why = QStringLiteral("unknown opcode 0x%1")
                  .arg(static_cast<quint8>(datagram.at(offset::opcode)), 2, 16, QChar('0'));
    ignored.notes << QStringLiteral("ignored: %1").arg(why);
    return ignored;
}

Outcome Fleet::search(quint32 destination)
{
    Outcome outcome;
    outcome.kind = Outcome::Kind::Search;
    // A search sent to one module's own address reaches that module alone; a broadcast
    // (or anything else) reaches them all.
    std::vector<int> modules = modulesAt(destination);
    if (modules.empty()) {
        for (int i = 0; i < size(); ++i) {
            if (m_connected[i])
                modules.push_back(i);
        }
    }
    outcome.notes << QStringLiteral("search: %1 module(s) answer").arg(modules.size());
    for (int module : modules) {
        if (m_muted[module]) {
            outcome.notes << QStringLiteral("%1: silent since its write")
                                 .arg(moduleText(module, m_records[module]));
        } else if (m_ignoresNextSearch[module]) {
            m_ignoresNextSearch[module] = false;
            outcome.notes << QStringLiteral("%1: ignores its first search")
                                 .arg(moduleText(module, m_records[module]));
        } else if (m_oldFor[module] > 0) {
            --m_oldFor[module];
            outcome.notes << QStringLiteral("%1: answers with its old record")
                                 .arg(moduleText(module, m_records[module]));
            answer(module, m_oldRecord[module], outcome);
        } else {
            answer(module, outcome);
        }
    }
    return outcome;
}

void Fleet::answer(int module, Outcome& outcome)
{
    answer(module, m_records[module], outcome);
}

void Fleet::answer(int module, const QByteArray& record, Outcome& outcome)
{
    QByteArray bytes = record;
    if (m_faults.wrongLength >= 0) {
        bytes.truncate(m_faults.wrongLength);
        bytes.append(QByteArray(m_faults.wrongLength - bytes.size(), '\0'));
    }
    const int copies = m_faults.answerTwice ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
        // The random numbers are drawn in a fixed order whatever the outcome, so one fault
        // setting does not change the choices made for another.
        const int roll = std::uniform_int_distribution<int>(0, 99)(m_random);
        const int jitter =
            std::uniform_int_distribution<int>(0, std::max(0, m_faults.jitterMs))(m_random);
        if (roll < m_faults.dropPercent) {
            outcome.notes
                << QStringLiteral("%1: answer dropped").arg(moduleText(module, m_records[module]));
            continue;
        }
        Answer a;
        a.module = module;
        a.source = addressOf(record);
        a.bytes = bytes;
        a.delayMs = std::max(0, m_faults.delayMs) + jitter;
        outcome.answers.push_back(a);
    }
}

Outcome Fleet::write(const QByteArray& datagram, quint32 destination)
{
    Outcome outcome;
    const std::vector<int> modules = modulesAt(destination);
    if (modules.empty()) {
        outcome.notes << QStringLiteral("ignored: write to %1, which no module has")
                             .arg(addressText(destination));
        return outcome;
    }
    for (int module : modules) {
        QByteArray& record = m_records[module];
        if (m_faults.ignoreFirstWrite && !m_ignoredAWrite[module]) {
            m_ignoredAWrite[module] = true;
            outcome.notes
                << QStringLiteral("%1: ignores its first write").arg(moduleText(module, record));
            continue;
        }
        outcome.kind = Outcome::Kind::Write;
        const char opcode = record.at(offset::opcode);
        const QString before = moduleText(module, record);
        m_oldRecord[module] = record;
        m_oldFor[module] = std::max(0, m_faults.oldRecordSearches);
        record = datagram.left(recordSize);
        record[offset::opcode] = opcode;
        m_muted[module] = m_faults.muteAfterWrite;
        outcome.notes << QStringLiteral("write: %1 now holds the new record, address %2")
                             .arg(before, addressText(addressOf(record)));
    }
    return outcome;
}

Outcome Fleet::reset()
{
    Outcome outcome;
    outcome.kind = Outcome::Kind::Reset;
    m_records = m_initial;
    m_muted.assign(m_records.size(), false);
    chooseModulesIgnoringASearch();
    m_ignoredAWrite.assign(m_records.size(), false);
    m_oldFor.assign(m_records.size(), 0);
    outcome.notes << QStringLiteral("reset: %1 module(s) back to their first records").arg(size());
    return outcome;
}

QString addressText(quint32 address)
{
    return Ipv4Address(address).toString();
}

QString hexBytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace duva::sim
