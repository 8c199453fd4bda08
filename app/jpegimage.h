#pragma once

#include <QByteArray>
#include <QImage>

namespace duva
{

// Decodes a JPEG picture with libjpeg. A null image when the data is not a JPEG picture that
// libjpeg can read; never a crash, whatever the bytes.
QImage decodeJpeg(const QByteArray& data);

} // namespace duva
