#include "app/fontfamily.h"

namespace duva
{

// Windows has the designed fonts, but "MS Sans Serif" is a bitmap font that DirectWrite cannot
// draw: Qt would take another face, of other widths. Its TrueType successor has its metrics.
QString familyOnThisSystem(const QString& designFamily)
{
    if (designFamily == QLatin1String("MS Sans Serif"))
        return QStringLiteral("Microsoft Sans Serif");
    return designFamily;
}

} // namespace duva
