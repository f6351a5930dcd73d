#pragma once

// Waits the given milliseconds while the calling thread keeps processing its events.
// Measured on a monotonic clock and slept in a local event loop, so it neither spins a core
// nor stretches when the time of day jumps. On the GUI thread it is a nested wait (see
// NestedWait): the window keeps working, a click is handled when it is given, and the wait
// returns early once the program's end is asked.
void DelayMs(int ms, const char *file = __builtin_FILE(), int line = __builtin_LINE());
