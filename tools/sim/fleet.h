#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <random>
#include <vector>

namespace duva::sim
{

// Where a datagram arrived: the port for searches and writes, or the reset port.
enum class Channel { Search, Reset };

// Misbehaviour on demand, so that tests can see how the configurator copes with slow,
// lossy or broken modules. Random choices come from one generator seeded with seed, so a
// run with the same seed and the same datagrams makes the same choices.
struct Faults {
    int delayMs = 0;  // every answer waits this long
    int jitterMs = 0; // plus a random 0..jitterMs
    bool answerTwice = false;
    int dropPercent = 0;         // chance (0-100) that an answer is not sent
    int wrongLength = -1;        // >= 0: answers have this many bytes (record cut or zero-padded)
    bool muteAfterWrite = false; // a module that took a write answers no more searches
    int ignoreFirstSearchPercent = 0; // this share of the modules, spread evenly, ignores
                                      // the first search that reaches it
    // Each module drops the first write that reaches it, as one lost on the way would be.
    bool ignoreFirstWrite = false;
    // After taking a write, a module answers this many searches with its old record, as one
    // still taking the write or restarting would.
    int oldRecordSearches = 0;
    quint32 seed = 0;
};

// One datagram a module sends back.
struct Answer {
    int module = 0;     // index in the fleet, from 0
    quint32 source = 0; // the module's address (host order) when it answered
    QByteArray bytes;
    int delayMs = 0;
};

// What the fleet made of one datagram.
struct Outcome {
    enum class Kind { Search, Write, Reset, Ignored };
    Kind kind = Kind::Ignored;
    std::vector<Answer> answers;
    QStringList notes; // one log line each: what happened, or why the datagram was ignored
};

// A fleet of simulated modules, each holding a 64-byte record. It knows nothing of sockets:
// it is told what arrived, where, and answers with what to send back.
class Fleet
{
public:
    Fleet(std::vector<QByteArray> records, Faults faults);

    // A 65-byte search (opcode 5, trailer 0x2A) is answered by every module, in fleet order,
    // or only by the modules that hold destination when it was sent to one of them. A 65-byte
    // write (opcode 0x55, trailer 0x2A) replaces the record of the modules that hold
    // destination (every one of them, when several share it), keeping their opcode byte.
    // 65 zero bytes on the reset channel give every module its first record back. Anything
    // else is ignored.
    Outcome handle(const QByteArray& datagram, Channel channel, quint32 destination);

    int size() const { return static_cast<int>(m_records.size()); }
    // A module that is not connected hears nothing and answers nothing (bench mode plugs
    // modules in one at a time); every module is connected at first.
    void setConnected(int module, bool connected) { m_connected.at(module) = connected; }
    bool connected(int module) const { return m_connected.at(module); }
    const QByteArray& record(int module) const { return m_records.at(module); }

    // Bytes 0-3 of a record as an address in host order.
    static quint32 addressOf(const QByteArray& record);

private:
    Outcome search(quint32 destination);
    Outcome write(const QByteArray& datagram, quint32 destination);
    Outcome reset();
    void answer(int module, Outcome& outcome);
    void answer(int module, const QByteArray& record, Outcome& outcome);
    void chooseModulesIgnoringASearch();
    std::vector<int> modulesAt(quint32 address) const;

    std::vector<QByteArray> m_initial;
    std::vector<QByteArray> m_records;
    std::vector<bool> m_muted;
    std::vector<bool> m_ignoresNextSearch;
    std::vector<bool> m_ignoredAWrite;
    std::vector<QByteArray> m_oldRecord; // shown instead of the record while m_oldFor lasts
    std::vector<int> m_oldFor;           // searches still answered with m_oldRecord
    std::vector<bool> m_connected;
    Faults m_faults;
    std::mt19937 m_random;
};

QString addressText(quint32 address);
// "00 05 2A" style: two hex digits a byte, upper case, separated by blanks.
QString hexBytes(const QByteArray& bytes);

} // namespace duva::sim
