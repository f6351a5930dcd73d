#pragma once
#include <QString>

// Paints the images of the settings page and the navigation pop-up (logo, home, settings and
// wrench icons) below the source tree root; returns the number that could not be written.
int PaintSettingsImages(const QString &root);
