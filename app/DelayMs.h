#pragma once

// Waits the given milliseconds while the calling thread keeps processing its events.
// Measured on a monotonic clock and slept in a local event loop, so it neither spins a core
// nor stretches when the time of day jumps.
void DelayMs(int ms);
