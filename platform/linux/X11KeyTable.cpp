#include "platform/linux/X11KeyTable.h"

namespace {

// Indexed by X keycode; 0 for keys without a code.
struct Table
{
    uchar vk[256] = {};
    Table()
    {
        auto run = [this](uint first, std::initializer_list<uchar> codes) {
            for (uchar c : codes)
                vk[first++] = c;
        };
        vk[9] = 27;
        for (uint k = 10; k <= 18; ++k)
            vk[k] = uchar(49 + k - 10);
        run(19, {48, 189, 187, 8, 9});
        run(24, {81, 87, 69, 82, 84, 89, 85, 73, 79, 80, 219, 221, 13});
        run(37, {162, 65, 83, 68, 70, 71, 72, 74, 75, 76, 186, 222, 192, 160, 220});
        run(52, {90, 88, 67, 86, 66, 78, 77, 188, 190, 191, 161, 106, 164, 32, 20});
        for (uint k = 67; k <= 76; ++k)
            vk[k] = uchar(112 + k - 67);
        run(77, {144, 145, 103, 104, 105, 109, 100, 101, 102, 107, 97, 98, 99, 96, 110});
        run(94, {226, 122, 123});
        run(104, {13, 163, 111, 44, 165});
        run(110, {36, 38, 33, 37, 39, 35, 40, 34, 45, 46});
        vk[127] = 19;
        run(133, {91, 92, 93});
        vk[130] = 21;
        vk[131] = 25;
        for (uint k = 191; k <= 202; ++k)
            vk[k] = uchar(124 + k - 191);
        run(121, {173, 174, 175});
        run(171, {176, 179, 177, 178});
    }
};

} // namespace

bool X11KeycodeToVk(uint keycode, uint *vk, bool *extended)
{
    static const Table table;
    if (keycode > 255 || !table.vk[keycode])
        return false;
    *vk = table.vk[keycode];
    *extended = keycode == 104; // keypad Enter shares the code of the main Enter key
    return true;
}

bool X11ButtonToMessage(uint button, bool press, uint *message, uint *mouseData)
{
    *mouseData = 0;
    switch (button) {
    case 1: *message = press ? 513 : 514; return true;
    case 2: *message = press ? 519 : 520; return true;
    case 3: *message = press ? 516 : 517; return true;
    case 8: *message = press ? 523 : 524; *mouseData = 0x10000; return true;
    case 9: *message = press ? 523 : 524; *mouseData = 0x20000; return true;
    case 4: case 5:
        if (!press)
            return false; // a wheel notch is one press and release
        *message = 522;
        *mouseData = button == 4 ? 0x00780000u : 0xFF880000u; // +120 / -120 in the high word
        return true;
    default:
        return false;
    }
}
