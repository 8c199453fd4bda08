#pragma once

#include <QString>

namespace duva::frota
{

// What the window says when another program holds the reply port: which port, and which
// programs to close.
QString portTakenText(int port);

} // namespace duva::frota
