#pragma once

#include "protocol/datagrams.h"
#include "protocol/ipv4.h"

#include <QList>
#include <QString>

namespace duva::fleet
{

// A module as a run of writes would leave it.
struct WrittenModule {
    QString where;                                // "row 3", "--serial 1031": how messages name it
    QString fieldWord = QStringLiteral("column"); // "column" (a plan) or "field" (set)
    ModuleRecord before;                          // as it answered the search
    ModuleRecord after;                           // as the write leaves it
};

// One value that would cut a module off from this computer.
struct ValueRefusal {
    QString where;
    QString fieldWord;
    QString field; // the record's field name
    QString value; // as the module would show it
    QString why;

    // "row 3, column ipAddress: '10.77.0.255' is the broadcast address of 10.77.0.0/24"
    QString text() const;
};

// Every value of the written modules that would leave one unreachable or indistinguishable:
// an ipAddress that is its subnet's network or broadcast address, 0.0.0.0, loopback,
// multicast or 255.255.255.255, one of ownAddresses (this computer's), or the module's own
// gateway; a subnet mask whose ones are not contiguous; a gateway other than 0.0.0.0
// outside the module's subnet; a serial number that another module carries after the run
// (unwritten: the other modules that answered, as they are). A module already in such a state
// is not refused for it unless the write changes one of the fields involved. In the order of
// written, then of the fields.
QList<ValueRefusal> checkWrittenValues(const QList<WrittenModule>& written,
                                       const QList<ModuleRecord>& unwritten,
                                       const QList<Ipv4Address>& ownAddresses);

// Whether mask is a run of ones followed by zeros (0.0.0.0 and 255.255.255.255 included).
bool isContiguousMask(quint32 mask);

} // namespace duva::fleet
