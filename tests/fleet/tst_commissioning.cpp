#include "fleet/commissioning.h"
#include "fleet/recordfields.h"
#include "records.h"

#include <QtTest>
#include <map>

using namespace duva;
using namespace duva::fleet;
using namespace duva::test;

namespace
{

const quint32 factory = ip("192.168.0.100");

// A module on the bench: when it is plugged in, and how many writes it ignores.
struct Bench {
    int serial = 0;
    QList<std::pair<qint64, qint64>> plugged; // [from, until) in ms
    int ignoreWrites = 0;
    quint32 address = factory;
    bool cutOff = false; // its row would cut it off (its own gateway, say)
};

CommissionRow row(int planRow, const char* newAddress, std::optional<int> serial = {})
{
    CommissionRow r;
    r.planRow = planRow;
    r.serialNumber = serial;
    if (newAddress) {
        const auto o = octets(ip(newAddress));
        r.fields.insert(offset::ipAddress, QByteArray(reinterpret_cast<const char*>(o.data()), 4));
    }
    r.fields.insert(offset::serverPort, QByteArray("\x27\x10", 2)); // every row sets a port
    return r;
}

QString eventText(const CommissionEvent& e)
{
    using K = CommissionEvent::Kind;
    switch (e.kind) {
    case K::Several: {
        QStringList s;
        for (int serial : e.serials)
            s << QString::number(serial);
        return QStringLiteral("several ") + s.join(QLatin1Char(','));
    }
    case K::NoRow:
        return QStringLiteral("no row %1").arg(e.serialNumber);
    case K::Refused:
        return QStringLiteral("refused %1 row %2").arg(e.serialNumber).arg(e.row);
    case K::Written:
        return QStringLiteral("write %1 row %2 #%3")
            .arg(e.serialNumber)
            .arg(e.row)
            .arg(e.writesSent);
    case K::Confirmed:
        return QStringLiteral("confirmed %1 row %2").arg(e.serialNumber).arg(e.row);
    case K::NotConfirmed:
        return QStringLiteral("not confirmed %1 row %2").arg(e.serialNumber).arg(e.row);
    case K::GaveUp:
        return QStringLiteral("gave up %1").arg(e.serialNumber);
    case K::Finished:
        return QStringLiteral("finished");
    }
    return QString();
}

// The engine against a bench of simulated modules, on a clock that jumps from event to
// event: a search's replies arrive 5 ms after it, and the search ends 400 ms after it.
struct Run {
    QStringList events;
    QList<qint64> searches;
    QList<CommissionEvent> confirmed;
    bool finished = false;
};

Run run(const QList<CommissionRow>& rows, QList<Bench> bench,
        const std::map<int, QList<int>>& resumed = {}, qint64 limitMs = 120000,
        std::function<bool(const CommissionEvent&)> recordEntry = {})
{
    Run result;
    std::map<int, QByteArray> records; // by serial, as the module holds it now
    for (int i = 0; i < bench.size(); ++i)
        records[bench[i].serial] = moduleRecord(bench[i].address, bench[i].serial, i + 2).bytes();
    qint64 now = 0;
    const auto present = [&](const Bench& b) {
        return std::any_of(b.plugged.begin(), b.plugged.end(),
                           [&](auto p) { return p.first <= now && now < p.second; });
    };
    std::multimap<qint64, std::function<void()>> queue;
    std::unique_ptr<CommissioningEngine> engine;
    std::map<int, QByteArray> firstWrite; // by serial: every resend carries the same bytes

    CommissionSeams seams;
    seams.search = [&] {
        // While waiting (no write outstanding), once a second at most.
        if (!engine->writeOutstanding() && !result.searches.isEmpty() &&
            now - result.searches.last() < 1000)
            result.events << QStringLiteral("search too soon");
        result.searches << now;
        for (const Bench& b : std::as_const(bench)) {
            if (present(b)) {
                const auto record = *ModuleRecord::fromBytes(records[b.serial]);
                queue.emplace(now + 5, [&, record] { engine->onReply(now, record); });
            }
        }
        queue.emplace(now + 400, [&] { engine->onSearchDone(now); });
    };
    seams.sendWrite = [&](quint32 address, const QByteArray& request) {
        QCOMPARE(address, factory);
        for (Bench& b : bench) {
            QByteArray& held = records[b.serial];
            if (!present(b) ||
                held.left(4) !=
                    QByteArray(reinterpret_cast<const char*>(octets(address).data()), 4))
                continue;
            if (b.ignoreWrites > 0) {
                --b.ignoreWrites;
                continue;
            }
            const char opcode = held.at(offset::opcode);
            held = request.left(recordSize);
            held[offset::opcode] = opcode;
        }
    };
    seams.event = [&](const CommissionEvent& e) {
        result.events << eventText(e);
        if (e.kind == CommissionEvent::Kind::Written) {
            // The row's fields, and every other byte as the module had it.
            const ModuleRecord expected = withFields(*e.before, rows.at(e.row).fields);
            if (e.request != writeRequestHolding(expected))
                result.events << QStringLiteral("wrong bytes");
            // Told before it goes: the module does not hold it yet.
            QByteArray sent = e.request.left(recordSize);
            sent[offset::opcode] = records[e.serialNumber].at(offset::opcode);
            if (e.writesSent == 1 && records[e.serialNumber] == sent)
                result.events << QStringLiteral("sent before kept");
            auto [it, fresh] = firstWrite.emplace(e.serialNumber, e.request);
            if (!fresh && it->second != e.request)
                result.events << QStringLiteral("resend differs");
        }
        if (e.kind == CommissionEvent::Kind::Confirmed)
            result.confirmed << e;
        return recordEntry ? recordEntry(e) : true;
    };
    seams.check = [&](const ModuleRecord& before, const ModuleRecord&) {
        for (const Bench& b : std::as_const(bench)) {
            if (b.serial == before.serialNumber() && b.cutOff)
                return QStringLiteral("cut off");
        }
        return QString();
    };
    engine = std::make_unique<CommissioningEngine>(factory, rows, CommissionTiming{}, seams);
    for (const auto& [r, serials] : resumed)
        engine->resume(r, serials);
    engine->start(now);
    while (!engine->finished() && !engine->stopped() && now < limitMs) {
        const auto wake = engine->wakeAt();
        const qint64 next =
            std::min(queue.empty() ? limitMs : queue.begin()->first, wake.value_or(limitMs));
        if (next >= limitMs)
            break;
        now = std::max(now, next);
        if (!queue.empty() && queue.begin()->first <= now) {
            auto job = queue.begin()->second;
            queue.erase(queue.begin());
            job();
        } else if (wake && *wake <= now) {
            engine->onTimer(now);
        }
    }
    result.finished = engine->finished();
    return result;
}

} // namespace

Q_DECLARE_METATYPE(QList<CommissionRow>)
Q_DECLARE_METATYPE(QList<Bench>)

class TestCommissioning : public QObject
{
    Q_OBJECT
private slots:
    void commission_data()
    {
        QTest::addColumn<QList<CommissionRow>>("rows");
        QTest::addColumn<QList<Bench>>("bench");
        QTest::addColumn<QStringList>("events");
        constexpr qint64 ever = 1'000'000;
        const QList<CommissionRow> three = {row(2, "10.77.0.11"), row(3, "10.77.0.12"),
                                            row(4, "10.77.0.13")};

        QTest::newRow("one after another, in plan order")
            << three
            << QList<Bench>{{1031, {{0, ever}}}, {1032, {{3000, ever}}}, {1033, {{6000, ever}}}}
            << QStringList{"write 1031 row 0 #1",
                           "confirmed 1031 row 0",
                           "write 1032 row 1 #1",
                           "confirmed 1032 row 1",
                           "write 1033 row 2 #1",
                           "confirmed 1033 row 2",
                           "finished"};
        QTest::newRow("a row for one serial number waits for its module")
            << QList{row(2, "10.77.0.13", 1033), row(3, "10.77.0.11"), row(4, "10.77.0.12")}
            << QList<Bench>{{1031, {{0, ever}}}, {1032, {{3000, ever}}}, {1033, {{6000, ever}}}}
            << QStringList{"write 1031 row 1 #1",
                           "confirmed 1031 row 1",
                           "write 1032 row 2 #1",
                           "confirmed 1032 row 2",
                           "write 1033 row 0 #1",
                           "confirmed 1033 row 0",
                           "finished"};
        QTest::newRow("two plugged together: nothing written until one leaves")
            << three
            << QList<Bench>{{1031, {{0, ever}}},
                            {1032, {{0, 2500}, {8000, ever}}},
                            {1033, {{12000, ever}}}}
            << QStringList{"several 1031,1032",    "write 1031 row 0 #1",
                           "confirmed 1031 row 0", "write 1032 row 1 #1",
                           "confirmed 1032 row 1", "write 1033 row 2 #1",
                           "confirmed 1033 row 2", "finished"};
        QTest::newRow("a lost write is sent again")
            << three.mid(0, 1) << QList<Bench>{{1031, {{0, ever}}, 1}}
            << QStringList{"write 1031 row 0 #1", "write 1031 row 0 #2", "confirmed 1031 row 0",
                           "finished"};
        QTest::newRow("unplugged before its write took, it keeps its row when it is back")
            << three.mid(0, 1) << QList<Bench>{{1031, {{0, 1000}, {10000, ever}}, 1}}
            << QStringList{"write 1031 row 0 #1", "not confirmed 1031 row 0", "write 1031 row 0 #2",
                           "confirmed 1031 row 0", "finished"};
        QTest::newRow("three writes ignored: its row goes to the next module")
            << three.mid(0, 1) << QList<Bench>{{1031, {{0, 20000}}, 99}, {1032, {{21000, ever}}}}
            << QStringList{"write 1031 row 0 #1",  "write 1031 row 0 #2",
                           "write 1031 row 0 #3",  "not confirmed 1031 row 0",
                           "gave up 1031",         "write 1032 row 0 #1",
                           "confirmed 1032 row 0", "finished"};
        QTest::newRow("a fresh module that no row is for")
            << QList{row(5, "10.77.0.50", 1099)}
            << QList<Bench>{{1031, {{0, 3000}}}, {1099, {{4000, ever}}}}
            << QStringList{"no row 1031", "write 1099 row 0 #1", "confirmed 1099 row 0",
                           "finished"};
        QTest::newRow("a module that its row would cut off is left as it is, said once")
            << three.mid(0, 2)
            << QList<Bench>{{1031, {{0, 3000}}, 0, factory, true},
                            {1032, {{4000, ever}}},
                            {1033, {{7000, ever}}}}
            << QStringList{"refused 1031 row 0",  "write 1032 row 0 #1",  "confirmed 1032 row 0",
                           "write 1033 row 1 #1", "confirmed 1033 row 1", "finished"};
        // A row that leaves the address as it is: the module stays at the shared address,
        // so the next one is written only once it has been unplugged.
        QTest::newRow("a commissioned module still at the address")
            << QList{row(2, nullptr), row(3, nullptr)}
            << QList<Bench>{{1031, {{0, 9000}}}, {1032, {{5000, ever}}}}
            << QStringList{"write 1031 row 0 #1", "confirmed 1031 row 0", "several 1031,1032",
                           "write 1032 row 1 #1", "confirmed 1032 row 1", "finished"};
    }
    void commission()
    {
        QFETCH(QList<CommissionRow>, rows);
        QFETCH(QList<Bench>, bench);
        QFETCH(QStringList, events);
        const Run r = run(rows, bench);
        QCOMPARE(r.events, events);
        QVERIFY(r.finished);
        for (int i = 1; i < r.searches.size(); ++i)
            QVERIFY2(r.searches[i] - r.searches[i - 1] >= 500, "searches too close together");
        // A module that takes its write at once is confirmed within two seconds of its
        // first answer at the shared address.
        for (const CommissionEvent& e : r.confirmed) {
            if (e.kind == CommissionEvent::Kind::Confirmed && e.writesSent == 1)
                QVERIFY2(e.atMs - e.firstSeenMs <= 2000, qPrintable(QString::number(e.atMs)));
        }
    }

    // A write whose entry could not be kept does not go: the module keeps its record and the
    // run stops there.
    void writeGoesOnlyOnceItsEntryIsKept()
    {
        const Run r =
            run({row(2, "10.77.0.11")}, {{1031, {{0, 1'000'000}}}}, {}, 120000,
                [](const CommissionEvent& e) { return e.kind != CommissionEvent::Kind::Written; });
        QCOMPARE(r.events, QStringList{"write 1031 row 0 #1"});
        QVERIFY(!r.finished);
    }

    // A first run stops after one module; its record's entries let a second run go on with
    // the rows left.
    void resumesFromTheRecord()
    {
        const QList<CommissionRow> rows = {row(2, "10.77.0.11"), row(3, "10.77.0.12"),
                                           row(4, "10.77.0.13")};
        const RecordContext context{"ana", "bancada", "eth0", "1.74", "commission"};
        QList<RecordEntry> record;
        const auto keep = [&](const CommissionEvent& e) {
            const auto entry = commissionEntry(e, rows, context, QDateTime());
            if (entry && e.kind != CommissionEvent::Kind::Written) // outcomes only
                record << *entry;
            return true;
        };
        run(rows, {{1031, {{0, 1'000'000}}}}, {}, 3000, keep); // stopped (Ctrl+C) at 3 s
        QCOMPARE(record.size(), 1);
        QCOMPARE(record[0].planRow, 2);
        QCOMPARE(record[0].status, EntryStatus::Confirmed);
        QCOMPARE(record[0].after->ipAddressText(), QStringLiteral("10.77.0.11"));

        // 1031 is plugged in again, alone: left alone.
        const auto done = confirmedRows(record, rows);
        QCOMPARE(done.size(), size_t(1));
        QCOMPARE(done.at(0), (QList<int>{1031, 1031}));
        const Run r = run(rows, {{1031, {{0, 2000}}}, {1032, {{3000, 1'000'000}}}}, done);
        QCOMPARE(r.events, (QStringList{"write 1032 row 1 #1", "confirmed 1032 row 1"}));
        QVERIFY(!r.finished); // row 2 waits for a module

        const Run all = run(rows, {}, {{0, {1031}}, {1, {1032}}, {2, {1033}}});
        QCOMPARE(all.events, QStringList{"finished"});
    }

    // A module commissioned earlier, still connected at its new address, keeps it: a row
    // giving that address to a fresh module is refused, said once, and waits.
    void aRowOntoAModuleThatAnswersIsRefused()
    {
        const Run r = run({row(2, "10.77.0.11"), row(3, "10.77.0.12")},
                          {{1031, {{0, 1'000'000}}, 0, ip("10.77.0.11")}, {1032, {{0, 1'000'000}}}},
                          {}, 10000);
        QCOMPARE(r.events, QStringList{"refused 1032 row 0"});
    }

    void waitingSearchesOnceASecond()
    {
        const Run r = run({row(2, "10.77.0.11")}, {}, {}, 60000);
        QCOMPARE(r.searches.size(), 60); // t = 0, 1000, ... 59000
        QCOMPARE(r.searches.last(), 59000);
    }

    // A record that cannot take an entry stops everything: no further write goes out.
    void aRecordThatFailsStopsTheRun()
    {
        const QList<CommissionRow> rows = {row(2, "10.77.0.11"), row(3, "10.77.0.12")};
        const Run r = run(
            rows, {{1031, {{0, 1'000'000}}}, {1032, {{0 + 3000, 1'000'000}}}}, {}, 120000,
            [](const CommissionEvent& e) { return e.kind != CommissionEvent::Kind::Confirmed; });
        QCOMPARE(r.events, (QStringList{"write 1031 row 0 #1", "confirmed 1031 row 0"}));
        QVERIFY(!r.finished);
    }
};

QTEST_GUILESS_MAIN(TestCommissioning)
#include "tst_commissioning.moc"
