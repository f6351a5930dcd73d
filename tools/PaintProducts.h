#pragma once
#include <QString>

// Pictures of the sample products (device tiles); returns the number of failures.
int PaintProductImages(const QString &root);
