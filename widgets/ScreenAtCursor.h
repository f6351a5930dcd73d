#pragma once

class QScreen;

// The first screen whose geometry holds the mouse cursor; the primary screen when none does.
// Null only when the system has no screen at all.
QScreen *ScreenAtCursor();
