#pragma once
#include <QString>

// The device list's images: the battery's lightning mark, the tile's wired and wireless
// badges and its firmware-update mark; returns the number of failures.
int PaintDeviceListImages(const QString &root);
