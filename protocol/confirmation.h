#pragma once

#include "protocol/datagrams.h"
#include "protocol/recordfields.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace duva
{

// A module is known by its serial number: a write of its network settings leaves it alone,
// so it finds the module again at a new address.
inline int moduleIdentity(const ModuleRecord& record)
{
    return record.serialNumber();
}

// The fields in which a reply's record differs from what a WriteRequest carried; empty when
// the module holds exactly what was written.
QStringList fieldsDifferingFromWrite(const ModuleRecord& reply, const QByteArray& writeRequest);

// A write is confirmed only by a reply whose record equals what was written, every field:
// a module that answers with anything else did not take it (or took another one).
inline bool confirmsWrite(const ModuleRecord& reply, const QByteArray& writeRequest)
{
    return fieldsDifferingFromWrite(reply, writeRequest).isEmpty();
}

} // namespace duva
