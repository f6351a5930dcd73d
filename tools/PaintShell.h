#pragma once
#include <QString>

// Paints the shell's images (title bar buttons, menu icon, wait spinner) below the source tree
// root; returns the number of images that could not be written.
int PaintShellImages(const QString &root);
