#pragma once

#include "protocol/ipv4.h"

#include <QList>
#include <QtGlobal>

namespace duva::fleet
{

// One module that a run writes: the address it holds (where its write goes) and the address
// its new record carries.
struct Move {
    int module = 0; // the caller's index
    Ipv4Address from;
    Ipv4Address to; // == from: it keeps its address
};

// One write as it goes out.
struct OrderedWrite {
    int module = 0;
    Ipv4Address sendTo;     // the address the module holds when the write goes
    Ipv4Address newAddress; // the address the write gives it
    bool parks = false;     // to a temporary address, on the way round a cycle
    bool fromVia = false;   // from the temporary address to its own new one
};

// A run's writes in the order that never sends a write to an address another module has
// just been given. A write reaches a module at the address it holds, so each module is
// written before any other module moves onto its address: a chain of moves (1031 onto
// 1032's address, 1032 onto 1033's ...) goes out from its far end, all in one burst.
//
// A cycle (a swap, or a longer ring) has no such order. One of its modules, the first in the
// caller's order, first moves to a free temporary address; that opens the ring into a chain,
// which goes in the same first burst. Once that module is confirmed at the temporary address,
// a second round writes it from there to its own new address. Each cycle needs a temporary
// address of its own, so that no address is ever given to two modules of one run.
struct WriteOrder {
    // Each round goes out in this order, then one settle period and the confirmations. A write
    // of the second round may go only when its module's write of the first was confirmed.
    QList<QList<OrderedWrite>> rounds;
    // Every cycle, each as its modules in the caller's order of moves round the ring
    // (the first moves onto the second's address ...).
    QList<QList<int>> cycles;
    // More cycles than temporary addresses: nothing can be sent, and rounds is empty.
    bool refused = false;
};

// Moves must come from distinct addresses and go to distinct ones (the plan's own check).
// via: free temporary addresses, one for each cycle, taken in order.
WriteOrder orderWrites(const QList<Move>& moves, const QList<Ipv4Address>& via);

// Whether a write may be sent (again) now that the writes in sent went out: never to an
// address that a write of another module has given.
bool maySend(const OrderedWrite& write, const QList<OrderedWrite>& sent);

} // namespace duva::fleet
