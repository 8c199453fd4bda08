#include "protocol/confirmation.h"

namespace duva
{

QStringList fieldsDifferingFromWrite(const ModuleRecord& reply, const QByteArray& writeRequest)
{
    QStringList differing;
    for (const RecordField& f : recordFields()) {
        if (writeRequest.size() < f.offset + f.size ||
            reply.bytes().mid(f.offset, f.size) != writeRequest.mid(f.offset, f.size))
            differing << f.name;
    }
    return differing;
}

} // namespace duva
