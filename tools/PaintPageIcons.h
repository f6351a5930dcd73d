#pragma once
#include <QString>

// Icons shared by several pages (close cross, computer glyph) and the pictures of the mouse
// page's left column; returns the number of failures.
int PaintPageIcons(const QString &root);
