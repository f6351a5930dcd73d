#pragma once
#include <QString>

// Pictures of the configuration lists' rows; returns the number of failures.
int PaintConfigListImages(const QString &root);
