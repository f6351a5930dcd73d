#include "app/HubMain.h"

#ifdef QUORIX_WITH_EMULATOR
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuStdinControl.h"
#endif

int main(int argc, char **argv)
{
#ifdef QUORIX_WITH_EMULATOR
    // The emulator build: the devices named in QUORIX_EMU are plugged in before the window is built.
    // Lines on standard input plug and unplug devices while it runs.
    return RunHub(argc, argv, [] {
        EmuStdinControl::Install(EmuPlugFromEnvironment());
    });
#else
    return RunHub(argc, argv);
#endif
}
