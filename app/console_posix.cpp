#include "app/console.h"

namespace duva
{

void useParentConsole() {}

} // namespace duva
