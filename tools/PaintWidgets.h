#pragma once
#include <QString>

// Paints the images of the common widgets (drop-down arrows, multi-colour button, eyedropper)
// below the source tree root; returns the number of images that could not be written.
int PaintWidgetImages(const QString &root);
