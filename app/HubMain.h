#pragma once

// The process entry of the hub: single-instance guard, main window, event loop.
// beforeWindow, when given, runs after the application object exists and before the window
// is built (the emulator build plugs its virtual devices there).
int RunHub(int argc, char **argv, void (*beforeWindow)() = nullptr);
