#include "frota/modulesexport.h"

#include "cli/output.h"

namespace duva::frota
{

QByteArray modulesCsv(const QList<fleet::ModuleReply>& modules, CsvFlavour flavour)
{
    // The command line's search output holds the rule (columns, separators, byte-order mark).
    QList<fleet::FoundModule> found;
    found.reserve(modules.size());
    for (const fleet::ModuleReply& m : modules)
        found.append({m.record, Ipv4Address::parse(m.from).value_or(Ipv4Address()), m.replies});
    return cli::modulesCsv(found, flavour == CsvFlavour::Excel).toUtf8();
}

} // namespace duva::frota
