#pragma once

#include "fleet/searchsession.h"

#include <QByteArray>
#include <QList>

namespace duva::frota
{

enum class CsvFlavour {
    Plain, // RFC 4180, UTF-8, for scripts and duvactl
    Excel, // what a Portuguese Excel opens as columns: ';' between cells, a byte-order mark
};

// The file's bytes: the same columns and cells as `duvactl search --csv` (or --excel), so
// that a file exported here is a plan that duvactl and the fleet window read back.
QByteArray modulesCsv(const QList<fleet::ModuleReply>& modules, CsvFlavour flavour);

} // namespace duva::frota
