#pragma once

#include <QByteArray>
#include <QString>

namespace duva::frota
{

// Replaces the file with bytes whole, or leaves it as it was (QSaveFile). False, with error
// saying why, when it could not be written.
bool saveBytes(const QString& path, const QByteArray& bytes, QString* error);

} // namespace duva::frota
