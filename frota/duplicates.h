#pragma once

#include "fleet/searchsession.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace duva::frota
{

// For each module, why it is marked: the other modules that answer with its address or its
// serial number (two modules at one address cannot both be reached; two with one serial
// number cannot be told apart in a plan). Empty for a module that shares neither.
QStringList duplicateReasons(const QList<fleet::ModuleReply>& modules);

} // namespace duva::frota
