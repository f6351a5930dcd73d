#pragma once

// Waits the given milliseconds while the calling thread keeps processing its events.
// Measured on a monotonic clock and slept in a local event loop, so it neither spins a core
// nor stretches when the time of day jumps. On the GUI thread it is a nested wait (see
// NestedWait) and leaves the user's input for afterwards: a click cannot start another action,
// or leave the page, in the middle of the one that waits.
void DelayMs(int ms, const char *file = __builtin_FILE(), int line = __builtin_LINE());
