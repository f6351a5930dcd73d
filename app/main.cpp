#include "app/HubMain.h"

#ifdef QUORIX_WITH_EMULATOR
#include "tests/emu/EmuControl.h"
#endif

int main(int argc, char **argv)
{
#ifdef QUORIX_WITH_EMULATOR
    // The emulator build: the devices named in QUORIX_EMU are plugged in before the window is built.
    return RunHub(argc, argv, &EmuPlugFromEnvironment);
#else
    return RunHub(argc, argv);
#endif
}
