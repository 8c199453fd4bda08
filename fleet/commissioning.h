#pragma once

#include "fleet/writerecord.h"
#include "protocol/datagrams.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <functional>
#include <map>
#include <optional>

namespace duva::fleet
{

// One row of a commissioning plan.
struct CommissionRow {
    int planRow = 0;                 // as the record and messages name it
    std::optional<int> serialNumber; // the row is for this module only
    QMap<int, QByteArray> fields;    // offset -> the field's bytes; the rest keep the module's
};

struct CommissionTiming {
    int waitSearchMs = 1000;   // searches while waiting for a module, at most this often
    int confirmSearchMs = 500; // searches while a write is being confirmed
    int settleMs = 6000;       // the longest wait for a write's confirmation
    int maxWrites = 3;         // a write and up to two resends of the same bytes
};

// What happened, for the front end to say (and the record to keep).
struct CommissionEvent {
    enum class Kind {
        Several,      // two or more modules at the address: nothing is written (serials)
        NoRow,        // a fresh module that no row left is for (serial)
        Refused,      // its row would cut it off, or give it the address of another module that
                      // answers (serial, row, reason): nothing is written
        Written,      // a write goes out once this is kept (serial, row, request, writesSent)
        Confirmed,    // the module shows exactly what was written at its new address
        NotConfirmed, // no confirmation within the settle period after its last write
        GaveUp,       // its writes are used up: its row goes to the next module
        Finished,     // every row is done
    };
    Kind kind = Kind::Finished;
    int serialNumber = 0;
    QList<int> serials;                 // Several: the modules at the address
    int row = -1;                       // index into the rows
    std::optional<ModuleRecord> before; // as the module answered at the address
    QByteArray request;                 // the 65 bytes written
    int writesSent = 0;
    qint64 firstSeenMs = 0; // when the module first answered at the address
    QString reason;         // Refused: why, in the user's language
    qint64 atMs = 0;        // when this happened
};

// The seams through which the engine acts; it never reads a clock or touches a socket.
struct CommissionSeams {
    std::function<void()> search; // send a search; its replies come back through onReply()
    std::function<void(quint32 address, const QByteArray& request)> sendWrite;
    // Told every event before the engine goes on; false stops it (a record that could not be
    // written, say): nothing more is sent.
    std::function<bool(const CommissionEvent&)> event;
    // Why writing `after` to the module that answered as `before` would cut it off (the
    // value checks of apply); empty: it may be written.
    std::function<QString(const ModuleRecord& before, const ModuleRecord& after)> check;
};

// Gives fresh modules, plugged in one at a time at one shared address, their rows of a plan,
// one after another, and confirms each at its new address. Driven from outside: start(),
// then onReply() for every reply, onSearchDone() when a search's replies are all in, and
// onTimer() at wakeAt(), every call with the time now (ms on a steady clock).
class CommissioningEngine
{
public:
    CommissioningEngine(quint32 address, QList<CommissionRow> rows, CommissionTiming timing,
                        CommissionSeams seams);

    // A row that an earlier run confirmed (by index into the rows), with its module's serial
    // numbers (as found and as written): the row is skipped now and the module left alone.
    void resume(int row, const QList<int>& serials);
    // A write that an earlier run sent to a module but did not see confirmed (Ctrl+C, the
    // settle period): the module keeps its row, is confirmed by a reply that shows exactly
    // what was written, and gets the same bytes again when it answers at the address as
    // before. Without this the row would go to the next module, and two modules could end
    // up with one address.
    void resumeUnconfirmed(int row, const ModuleRecord& before, const QByteArray& request,
                           int writesSent);
    // The write under way as a NotConfirmed event, for the record when the run stops before
    // its confirmation; no value when none is.
    std::optional<CommissionEvent> outstanding(qint64 nowMs) const;

    void start(qint64 nowMs);
    void onReply(qint64 nowMs, const ModuleRecord& record);
    void onSearchDone(qint64 nowMs);
    void onTimer(qint64 nowMs);
    // When onTimer() is next due; no value when nothing is (finished, stopped, or waiting
    // for a search's replies).
    std::optional<qint64> wakeAt() const;

    bool finished() const { return m_finished; }
    bool stopped() const { return m_stopped; }
    int rowsLeft() const;
    // Whether a write has gone out that is not confirmed yet (for Ctrl+C's summary).
    bool writeOutstanding() const { return m_current.has_value(); }

private:
    struct Attempt {
        int serial = 0;    // as found
        int newSerial = 0; // as written
        int row = 0;
        ModuleRecord before;
        QByteArray request;
        int writesSent = 0;
        qint64 firstSeenMs = 0;
        qint64 deadlineMs = 0;
    };

    qint64 nextSearchMs() const;
    void searchNow(qint64 nowMs);
    // An event about an attempt, with everything known of it.
    static CommissionEvent attemptEvent(CommissionEvent::Kind kind, const Attempt& attempt,
                                        qint64 nowMs);
    void confirm(qint64 nowMs, const Attempt& attempt);
    void giveUp(qint64 nowMs, const Attempt& attempt);
    void decide(qint64 nowMs);
    void settleExpired(qint64 nowMs);
    void write(qint64 nowMs, Attempt attempt);
    std::optional<int> rowFor(int serial) const;
    bool tell(CommissionEvent event);
    void finishIfDone(qint64 nowMs);

    quint32 m_address;
    QList<CommissionRow> m_rows;
    CommissionTiming m_timing;
    CommissionSeams m_seams;

    QList<bool> m_rowDone;
    QSet<int> m_commissioned;             // serial numbers confirmed, as found and as written
    std::map<int, Attempt> m_unconfirmed; // by serial: written, not confirmed, may come back
    QSet<int> m_gaveUp;
    std::optional<Attempt> m_current;        // being confirmed
    QMap<int, qint64> m_firstSeen;           // by serial, at the address
    QMap<int, qint64> m_roundFirstReply;     // by serial: its first reply to the search under way
    QMap<int, qint64> m_lastRoundFirstReply; // ...and to the last whole search

    bool m_started = false;
    bool m_finished = false;
    bool m_stopped = false;
    bool m_searching = false;
    qint64 m_lastSearchMs = 0;       // when the last search was sent
    QList<ModuleRecord> m_round;     // replies to the search under way
    QList<ModuleRecord> m_lastRound; // the last whole search's replies
    QList<int> m_saidSeveral;        // the last Several said, so that it is said once
    QSet<int> m_saidNoRow;
    QSet<int> m_saidRefused;
};

// The record's entry for what an event says of a module: Confirmed and NotConfirmed give one
// each (the module's record before, the record written, the writes sent), Written a "not
// confirmed" one that its outcome replaces, NoRow a skipped one; any other event none.
std::optional<RecordEntry> commissionEntry(const CommissionEvent& event,
                                           const QList<CommissionRow>& rows,
                                           const RecordContext& context, const QDateTime& time);

// The rows (by index) that a record's entries show confirmed for a commissioning with these
// rows, matched by plan row, each with its module's serial numbers as found and as written:
// what CommissioningEngine::resume() takes.
std::map<int, QList<int>> confirmedRows(const QList<RecordEntry>& entries,
                                        const QList<CommissionRow>& rows);

// The rows (by index) whose last entry in the record is a write not confirmed, with that
// entry (it carries before and after): what CommissioningEngine::resumeUnconfirmed() takes.
// Rows that confirmedRows() gives are not among them.
std::map<int, RecordEntry> unconfirmedRows(const QList<RecordEntry>& entries,
                                           const QList<CommissionRow>& rows);

} // namespace duva::fleet
