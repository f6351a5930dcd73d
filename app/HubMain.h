#pragma once

// The process entry of the hub: single-instance guard, main window, event loop.
int RunHub(int argc, char **argv);
