#include "fleet/writeorder.h"

#include <QHash>
#include <algorithm>

namespace duva::fleet
{

namespace
{

// Each write after the write of the module that holds its new address, so that a module is
// written while it still holds its own. Writes form chains (no address is the new address of
// two, nor held by two), so following one from a write reaches its far end.
QList<OrderedWrite> chainsFromTheFarEnd(const QList<OrderedWrite>& writes)
{
    QHash<Ipv4Address, int> holding;
    for (int i = 0; i < writes.size(); ++i)
        holding.insert(writes[i].sendTo, i);
    const auto before = [&](int i) {
        const int h = holding.value(writes[i].newAddress, -1);
        return h == i ? -1 : h; // a module that keeps its address waits for nobody
    };
    QList<bool> taken(writes.size(), false);
    QList<OrderedWrite> ordered;
    for (int i = 0; i < writes.size(); ++i) {
        QList<int> chain;
        for (int j = i; j >= 0 && !taken[j]; j = before(j)) {
            taken[j] = true;
            chain << j;
        }
        for (auto j = chain.crbegin(); j != chain.crend(); ++j)
            ordered << writes[*j];
    }
    return ordered;
}

} // namespace

WriteOrder orderWrites(const QList<Move>& moves, const QList<Ipv4Address>& via)
{
    WriteOrder order;
    QHash<Ipv4Address, int> holding;
    for (int i = 0; i < moves.size(); ++i)
        holding.insert(moves[i].from, i);
    const auto next = [&](int i) {
        const int h = holding.value(moves[i].to, -1);
        return h == i ? -1 : h;
    };

    // Following each move to the move of the module it displaces ends at a free address (a
    // chain) or comes back round (a cycle).
    enum { unseen, onPath, seen };
    QList<int> state(moves.size(), unseen);
    QList<int> cycleOf(moves.size(), -1);
    QList<QList<int>> rings; // indexes into moves
    for (int start = 0; start < moves.size(); ++start) {
        QList<int> path;
        int i = start;
        for (; i >= 0 && state[i] == unseen; i = next(i)) {
            state[i] = onPath;
            path << i;
        }
        if (i >= 0 && state[i] == onPath) {
            QList<int> ring = path.mid(path.indexOf(i));
            std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
            for (const int m : ring)
                cycleOf[m] = int(rings.size());
            rings << ring;
        }
        for (const int p : path)
            state[p] = seen;
    }
    for (const QList<int>& ring : rings) {
        QList<int> modules;
        for (const int m : ring)
            modules << moves[m].module;
        order.cycles << modules;
    }
    if (rings.size() > via.size()) {
        order.refused = true;
        return order;
    }

    QList<OrderedWrite> first, second;
    for (int i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        const int c = cycleOf[i];
        if (c >= 0 && rings[c].first() == i) {
            first << OrderedWrite{m.module, m.from, via[c], true, false};
            second << OrderedWrite{m.module, via[c], m.to, false, true};
        } else {
            first << OrderedWrite{m.module, m.from, m.to, false, false};
        }
    }
    if (!first.isEmpty())
        order.rounds << chainsFromTheFarEnd(first);
    if (!second.isEmpty())
        order.rounds << second;
    return order;
}

bool maySend(const OrderedWrite& write, const QList<OrderedWrite>& sent)
{
    return std::none_of(sent.begin(), sent.end(), [&](const OrderedWrite& s) {
        return s.module != write.module && s.newAddress == write.sendTo;
    });
}

} // namespace duva::fleet
