#pragma once

namespace duva::bench
{

// Keeps the offscreen platform's warning that it cannot pass a window's size hints on (one
// for every window shown) out of the output, so that the table stands alone. Every other
// message goes where it went before. Call before the application object is made.
void quietPlatformWarnings();

} // namespace duva::bench
