#pragma once
#include <QString>

// The update dialog's pictures: a device on the cable and a receiver; returns the number of
// failures.
int PaintFirmwareUpdateImages(const QString &root);
