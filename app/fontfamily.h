#pragma once

#include <QString>

namespace duva
{

// The family to ask this system for, for a font the window was designed with (Calibri, Arial,
// MS Sans Serif).
QString familyOnThisSystem(const QString& designFamily);

} // namespace duva
