#pragma once

class QScreen;

// The screen under the mouse cursor, or the primary screen when none contains it.
QScreen *ScreenAtCursor();
