#pragma once
#include <QString>

// Paints every image of the program below the source tree root; returns the number of failures.
int PaintAllImages(const QString &root);
