#pragma once
#include <QtGlobal>

// X keycodes (evdev code + 8) to the Windows virtual-key code of the same physical key with its
// US meaning: the devices replay physical keys, so the keyboard layout does not matter here.
// Returns false for keys the macros cannot record; extended is set for keypad Enter only.
bool X11KeycodeToVk(uint keycode, uint *vk, bool *extended);

// X pointer buttons to the button message and its data word: 1/2/3 left/middle/right,
// 8/9 the first/second side button, 4/5 the wheel (press only). False for other buttons.
bool X11ButtonToMessage(uint button, bool press, uint *message, uint *mouseData);
