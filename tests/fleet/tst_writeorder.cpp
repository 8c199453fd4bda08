// The order of a run's writes: chains from their far end, cycles through a temporary address,
// and the rule that no write goes to an address another module was given.

#include "fleet/writeorder.h"

#include <QtTest>

using namespace duva;
using namespace duva::fleet;

namespace
{

// Addresses as their last octet in 10.77.0.0/24, modules as serial numbers.
Ipv4Address at(int octet)
{
    return Ipv4Address(10, 77, 0, quint8(octet));
}

// "1031 10>11, 1032 11>12": module 1031 moves from .10 to .11 ...
QList<Move> moves(const QString& text)
{
    QList<Move> out;
    for (const QString& item : text.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QRegularExpression(QStringLiteral("[ >]")));
        out << Move{parts[0].toInt(), at(parts[1].toInt()), at(parts[2].toInt())};
    }
    return out;
}

// The rounds as "1032 11>12, 1031 10>200 parks / 1031 200>11 via".
QString text(const WriteOrder& order)
{
    QStringList rounds;
    for (const QList<OrderedWrite>& round : order.rounds) {
        QStringList writes;
        for (const OrderedWrite& w : round)
            writes << QStringLiteral("%1 %2>%3%4")
                          .arg(w.module)
                          .arg(w.sendTo.octet(3))
                          .arg(w.newAddress.octet(3))
                          .arg(w.parks     ? " parks"
                               : w.fromVia ? " via"
                                           : "");
        rounds << writes.join(QStringLiteral(", "));
    }
    return rounds.join(QStringLiteral(" / "));
}

QString cyclesText(const WriteOrder& order)
{
    QStringList cycles;
    for (const QList<int>& cycle : order.cycles) {
        QStringList modules;
        for (const int m : cycle)
            modules << QString::number(m);
        cycles << modules.join(QLatin1Char(' '));
    }
    return cycles.join(QStringLiteral(" / "));
}

} // namespace

class TestWriteOrder : public QObject
{
    Q_OBJECT
private slots:
    void order_data()
    {
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QList<int>>("via");
        QTest::addColumn<QString>("rounds"); // empty: refused
        QTest::addColumn<QString>("cycles");

        QTest::newRow("no moves at all") << "" << QList<int>{} << ""
                                         << "";
        QTest::newRow("unrelated moves keep their order")
            << "1031 10>60, 1032 11>61, 1033 12>12" << QList<int>{}
            << "1031 10>60, 1032 11>61, 1033 12>12"
            << "";
        QTest::newRow("a module moving onto its own address waits for nobody")
            << "1032 11>11, 1031 10>10" << QList<int>{} << "1032 11>11, 1031 10>10"
            << "";
        QTest::newRow("a shift of 6 goes from its far end, in one round")
            << "1031 10>11, 1032 11>12, 1033 12>13, 1034 13>14, 1035 14>15, 1036 15>100"
            << QList<int>{}
            << "1036 15>100, 1035 14>15, 1034 13>14, 1033 12>13, 1032 11>12, 1031 10>11"
            << "";
        QTest::newRow("a chain given backwards, beside another move")
            << "1036 15>100, 1031 10>11, 1040 40>41, 1032 11>15" << QList<int>{}
            << "1036 15>100, 1032 11>15, 1031 10>11, 1040 40>41"
            << "";
        QTest::newRow("a swap of 2 without a temporary address is refused")
            << "1031 10>11, 1032 11>10" << QList<int>{} << ""
            << "1031 1032";
        QTest::newRow("a swap of 2 through a temporary address")
            << "1031 10>11, 1032 11>10" << QList<int>{200}
            << "1031 10>200 parks, 1032 11>10 / 1031 200>11 via"
            << "1031 1032";
        QTest::newRow("a ring of 3, met half way, opens at its first module")
            << "1033 12>10, 1031 10>11, 1032 11>12" << QList<int>{200}
            << "1033 12>200 parks, 1032 11>12, 1031 10>11 / 1033 200>10 via"
            << "1033 1031 1032";
        QTest::newRow("a spare temporary address stays unused")
            << "1040 40>41, 1031 10>11, 1032 11>10" << QList<int>{200, 201}
            << "1040 40>41, 1031 10>200 parks, 1032 11>10 / 1031 200>11 via"
            << "1031 1032";
        QTest::newRow("two swaps, each through its own address")
            << "1031 10>11, 1032 11>10, 1033 12>13, 1034 13>12" << QList<int>{200, 201}
            << "1031 10>200 parks, 1032 11>10, 1033 12>201 parks, 1034 13>12 / "
               "1031 200>11 via, 1033 201>13 via"
            << "1031 1032 / 1033 1034";
        QTest::newRow("two swaps and one temporary address are refused")
            << "1031 10>11, 1032 11>10, 1033 12>13, 1034 13>12" << QList<int>{200} << ""
            << "1031 1032 / 1033 1034";
    }

    void order()
    {
        QFETCH(QString, moves);
        QFETCH(QList<int>, via);
        QFETCH(QString, rounds);
        QFETCH(QString, cycles);
        QList<Ipv4Address> temporary;
        for (const int v : via)
            temporary << at(v);
        const WriteOrder order = orderWrites(::moves(moves), temporary);
        QCOMPARE(text(order), rounds);
        QCOMPARE(cyclesText(order), cycles);
        QCOMPARE(order.refused, !cycles.isEmpty() && rounds.isEmpty());

        // Whatever the order, no write reaches an address another write gave, and every
        // module ends where it was meant to.
        QList<OrderedWrite> sent;
        QHash<int, Ipv4Address> where;
        for (const QList<OrderedWrite>& round : order.rounds) {
            for (const OrderedWrite& w : round) {
                QVERIFY(maySend(w, sent));
                sent << w;
                where[w.module] = w.newAddress;
            }
        }
        if (!order.refused) {
            for (const Move& m : ::moves(moves))
                QCOMPARE(where.value(m.module), m.to);
        }
    }

    void aResendNeverFollowsAnotherModuleOntoItsAddress()
    {
        const WriteOrder order = orderWrites(::moves("1031 10>11, 1032 11>12"), {});
        const QList<OrderedWrite>& round = order.rounds.first();
        // 1032 went first; once 1031 has moved onto .11, 1032's write may not go there again.
        QVERIFY(maySend(round[0], {round[0]}));
        QVERIFY(!maySend(round[0], round));
        QVERIFY(maySend(round[1], round));
    }
};

QTEST_GUILESS_MAIN(TestWriteOrder)
#include "tst_writeorder.moc"
