#pragma once
#include <QString>

// Icons shared by several pages (close cross, computer glyph); returns the number of failures.
int PaintPageIcons(const QString &root);
