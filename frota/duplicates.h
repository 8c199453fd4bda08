#pragma once

#include "fleet/searchsession.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace duva::frota
{

// Which modules share an address or a serial number (two modules at one address cannot both
// be reached; two with one serial number cannot be told apart in a plan), kept up to date
// as modules come, so that a new module costs the rows it shares something with, not the
// whole list.
class DuplicateIndex
{
public:
    // Takes in modules[row]; returns the rows whose reason may have changed (row among them).
    QList<int> add(const QList<fleet::ModuleReply>& modules, int row);
    // Forgets modules[row] as it stands (before a change); returns the rows whose reason may
    // have changed.
    QList<int> remove(const QList<fleet::ModuleReply>& modules, int row);
    void clear();

    // Why modules[row] is marked: the others that answer with its address or its serial
    // number. Empty for a module that shares neither.
    QString reason(const QList<fleet::ModuleReply>& modules, int row) const;

private:
    QHash<QString, QList<int>> m_byAddress;
    QHash<int, QList<int>> m_bySerial;
};

// Every module's reason, in order.
QStringList duplicateReasons(const QList<fleet::ModuleReply>& modules);

} // namespace duva::frota
