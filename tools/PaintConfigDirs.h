#pragma once
#include <QString>

// The configuration file panel's button pictures (normal and hover) and its row icon; returns
// the number of failures.
int PaintConfigDirsImages(const QString &root);
