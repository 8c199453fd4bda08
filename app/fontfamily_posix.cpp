#include "app/fontfamily.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

namespace duva
{

// A designed font that is not installed is asked for by the name of its free face with the
// same metrics: asked for by its own name, the font database would search all its fallbacks
// for each size and style before taking the face, milliseconds of every start.
QString familyOnThisSystem(const QString& designFamily)
{
    static const QStringList installed = QFontDatabase::families();
    static const QHash<QString, QString> freeFace{
        {QStringLiteral("Calibri"), QStringLiteral("Carlito")},
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}};
    return installed.contains(designFamily) ? designFamily
                                            : freeFace.value(designFamily, designFamily);
}

} // namespace duva
