#pragma once

namespace duva
{

// Makes what the program prints reach the console it was started from. A window program on
// Windows starts without one (no console window opens), so --help and --version typed in a
// Command Prompt would print nothing: there it attaches to the parent's console, where there
// is one, for whichever of standard output and error is not already redirected. Nothing to do
// elsewhere.
void useParentConsole();

} // namespace duva
